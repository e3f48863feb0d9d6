#include "service/install_folder.h"

#include <aclapi.h>
#include <sddl.h>

#include <memory>

#include "service/install_folder_rules.h"

namespace {

using install_folder::CAccessEntry;
using install_folder::CObjectSecurity;

struct LocalFreeDeleter {
    void operator()(void* p) const { ::LocalFree(p); }
};
using LocalPtr = std::unique_ptr<void, LocalFreeDeleter>;

LocalPtr SidOf(const std::string& text) {
    PSID sid = nullptr;
    return LocalPtr(::ConvertStringSidToSidA(text.c_str(), &sid) ? sid : nullptr);
}

std::string TextOf(PSID sid) {
    char* text = nullptr;
    if (sid == nullptr || !::ConvertSidToStringSidA(sid, &text)) {
        return std::string();
    }
    const LocalPtr owned(text);
    return text;
}

bool ReadSecurity(const std::string& path, CObjectSecurity& security) {
    PSID owner = nullptr;
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoA(path.c_str(), SE_FILE_OBJECT,
                                OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, &owner,
                                nullptr, &list, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    const LocalPtr owned(descriptor);
    security.m_strOwner = TextOf(owner);
    security.m_bHasList = list != nullptr;
    security.m_entries.clear();
    for (DWORD i = 0; list != nullptr && i < list->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(list, i, &ace)) {
            return false;
        }
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE &&
            header->AceType != ACCESS_DENIED_ACE_TYPE) {
            // Object and callback entries: not ours, and not judged safe.
            security.m_entries.push_back(
                {true, header->AceFlags, ~0ul, "an entry of another kind"});
            continue;
        }
        // Allowed and denied entries share their layout.
        const auto* simple = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
        security.m_entries.push_back({header->AceType == ACCESS_ALLOWED_ACE_TYPE, header->AceFlags,
                                      simple->Mask, TextOf(const_cast<DWORD*>(&simple->SidStart))});
    }
    return true;
}

} // namespace

DWORD ProtectInstallFolder(const std::string& folder, std::string& setText) {
    const CObjectSecurity wanted = install_folder::ProtectedFolderSecurity();
    const LocalPtr owner = SidOf(wanted.m_strOwner);
    std::vector<LocalPtr> sids;
    DWORD listSize = sizeof(ACL);
    for (const CAccessEntry& entry : wanted.m_entries) {
        sids.push_back(SidOf(entry.m_strSid));
        if (!sids.back()) {
            return ::GetLastError();
        }
        listSize += sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(sids.back().get());
    }
    if (!owner) {
        return ::GetLastError();
    }
    std::vector<BYTE> listBytes(listSize);
    auto* list = reinterpret_cast<PACL>(listBytes.data());
    if (!::InitializeAcl(list, listSize, ACL_REVISION)) {
        return ::GetLastError();
    }
    for (std::size_t i = 0; i < wanted.m_entries.size(); ++i) {
        if (!::AddAccessAllowedAceEx(list, ACL_REVISION, wanted.m_entries[i].m_nFlags,
                                     wanted.m_entries[i].m_nMask, sids[i].get())) {
            return ::GetLastError();
        }
    }
    SECURITY_DESCRIPTOR descriptor = {};
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorOwner(&descriptor, owner.get(), FALSE);
    ::SetSecurityDescriptorDacl(&descriptor, TRUE, list, FALSE);
    ::SetSecurityDescriptorControl(&descriptor, SE_DACL_PROTECTED, SE_DACL_PROTECTED);
    char* text = nullptr;
    if (::ConvertSecurityDescriptorToStringSecurityDescriptorA(
            &descriptor, SDDL_REVISION_1, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
            &text, nullptr)) {
        const LocalPtr owned(text);
        setText = text;
    }
    std::string path = folder;
    return ::SetNamedSecurityInfoA(&path[0], SE_FILE_OBJECT,
                                   OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION |
                                       PROTECTED_DACL_SECURITY_INFORMATION,
                                   owner.get(), nullptr, list, nullptr);
}

std::string FindChangeableInstallPath(const std::string& folder,
                                      const std::vector<std::string>& trusted) {
    std::vector<std::string> paths = {folder};
    WIN32_FIND_DATAA found = {};
    const std::string base = folder.empty() || folder.back() == '\\' ? folder : folder + "\\";
    HANDLE search = ::FindFirstFileA((base + "*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name != "." && name != "..") {
                paths.push_back(base + name);
            }
        } while (::FindNextFileA(search, &found));
        ::FindClose(search);
    }
    for (const std::string& path : paths) {
        CObjectSecurity security;
        const std::string writer = ReadSecurity(path, security)
                                       ? install_folder::FindOutsideWriter(security, trusted)
                                       : std::string("an account it cannot read");
        if (!writer.empty()) {
            return "\"" + path + "\" can be changed by " + writer;
        }
    }
    return std::string();
}
