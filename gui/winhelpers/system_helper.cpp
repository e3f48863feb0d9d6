#include "gui/winhelpers/system_helper.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <memory>

#include "gui/winhelpers/os_version_name_rules.h"
#include "gui/winhelpers/process_match_rules.h"
#include "gui/winhelpers/sid_text_rules.h"

namespace {

// PROCESS_ALL_ACCESS as the pre-Vista headers define it, which every release opens.
constexpr DWORD kProcessAllAccess = 0x1F0FFF;
constexpr DWORD kSidTextChars = 256;

static_assert(sizeof(OSVERSIONINFOEXA) == 156, "version record of the documented size");
#ifndef _WIN64
// The 32-bit layout; 64-bit Windows widens the pointer-sized members.
static_assert(sizeof(PROCESSENTRY32) == 296, "snapshot entry of the documented size");
#endif

} // namespace

bool CSystemHelper::SidToText(PSID sid, char* text, DWORD* length) const {
    try {
        if (sid == nullptr || length == nullptr || !::IsValidSid(sid)) {
            return false;
        }
        winhelpers::SidParts parts;
        const SID_IDENTIFIER_AUTHORITY* authority = ::GetSidIdentifierAuthority(sid);
        std::copy(std::begin(authority->Value), std::end(authority->Value),
                  parts.authority.begin());
        const UCHAR count = *::GetSidSubAuthorityCount(sid);
        for (UCHAR i = 0; i < count; ++i) {
            parts.subAuthorities.push_back(*::GetSidSubAuthority(sid, i));
        }
        unsigned long capacity = *length;
        switch (winhelpers::FormatSidText(parts, text, &capacity)) {
        case winhelpers::SidTextResult::kOk:
            return true;
        case winhelpers::SidTextResult::kShortBuffer:
            *length = capacity;
            ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return false;
        case winhelpers::SidTextResult::kInvalid:
        case winhelpers::SidTextResult::kTruncated:
            break;
        }
        return false;
    } catch (...) {
        return false;
    }
}

std::string CSystemHelper::GetTokenUserSid(HANDLE process) const {
    try {
        HANDLE rawToken = nullptr;
        if (process == nullptr || !::OpenProcessToken(process, TOKEN_QUERY, &rawToken)) {
            return std::string();
        }
        const UniqueHandle token(rawToken);
        DWORD size = 0;
        ::GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
        if (size == 0) {
            return std::string();
        }
        // Zeroed, and aligned for TOKEN_USER by new[].
        std::unique_ptr<BYTE[]> info(new BYTE[size]());
        if (!::GetTokenInformation(token.Get(), TokenUser, info.get(), size, &size)) {
            return std::string();
        }
        const PSID user = reinterpret_cast<const TOKEN_USER*>(info.get())->User.Sid;
        if (!::IsValidSid(user)) {
            return std::string();
        }
        char text[kSidTextChars] = {};
        DWORD length = kSidTextChars;
        if (!SidToText(user, text, &length)) {
            return std::string();
        }
        return std::string(text, ::strnlen(text, kSidTextChars));
    } catch (...) {
        return std::string();
    }
}

std::string CSystemHelper::GetOSVersionName() const {
    try {
        OSVERSIONINFOEXA info{};
        info.dwOSVersionInfoSize = sizeof(info);
        if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
            return std::string();
        }
        winhelpers::OsVersionRecord record;
        record.platformId = info.dwPlatformId;
        record.majorVersion = info.dwMajorVersion;
        record.minorVersion = info.dwMinorVersion;
        record.suiteMask = info.wSuiteMask;
        record.productType = info.wProductType;
        return winhelpers::OsVersionNameFor(record);
    } catch (...) {
        return std::string();
    }
}

UniqueHandle CSystemHelper::FindProcess(const std::string& exeName) const {
    UniqueHandle found;
    try {
        const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
        if (!snapshot) {
            return found;
        }
        // Asked once: the running version cannot change during the walk.
        const std::string windowsName = GetOSVersionName();
        PROCESSENTRY32 entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = ::Process32First(snapshot.Get(), &entry); more;
             more = ::Process32Next(snapshot.Get(), &entry)) {
            const std::string entryExe(entry.szExeFile,
                                       ::strnlen(entry.szExeFile, sizeof(entry.szExeFile)));
            const winhelpers::ProcessMatch match =
                winhelpers::MatchProcessEntry(windowsName, exeName, entryExe);
            if (match == winhelpers::ProcessMatch::kSkip) {
                continue;
            }
            UniqueHandle opened(::OpenProcess(kProcessAllAccess, FALSE, entry.th32ProcessID));
            if (opened) {
                // An earlier match is closed here, so only the last one stays open.
                found = std::move(opened);
            }
            if (match == winhelpers::ProcessMatch::kOpenAndStop) {
                break;
            }
        }
    } catch (...) {
        // The handle found so far is the answer.
    }
    return found;
}

std::string CSystemHelper::GetExplorerUserSid() const {
    const UniqueHandle explorer = FindProcess(winhelpers::kDesktopShellExe);
    if (!explorer) {
        return std::string();
    }
    return GetTokenUserSid(explorer.Get());
}
