#include "service/session_launcher.h"

#include <userenv.h>
#include <wtsapi32.h>

#include <string>

namespace {

struct EnvironmentTraits {
    using Handle = void*;
    static bool IsEmpty(void* p) { return p == nullptr; }
    static void* Empty() { return nullptr; }
    static void Close(void* p) { ::DestroyEnvironmentBlock(p); }
};
using UniqueEnvironment = CUniqueResource<EnvironmentTraits>;

void Trace(const std::string& text) {
    ::OutputDebugStringA(("RODerevAva: " + text).c_str());
}

UserElevation ElevationOf(HANDLE token) {
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD length = 0;
    if (!::GetTokenInformation(token, TokenElevationType, &type, sizeof type, &length)) {
        return UserElevation::Default;
    }
    switch (type) {
    case TokenElevationTypeFull:
        return UserElevation::Full;
    case TokenElevationTypeLimited:
        return UserElevation::Limited;
    default:
        return UserElevation::Default;
    }
}

// CheckTokenMembership wants an impersonation token.
bool IsAdministrator(HANDLE token) {
    HANDLE duplicate = nullptr;
    if (!::DuplicateToken(token, SecurityIdentification, &duplicate)) {
        return false;
    }
    const UniqueHandle identification(duplicate);
    BYTE sid[SECURITY_MAX_SID_SIZE] = {};
    DWORD sidSize = sizeof sid;
    if (!::CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, sid, &sidSize)) {
        return false;
    }
    BOOL member = FALSE;
    return ::CheckTokenMembership(identification.Get(), sid, &member) && member;
}

UniqueHandle LinkedTokenOf(HANDLE token) {
    TOKEN_LINKED_TOKEN linked = {};
    DWORD length = 0;
    if (!::GetTokenInformation(token, TokenLinkedToken, &linked, sizeof linked, &length)) {
        return UniqueHandle();
    }
    return UniqueHandle(linked.LinkedToken);
}

// CreateProcessAsUser takes a primary token; a linked token comes as an
// impersonation token to callers without the TCB privilege.
UniqueHandle PrimaryCopy(HANDLE token, DWORD& error) {
    HANDLE primary = nullptr;
    if (!::DuplicateTokenEx(token, MAXIMUM_ALLOWED, nullptr, SecurityIdentification, TokenPrimary,
                            &primary)) {
        error = ::GetLastError();
        return UniqueHandle();
    }
    return UniqueHandle(primary);
}

std::string FolderOf(const std::string& path) {
    const std::string::size_type slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

} // namespace

UniqueHandle StartInSession(DWORD sessionId, const std::string& programPath,
                            LaunchPurpose purpose) {
    const std::string session = std::to_string(sessionId);

    HANDLE userToken = nullptr;
    const BOOL haveToken = ::WTSQueryUserToken(sessionId, &userToken);
    const DWORD tokenError = ::GetLastError();
    const UniqueHandle user(haveToken ? userToken : nullptr);
    const UserTokenAnswer answer =
        haveToken ? UserTokenAnswer::Token : ClassifyUserTokenError(tokenError);

    CUserTokenFacts facts;
    UniqueHandle linked;
    if (user) {
        facts.m_elevation = ElevationOf(user.Get());
        facts.m_bIsAdministrator = IsAdministrator(user.Get());
        if (purpose == LaunchPurpose::Elevated && facts.m_elevation == UserElevation::Limited) {
            linked = LinkedTokenOf(user.Get());
            facts.m_bHasLinkedToken = linked.IsValid();
        }
    }
    const LaunchAccount account = ChooseLaunchAccount(purpose, answer, facts);

    UniqueHandle token;
    DWORD tokenCopyError = ERROR_SUCCESS;
    switch (account) {
    case LaunchAccount::None:
        Trace(answer == UserTokenAnswer::NotImplemented
                  ? "WTSQueryUserToken not implemented; " + programPath +
                        " runs as the user only, so it is not started"
                  : "no user token in session " + session + ", error " +
                        std::to_string(tokenError));
        return UniqueHandle();
    case LaunchAccount::ServiceSession:
        if (answer == UserTokenAnswer::NotImplemented) {
            Trace("WTSQueryUserToken not implemented; starting in the services' session");
        }
        break;
    case LaunchAccount::UserToken:
        token = PrimaryCopy(user.Get(), tokenCopyError);
        break;
    case LaunchAccount::LinkedToken:
        token = PrimaryCopy(linked.Get(), tokenCopyError);
        break;
    }
    if (account != LaunchAccount::ServiceSession && !token) {
        Trace("no token for " + std::string(LaunchAccountText(account)) + ", error " +
              std::to_string(tokenCopyError));
        return UniqueHandle();
    }

    // The elevated program gets the system's variables only: the user's own
    // (TEMP, PATH, anything the user's programs set) would steer a program
    // with the administrators' rights. The as-user program gets the user's.
    void* block = nullptr;
    UniqueEnvironment environment;
    if ((purpose == LaunchPurpose::Elevated || token) &&
        ::CreateEnvironmentBlock(&block, purpose == LaunchPurpose::Elevated ? nullptr : token.Get(),
                                 FALSE)) {
        environment.Reset(block);
    }

    std::string commandLine = "\"" + programPath + "\"";
    const std::string folder = FolderOf(programPath);
    // A program under a user's token goes to the desktop a user's programs
    // run on. One with the service's token stays on the service's own window
    // station, which no user sees or can send messages into.
    char desktop[] = "winsta0\\default";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.lpDesktop = token ? desktop : nullptr;
    PROCESS_INFORMATION info = {};
    const DWORD flags = environment ? CREATE_UNICODE_ENVIRONMENT : 0;
    const BOOL started =
        token ? ::CreateProcessAsUserA(token.Get(), programPath.c_str(), &commandLine[0], nullptr,
                                       nullptr, FALSE, flags, environment.Get(),
                                       folder.empty() ? nullptr : folder.c_str(), &startup, &info)
              : ::CreateProcessA(programPath.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                                 flags, environment.Get(),
                                 folder.empty() ? nullptr : folder.c_str(), &startup, &info);
    const DWORD startError = ::GetLastError();
    if (!started) {
        Trace("start failed in session " + session + ", error " + std::to_string(startError) +
              ": " + programPath);
        return UniqueHandle();
    }
    const UniqueHandle thread(info.hThread);
    Trace("started " + programPath + " for session " + session + " as " +
          LaunchAccountText(account) + ", process " + std::to_string(info.dwProcessId));
    return UniqueHandle(info.hProcess);
}
