#include "tests/e2e/installer/setup_machine.h"

#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "framework/handle.h"
#include "tests/support/file_access.h"
#include "tests/support/message_pump.h"
#include "tests/support/process_start.h"
#include "tests/win32/service/service_test_support.h"

namespace sx_setup {

namespace {

constexpr char kSessionManagerKey[] = "System\\CurrentControlSet\\Control\\Session Manager";
constexpr char kPendingOperations[] = "PendingFileRenameOperations";

struct RegKeyTraits {
    using Handle = HKEY;
    static bool IsEmpty(HKEY h) { return h == nullptr; }
    static HKEY Empty() { return nullptr; }
    static void Close(HKEY h) { ::RegCloseKey(h); }
};
using UniqueRegKey = CUniqueResource<RegKeyTraits>;

// A COM interface pointer with one owner.
template <class T> class CComOwner {
public:
    CComOwner() = default;
    ~CComOwner() {
        if (m_p != nullptr) {
            m_p->Release();
        }
    }
    CComOwner(const CComOwner&) = delete;
    CComOwner& operator=(const CComOwner&) = delete;

    T* Get() const { return m_p; }
    T** Out() { return &m_p; }

private:
    T* m_p = nullptr;
};

class CComApartment {
public:
    CComApartment() : m_hr(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~CComApartment() {
        if (SUCCEEDED(m_hr)) {
            ::CoUninitialize();
        }
    }
    CComApartment(const CComApartment&) = delete;
    CComApartment& operator=(const CComApartment&) = delete;

private:
    HRESULT m_hr;
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string KnownFolder(int csidl) {
    char folder[MAX_PATH] = {};
    return ::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder) == S_OK
               ? std::string(folder)
               : std::string();
}

UniqueRegKey OpenKey(const char* subkey, REGSAM access) {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, access, &key) != ERROR_SUCCESS) {
        return UniqueRegKey();
    }
    return UniqueRegKey(key);
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool PendingOperationsExist() {
    const UniqueRegKey key = OpenKey(kSessionManagerKey, KEY_QUERY_VALUE);
    return key && ::RegQueryValueExA(key.Get(), kPendingOperations, nullptr, nullptr, nullptr,
                                     nullptr) == ERROR_SUCCESS;
}

Lines JobProcesses(HANDLE job) {
    struct {
        JOBOBJECT_BASIC_PROCESS_ID_LIST list;
        ULONG_PTR more[63];
    } ids{};
    ids.list.NumberOfAssignedProcesses = 64;
    Lines found;
    if (!::QueryInformationJobObject(job, JobObjectBasicProcessIdList, &ids, sizeof ids, nullptr)) {
        return found;
    }
    for (DWORD i = 0; i < ids.list.NumberOfProcessIdsInList && i < 64; ++i) {
        const DWORD id = static_cast<DWORD>(ids.list.ProcessIdList[i]);
        const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
        char image[MAX_PATH] = {};
        DWORD length = MAX_PATH;
        if (!process || !::QueryFullProcessImageNameA(process.Get(), 0, image, &length)) {
            length = 0;
        }
        found.push_back(std::to_string(id) + " " + std::string(image, length));
    }
    return found;
}

void RemoveTree(const std::string& path) {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
}

} // namespace

std::string ProgramFolder() {
    return KnownFolder(CSIDL_PROGRAM_FILES) + "\\Sulvantix";
}

std::string ProgramFile(const std::string& name) {
    return ProgramFolder() + "\\" + name;
}

std::string StartMenuFolder() {
    return KnownFolder(CSIDL_COMMON_PROGRAMS) + "\\Sulvantix";
}

std::string SystemFile(const std::string& name) {
    char folder[MAX_PATH] = {};
    ::GetSystemDirectoryA(folder, sizeof folder);
    return std::string(folder) + "\\" + name;
}

std::string TempFolder() {
    char folder[MAX_PATH] = {};
    const DWORD length = ::GetTempPathA(sizeof folder, folder);
    // Without its closing backslash.
    return std::string(folder, length > 0 ? length - 1 : 0);
}

bool SamePath(const std::string& a, const std::string& b) {
    return Lower(a) == Lower(b);
}

bool WaitUntilSystemStarted(DWORD timeoutMs) {
    if (::GetDesktopWindow() == nullptr) {
        return false;
    }
    const UniqueServiceHandle manager(
        ::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_LOCK));
    return manager && PumpMessagesUntil(
                          [&] {
                              SC_LOCK lock = ::LockServiceDatabase(manager.Get());
                              return lock != nullptr && ::UnlockServiceDatabase(lock);
                          },
                          timeoutMs);
}

