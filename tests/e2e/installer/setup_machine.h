// The machine as the setup and the uninstaller leave it: where this bitness's
// setup installs, its uninstall entry in either registry view, the launch
// service in the service manager, the Start-menu link, the programs left
// running, and a list of everything of ours still present. Every check reads
// the real system (under Wine, the test's own prefix).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace sx_setup {

using Lines = std::vector<std::string>;

constexpr char kServiceName[] = "RODerevAva";
constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Sulvantix";

// The setup's folder: "Sulvantix" in the Program Files folder of this
// program's bitness, without a closing backslash.
std::string ProgramFolder();
std::string ProgramFile(const std::string& name);
// All users' "Programs\Sulvantix" in the Start menu.
std::string StartMenuFolder();
std::string SystemFile(const std::string& name);
std::string TempFolder();

// Windows paths are equal whatever their case.
bool SamePath(const std::string& a, const std::string& b);

// Under Wine the test's own start boots the prefix: the desktop's process is
// started by the first program that needs a desktop, as its child, and the
// service manager holds its database locked while it starts its own services.
// A setup started before both are done would hold the desktop's process in its
// job, and its "sc start" would find the database locked. Makes the desktop
// and waits for the lock to be free; false after the time.
bool WaitUntilSystemStarted(DWORD timeoutMs);

// A command line run to its end together with every process it starts, all
// held by one job object: NSIS's uninstaller starts a copy of itself from a
// temporary folder and returns at once, and its work is done only when that
// copy has ended.
struct CRun {
    bool m_bStarted = false;
    bool m_bEnded = false;  // every process of the job ended in time
    DWORD m_nExitCode = 0;  // of the process started first
    DWORD m_nProcesses = 0; // how many the job held in all
    Lines m_stillRunning;   // "<id> <image>" of those left at the time-out
};
CRun RunToTheEnd(const std::string& commandLine, DWORD timeoutMs);

// The registry views: the program's own and the other bitness's.
constexpr REGSAM kView64 = KEY_WOW64_64KEY;
constexpr REGSAM kView32 = KEY_WOW64_32KEY;
#ifdef _WIN64
constexpr REGSAM kOwnView = kView64;
#else
constexpr REGSAM kOwnView = kView32;
#endif
// A 32-bit system has one view, which either flag opens.
bool HasTwoRegistryViews();
bool KeyExists(const char* subkey, REGSAM view);
// REG_SZ only; false when missing or of another type.
bool ReadString(const char* subkey, const char* name, REGSAM view, std::string* text);
// REG_DWORD only.
bool ReadDword(const char* subkey, const char* name, REGSAM view, DWORD* value);

// The service as the manager has it registered and running.
struct CServiceFacts {
    bool m_bRegistered = false;
    DWORD m_nStartType = 0;
    std::string m_strBinaryPath;
    std::string m_strAccount;
    DWORD m_nState = 0;
    DWORD m_nProcessId = 0;
};
CServiceFacts QueryService(const char* name);

// A shell link's target and working folder, read with IShellLink.
bool ReadShellLink(const std::string& link, std::string* target, std::string* workingFolder);

// The machine's state the leftovers are judged against: the temporary
// folder's names and the pending file operations of the next restart.
struct CStartState {
    Lines m_tempEntries;
    bool m_bPendingOperations = false;
};
CStartState ReadStartState();

// Names in the temporary folder that were not there at `start`.
Lines NewTempEntries(const CStartState& start);

// What a restart would do to files: Wine's wineboot carries out the file
// operations left for the next restart (PendingFileRenameOperations) when it
// runs, as Windows does while it starts. True when it ran to its end.
bool DoRestartFileOperations();

// Everything of ours still on the machine, each described in a line: the
// program folder, the Start-menu folder, the uninstall entry in either view,
// the service, processes from the program folder, the system directory's
// Proxylist.txt, and new entries in the temporary folder or pending file
// operations since `start`. The user's own Userproxy.txt is not among them.
Lines Leftovers(const CStartState& start);

// Removes whatever Leftovers would name, and Userproxy.txt: the registration
// stopped and deleted, the programs from the program folder ended by their
// ids, the files, folders and keys deleted, new temporary entries removed.
void RemoveLeftovers(const CStartState& start);

} // namespace sx_setup
