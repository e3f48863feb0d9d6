#include "service/trusted_accounts.h"

#include <aclapi.h>
#include <sddl.h>

#include <cstring>

#include "framework/handle.h"
#include "service/install_folder_rules.h"

CTrustedAccounts::CTrustedAccounts() {
    AddWellKnown(WinLocalSystemSid);
    AddWellKnown(WinBuiltinAdministratorsSid);
    PSID installer = nullptr;
    if (::ConvertStringSidToSidA(install_folder::kTrustedInstallerSid, &installer)) {
        Add(installer);
        ::LocalFree(installer);
    }
    HANDLE token = nullptr;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        const UniqueHandle owned(token);
        AddFromToken(token, TokenUser);
        AddFromToken(token, TokenOwner);
    }
}

bool CTrustedAccounts::OwnsObject(HANDLE object, std::string& ownerText) const {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr,
                          nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    bool trusted = false;
    for (const std::vector<BYTE>& sid : m_sids) {
        trusted = trusted ||
                  (owner != nullptr && ::EqualSid(owner, const_cast<BYTE*>(sid.data())) != FALSE);
    }
    char* text = nullptr;
    if (owner != nullptr && ::ConvertSidToStringSidA(owner, &text)) {
        ownerText = text;
        ::LocalFree(text);
    }
    ::LocalFree(descriptor);
    return trusted;
}

std::vector<std::string> CTrustedAccounts::SidTexts() const {
    std::vector<std::string> texts;
    for (const std::vector<BYTE>& sid : m_sids) {
        char* text = nullptr;
        if (::ConvertSidToStringSidA(const_cast<BYTE*>(sid.data()), &text)) {
            texts.emplace_back(text);
            ::LocalFree(text);
        }
    }
    return texts;
}

void CTrustedAccounts::Add(PSID sid) {
    if (sid != nullptr && ::IsValidSid(sid)) {
        const auto* bytes = static_cast<const BYTE*>(sid);
        m_sids.emplace_back(bytes, bytes + ::GetLengthSid(sid));
    }
}

void CTrustedAccounts::AddWellKnown(WELL_KNOWN_SID_TYPE type) {
    BYTE sid[SECURITY_MAX_SID_SIZE] = {};
    DWORD size = sizeof sid;
    if (::CreateWellKnownSid(type, nullptr, sid, &size)) {
        Add(sid);
    }
}

// TokenUser and TokenOwner answers both begin with the SID's pointer.
void CTrustedAccounts::AddFromToken(HANDLE token, TOKEN_INFORMATION_CLASS which) {
    std::vector<BYTE> buffer(256);
    DWORD size = 0;
    if (!::GetTokenInformation(token, which, buffer.data(), static_cast<DWORD>(buffer.size()),
                               &size)) {
        return;
    }
    PSID sid = nullptr;
    std::memcpy(&sid, buffer.data(), sizeof sid);
    Add(sid);
}