CRun RunToTheEnd(const std::string& commandLine, DWORD timeoutMs) {
    CRun run;
    const UniqueHandle job(::CreateJobObjectA(nullptr, nullptr));
    if (!job) {
        return run;
    }
    CStartOptions options;
    // Suspended until it is in the job, so everything it starts is too.
    options.m_nFlags = CREATE_SUSPENDED;
    const CStartedProcess started = StartProcess(commandLine, options);
    if (!started) {
        return run;
    }
    const HANDLE process = started.m_hProcess.Get();
    if (!::AssignProcessToJobObject(job.Get(), process)) {
        ::TerminateProcess(process, 1);
        return run;
    }
    ::ResumeThread(started.m_hThread.Get());
    run.m_bStarted = true;

    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
    run.m_bEnded = PumpMessagesUntil(
        [&] {
            return ::QueryInformationJobObject(job.Get(), JobObjectBasicAccountingInformation,
                                               &accounting, sizeof accounting, nullptr) &&
                   accounting.ActiveProcesses == 0;
        },
        timeoutMs);
    run.m_nProcesses = accounting.TotalProcesses;
    if (!run.m_bEnded) {
        run.m_stillRunning = JobProcesses(job.Get());
    }
    ::GetExitCodeProcess(process, &run.m_nExitCode);
    return run;
}

bool HasTwoRegistryViews() {
#ifdef _WIN64
    return true;
#else
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
#endif
}

bool KeyExists(const char* subkey, REGSAM view) {
    return static_cast<bool>(OpenKey(subkey, KEY_READ | view));
}

bool ReadString(const char* subkey, const char* name, REGSAM view, std::string* text) {
    text->clear();
    const UniqueRegKey key = OpenKey(subkey, KEY_READ | view);
    DWORD type = 0;
    char buffer[1024] = {};
    DWORD size = sizeof buffer - 1;
    if (!key ||
        ::RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                           &size) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    *text = buffer;
    return true;
}

bool ReadDword(const char* subkey, const char* name, REGSAM view, DWORD* value) {
    *value = 0;
    const UniqueRegKey key = OpenKey(subkey, KEY_READ | view);
    DWORD type = 0;
    DWORD size = sizeof *value;
    return key &&
           ::RegQueryValueExA(key.Get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value),
                              &size) == ERROR_SUCCESS &&
           type == REG_DWORD;
}

CServiceFacts QueryService(const char* name) {
    CServiceFacts facts;
    const UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    const UniqueServiceHandle service(
        manager ? ::OpenServiceA(manager.Get(), name, SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS)
                : nullptr);
    if (!service) {
        return facts;
    }
    facts.m_bRegistered = true;
    DWORD needed = 0;
    ::QueryServiceConfigA(service.Get(), nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed + sizeof(QUERY_SERVICE_CONFIGA));
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    if (::QueryServiceConfigA(service.Get(), config, static_cast<DWORD>(buffer.size()), &needed)) {
        facts.m_nStartType = config->dwStartType;
        facts.m_strBinaryPath = config->lpBinaryPathName ? config->lpBinaryPathName : "";
        facts.m_strAccount = config->lpServiceStartName ? config->lpServiceStartName : "";
    }
    SERVICE_STATUS_PROCESS status{};
    if (::QueryServiceStatusEx(service.Get(), SC_STATUS_PROCESS_INFO,
                               reinterpret_cast<BYTE*>(&status), sizeof status, &needed)) {
        facts.m_nState = status.dwCurrentState;
        facts.m_nProcessId = status.dwProcessId;
    }
    return facts;
}

