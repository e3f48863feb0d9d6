#include "tests/win32/service/service_test_support.h"

#include <cstdlib>
#include <filesystem>

#include "tests/support/file_access.h"
#include "tests/support/message_pump.h"
#include "tests/support/process_snapshot.h"
#include "tests/support/process_start.h"
#include "tests/support/standins_env.h"

#ifndef SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
#define SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE 0x2
#endif

namespace {

std::string Lower(std::string text) {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

std::string ImageOf(DWORD processId) {
    const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    char path[MAX_PATH] = {};
    DWORD length = MAX_PATH;
    if (!process || !::QueryFullProcessImageNameA(process.Get(), 0, path, &length)) {
        return std::string();
    }
    return std::string(path, length);
}

template <class Match> std::vector<DWORD> ProcessesWhere(Match match) {
    return ProcessIds([&](const PROCESSENTRY32& entry) {
        const std::string image = ImageOf(entry.th32ProcessID);
        return !image.empty() && match(Lower(image));
    });
}

// Wine's own export: the unix name of a Windows path (ASCII here),
// allocated on the process heap.
std::string UnixName(const std::string& path) {
    using UnixFileName = char*(CDECL*)(const WCHAR*);
    const auto unixFileName = reinterpret_cast<UnixFileName>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    char* name = unixFileName != nullptr
                     ? unixFileName(std::wstring(path.begin(), path.end()).c_str())
                     : nullptr;
    if (name == nullptr) {
        return std::string();
    }
    std::string result(name);
    ::HeapFree(::GetProcessHeap(), 0, name);
    return result;
}

// Wine runs a unix program given by its unix path on drive Z:. Its handle
// may be signalled before it has run: callers wait for what it does.
bool RunUnix(const std::string& program, const std::string& commandLine) {
    CStartOptions options;
    options.m_strProgram = standins_env::WinePath(program);
    return static_cast<bool>(StartProcess(commandLine, options));
}

bool WaitForState(SC_HANDLE service, DWORD state, DWORD timeoutMs) {
    return PumpMessagesUntil(
        [&] {
            SERVICE_STATUS_PROCESS status = {};
            DWORD needed = 0;
            return ::QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO,
                                          reinterpret_cast<BYTE*>(&status), sizeof status,
                                          &needed) &&
                   status.dwCurrentState == state;
        },
        timeoutMs);
}

// The manager lets a service marked for deletion go once the last handle to
// it is closed, which may be a moment after its process ended.
bool WaitUntilGone(SC_HANDLE manager) {
    const DWORD start = ::GetTickCount();
    do {
        UniqueServiceHandle again(::OpenServiceA(manager, kTestServiceName, SERVICE_QUERY_STATUS));
        const DWORD error = ::GetLastError();
        if (!again && error == ERROR_SERVICE_DOES_NOT_EXIST) {
            return true;
        }
        ::Sleep(100);
    } while (::GetTickCount() - start < 10000);
    return false;
}

void StopAndDelete(SC_HANDLE service) {
    SERVICE_STATUS status = {};
    ::ControlService(service, SERVICE_CONTROL_STOP, &status);
    WaitForState(service, SERVICE_STOPPED, 10000);
    ::DeleteService(service);
}

} // namespace

CScratchFolder::CScratchFolder(const std::string& tag) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    m_strPath = std::string(temp) + "RODerevAvaTest-" + tag + "-" +
                std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(::GetTickCount()) +
                "\\";
    ::CreateDirectoryA(m_strPath.c_str(), nullptr);
}

CScratchFolder::~CScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(m_strPath, ignored);
    // Wine cannot remove the unix links it follows; the unix side can.
    const std::string unixPath = FileExists(m_strPath) ? UnixName(m_strPath) : std::string();
    if (!unixPath.empty() && RunUnix("/bin/rm", "rm -rf \"" + unixPath + "\"")) {
        WaitForFileGone(m_strPath, 5000);
    }
}

std::string BuiltProgram(const std::string& relativePath) {
    const char* binaryDir = std::getenv("SULVANTIX_BINARY_DIR");
    return binaryDir == nullptr
               ? std::string()
               : standins_env::WinePath(std::string(binaryDir) + "/" + relativePath);
}

bool CopyProgram(const std::string& from, const std::string& to) {
    return !from.empty() && ::CopyFileA(from.c_str(), to.c_str(), FALSE) != FALSE;
}

std::vector<DWORD> ProcessesWithImage(const std::string& path) {
    const std::string wanted = Lower(path);
    return ProcessesWhere([&](const std::string& image) { return image == wanted; });
}

std::vector<DWORD> ProcessesUnder(const std::string& folder) {
    const std::string wanted = Lower(folder);
    return ProcessesWhere(
        [&](const std::string& image) { return image.compare(0, wanted.size(), wanted) == 0; });
}

