#include "service/install_folder_rules.h"

#include <algorithm>

namespace install_folder {

CObjectSecurity ProtectedFolderSecurity() {
    constexpr unsigned kEverywhere = kObjectInherit | kContainerInherit;
    CObjectSecurity security;
    security.m_strOwner = kAdministratorsSid;
    security.m_entries = {
        {true, kEverywhere, kFullControl, kLocalSystemSid},
        {true, kEverywhere, kFullControl, kAdministratorsSid},
        {true, kEverywhere, kReadExecute, kUsersSid},
    };
    return security;
}

std::string FindOutsideWriter(const CObjectSecurity& security,
                              const std::vector<std::string>& trusted) {
    const auto isTrusted = [&](const std::string& sid) {
        return std::find(trusted.begin(), trusted.end(), sid) != trusted.end();
    };
    if (!isTrusted(security.m_strOwner)) {
        return security.m_strOwner.empty() ? "an owner it cannot read" : security.m_strOwner;
    }
    if (!security.m_bHasList) {
        return "Everyone";
    }
    for (const CAccessEntry& entry : security.m_entries) {
        const bool appliesHere = (entry.m_nFlags & kInheritOnly) == 0;
        if (entry.m_bAllow && appliesHere && (entry.m_nMask & kChangeRights) != 0 &&
            !isTrusted(entry.m_strSid)) {
            return entry.m_strSid;
        }
    }
    return std::string();
}

} // namespace install_folder