bool ReadShellLink(const std::string& link, std::string* target, std::string* workingFolder) {
    const CComApartment apartment;
    CComOwner<IShellLinkA> shellLink;
    CComOwner<IPersistFile> file;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(shellLink.Out()))) ||
        FAILED(shellLink.Get()->QueryInterface(IID_IPersistFile,
                                               reinterpret_cast<void**>(file.Out())))) {
        return false;
    }
    std::wstring wideLink(link.size() + 1, L'\0');
    const int wideLength = ::MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, &wideLink[0],
                                                 static_cast<int>(wideLink.size()));
    if (wideLength <= 0) {
        return false;
    }
    char path[MAX_PATH] = {};
    char folder[MAX_PATH] = {};
    if (FAILED(file.Get()->Load(wideLink.c_str(), STGM_READ)) ||
        FAILED(shellLink.Get()->GetPath(path, MAX_PATH, nullptr, SLGP_RAWPATH)) ||
        FAILED(shellLink.Get()->GetWorkingDirectory(folder, MAX_PATH))) {
        return false;
    }
    *target = path;
    *workingFolder = folder;
    return true;
}

CStartState ReadStartState() {
    CStartState state;
    state.m_tempEntries = FolderNames(TempFolder());
    state.m_bPendingOperations = PendingOperationsExist();
    return state;
}

bool DoRestartFileOperations() {
    const CRun run = RunToTheEnd("\"" + SystemFile("wineboot.exe") + "\"", 60000);
    return run.m_bEnded && run.m_nExitCode == 0;
}

Lines NewTempEntries(const CStartState& start) {
    Lines added;
    for (const std::string& name : FolderNames(TempFolder())) {
        if (std::find(start.m_tempEntries.begin(), start.m_tempEntries.end(), name) ==
            start.m_tempEntries.end()) {
            added.push_back(name);
        }
    }
    return added;
}

Lines Leftovers(const CStartState& start) {
    Lines left;
    for (const std::string& folder : {ProgramFolder(), StartMenuFolder()}) {
        if (IsFolder(folder)) {
            left.push_back("folder " + folder);
        }
    }
    if (KeyExists(kUninstallKey, kView64)) {
        left.push_back("uninstall entry in the 64-bit view");
    }
    if (KeyExists(kUninstallKey, kView32)) {
        left.push_back("uninstall entry in the 32-bit view");
    }
    if (QueryService(kServiceName).m_bRegistered) {
        left.push_back(std::string("service ") + kServiceName);
    }
    for (const DWORD id : ProcessesUnder(ProgramFolder() + "\\")) {
        left.push_back("process " + std::to_string(id) + " from the program folder");
    }
    if (FileExists(SystemFile("Proxylist.txt"))) {
        left.push_back(SystemFile("Proxylist.txt"));
    }
    for (const std::string& name : NewTempEntries(start)) {
        left.push_back(TempFolder() + "\\" + name);
    }
    if (PendingOperationsExist() && !start.m_bPendingOperations) {
        left.push_back("file operations pending for the next restart");
    }
    return left;
}

void RemoveLeftovers(const CStartState& start) {
    const UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (UniqueServiceHandle service{
            manager ? ::OpenServiceA(manager.Get(), kServiceName, SERVICE_ALL_ACCESS) : nullptr}) {
        SERVICE_STATUS status{};
        ::ControlService(service.Get(), SERVICE_CONTROL_STOP, &status);
        ::DeleteService(service.Get());
    }
    // The service's process, and what it started, may take a moment to go.
    PumpMessagesUntil(
        [] {
            for (const DWORD id : ProcessesUnder(ProgramFolder() + "\\")) {
                EndProcessById(id);
            }
            return ProcessesUnder(ProgramFolder() + "\\").empty();
        },
        10000);
    // A deleted service goes from the manager once its process has ended.
    PumpMessagesUntil([] { return !QueryService(kServiceName).m_bRegistered; }, 10000);
    RemoveTree(ProgramFolder());
    RemoveTree(StartMenuFolder());
    for (const REGSAM view : {kView64, kView32}) {
        ::RegDeleteKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey, view, 0);
    }
    for (const char* name : {"Proxylist.txt", "Userproxy.txt"}) {
        ::DeleteFileA(SystemFile(name).c_str());
    }
    if (!start.m_bPendingOperations && PendingOperationsExist()) {
        DoRestartFileOperations();
    }
    for (const std::string& name : NewTempEntries(start)) {
        RemoveTree(TempFolder() + "\\" + name);
    }
    if (!start.m_bPendingOperations) {
        if (const UniqueRegKey key = OpenKey(kSessionManagerKey, KEY_SET_VALUE)) {
            ::RegDeleteValueA(key.Get(), kPendingOperations);
        }
    }
}

} // namespace sx_setup