DWORD WaitForProcessWithImage(const std::string& path, DWORD timeoutMs) {
    std::vector<DWORD> found;
    PumpMessagesUntil([&] { return !(found = ProcessesWithImage(path)).empty(); }, timeoutMs);
    return found.empty() ? 0 : found.front();
}

bool EndProcessById(DWORD processId) {
    const UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (!process) {
        return false;
    }
    ::TerminateProcess(process.Get(), 1);
    return ::WaitForSingleObject(process.Get(), 10000) == WAIT_OBJECT_0;
}

CTestService::~CTestService() {
    if (m_hService) {
        StopAndDelete(m_hService.Get());
    }
}

std::string CTestService::Install(const std::string& programPath) {
    const SC_HANDLE manager = ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
    const DWORD openError = ::GetLastError();
    m_hManager.Reset(manager);
    if (!m_hManager) {
        return "OpenSCManager: " + std::to_string(openError);
    }
    if (UniqueServiceHandle stale{
            ::OpenServiceA(m_hManager.Get(), kTestServiceName, SERVICE_ALL_ACCESS)}) {
        StopAndDelete(stale.Get());
    }
    m_hService.Reset();
    WaitUntilGone(m_hManager.Get());
    const std::string command = "\"" + programPath + "\"";
    const SC_HANDLE service =
        ::CreateServiceA(m_hManager.Get(), kTestServiceName, kTestServiceName, SERVICE_ALL_ACCESS,
                         SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                         command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
    const DWORD createError = ::GetLastError();
    m_hService.Reset(service);
    if (!m_hService) {
        return "CreateService: " + std::to_string(createError);
    }
    // A prefix's manager answers "database locked" while it is still
    // starting its own services.
    const DWORD start = ::GetTickCount();
    for (;;) {
        const BOOL started = ::StartServiceA(m_hService.Get(), 0, nullptr);
        const DWORD startError = ::GetLastError();
        if (started) {
            break;
        }
        if (startError != ERROR_SERVICE_DATABASE_LOCKED || ::GetTickCount() - start > 30000) {
            return "StartService: " + std::to_string(startError);
        }
        ::Sleep(200);
    }
    // A service that refuses to start stops by itself.
    PumpMessagesUntil(
        [&] {
            const DWORD state = Status().dwCurrentState;
            return state == SERVICE_RUNNING || state == SERVICE_STOPPED;
        },
        20000);
    const SERVICE_STATUS_PROCESS status = Status();
    if (status.dwCurrentState == SERVICE_STOPPED) {
        return "stopped, exit code " + std::to_string(status.dwWin32ExitCode);
    }
    if (status.dwCurrentState != SERVICE_RUNNING) {
        return "not running, state " + std::to_string(status.dwCurrentState);
    }
    m_nProcessId = Status().dwProcessId;
    return m_nProcessId != 0 ? std::string() : "no process id";
}

SERVICE_STATUS_PROCESS CTestService::Status() const {
    SERVICE_STATUS_PROCESS status = {};
    DWORD needed = 0;
    if (m_hService) {
        ::QueryServiceStatusEx(m_hService.Get(), SC_STATUS_PROCESS_INFO,
                               reinterpret_cast<BYTE*>(&status), sizeof status, &needed);
    }
    return status;
}

bool CTestService::Stop() {
    SERVICE_STATUS status = {};
    if (!m_hService || !::ControlService(m_hService.Get(), SERVICE_CONTROL_STOP, &status) ||
        !WaitForState(m_hService.Get(), SERVICE_STOPPED, 10000)) {
        return false;
    }
    const UniqueHandle process(::OpenProcess(SYNCHRONIZE, FALSE, m_nProcessId));
    return !process || ::WaitForSingleObject(process.Get(), 10000) == WAIT_OBJECT_0;
}

bool CTestService::Delete() {
    if (!m_hService || !::DeleteService(m_hService.Get())) {
        return false;
    }
    m_hService.Reset();
    return WaitUntilGone(m_hManager.Get());
}

bool MakeSymbolicLink(const std::string& link, const std::string& target, bool folder) {
    const DWORD flags =
        (folder ? SYMBOLIC_LINK_FLAG_DIRECTORY : 0) | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
    if (::CreateSymbolicLinkA(link.c_str(), target.c_str(), flags) && FileExists(link)) {
        return true;
    }
    const std::string unixLink = UnixName(link);
    const std::string unixTarget = UnixName(target);
    return !unixLink.empty() && !unixTarget.empty() &&
           RunUnix("/bin/ln", "ln -s \"" + unixTarget + "\" \"" + unixLink + "\"") &&
           WaitForFile(link, 5000);
}
