#include "checker/checker_admin_rights.h"

#include "checker/checker_start_rules.h"
#include "framework/handle.h"

namespace {

constexpr int kWinBuiltinAdministratorsSid = 26;
constexpr DWORD kTokenLinkedToken = 19;
// Room for any SID (SECURITY_MAX_SID_SIZE).
constexpr DWORD kSidBufferSize = 68;

using CreateWellKnownSidFn = BOOL(WINAPI*)(int, PSID, PSID, DWORD*);

bool IsMember(HANDLE token, PSID sid) {
    BOOL member = FALSE;
    return ::CheckTokenMembership(token, sid, &member) != FALSE && member != FALSE;
}

} // namespace

bool IsUserAdministrator(HMODULE rightsLibrary) {
    HANDLE rawToken = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &rawToken)) {
        return false;
    }
    const UniqueHandle token(rawToken);

    const auto createWellKnownSid = reinterpret_cast<CreateWellKnownSidFn>(
        reinterpret_cast<void*>(::GetProcAddress(rightsLibrary, "CreateWellKnownSid")));
    if (createWellKnownSid == nullptr) {
        return false;
    }
    alignas(DWORD) unsigned char sid[kSidBufferSize] = {};
    DWORD sidSize = sizeof sid;
    if (!createWellKnownSid(kWinBuiltinAdministratorsSid, nullptr, sid, &sidSize)) {
        return false;
    }

    // The caller's own token first.
    if (IsMember(nullptr, sid)) {
        return true;
    }

    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    const bool versionOk = ::GetVersionExA(&version) != FALSE;
    if (!versionOk || version.dwMajorVersion < 6) {
        return IsAdministratorFromTokens(false, versionOk, version.dwMajorVersion, false);
    }

    // An administrator whose process is not elevated has the group only in
    // the linked token. Errors 1312 and 1314 (no linked token, privilege not
    // held) are the usual answers of a standard user.
    HANDLE rawLinked = nullptr;
    DWORD returned = 0;
    if (!::GetTokenInformation(token.Get(), static_cast<TOKEN_INFORMATION_CLASS>(kTokenLinkedToken),
                               &rawLinked, sizeof rawLinked, &returned)) {
        return false;
    }
    const UniqueHandle linked(rawLinked);
    return IsAdministratorFromTokens(false, true, version.dwMajorVersion,
                                     IsMember(linked.Get(), sid));
}
