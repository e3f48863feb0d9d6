// The launch service under Wine's real service manager: the built programs
// installed side by side in a scratch folder, the service registered under a
// test-only name, and the processes it starts found by their image paths.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/handle.h"

// Not "RODerevAva": Vettor and Sulvantix ask for that one's status, and a
// registration left behind by a crashed run must not change what the link's
// own tests find.
constexpr char kTestServiceName[] = "RODerevAvaTest";

// A folder of its own in the prefix's temporary folder, ending in "\";
// removed with everything in it at the end.
class CScratchFolder {
public:
    explicit CScratchFolder(const std::string& tag);
    ~CScratchFolder();
    CScratchFolder(const CScratchFolder&) = delete;
    CScratchFolder& operator=(const CScratchFolder&) = delete;

    const std::string& Path() const { return m_strPath; }

private:
    std::string m_strPath;
};

// A program of the build, by its path under the build tree, as Wine sees it.
std::string BuiltProgram(const std::string& relativePath);
bool CopyProgram(const std::string& from, const std::string& to);

// Processes whose image is exactly this path, or lies in this folder.
std::vector<DWORD> ProcessesWithImage(const std::string& path);
std::vector<DWORD> ProcessesUnder(const std::string& folder);
// Waits until a process with the image runs; 0 when none came in time.
DWORD WaitForProcessWithImage(const std::string& path, DWORD timeoutMs);
// Ends the process by its id and waits for it to be gone.
bool EndProcessById(DWORD processId);

// The service registered from `programPath`, started, stopped and deleted.
class CTestService {
public:
    CTestService() = default;
    // Stops and deletes it when still registered.
    ~CTestService();
    CTestService(const CTestService&) = delete;
    CTestService& operator=(const CTestService&) = delete;

    // Removes a registration a crashed run left, registers and starts the
    // service, and waits until it reports running. Empty when it runs,
    // otherwise the step that failed and its error.
    std::string Install(const std::string& programPath);
    DWORD ProcessId() const { return m_nProcessId; }
    // The status the manager holds now.
    SERVICE_STATUS_PROCESS Status() const;
    // Stop control, then waits for the stopped state and the process's end.
    bool Stop();
    // Deletes the registration; true when the manager no longer knows it.
    bool Delete();

private:
    UniqueServiceHandle m_hManager;
    UniqueServiceHandle m_hService;
    DWORD m_nProcessId = 0;
};

// Makes `link` lead to `target` (a file, or a folder when `folder`): a
// Windows symbolic link where the system makes one, else, under Wine (whose
// CreateSymbolicLink answers success and makes nothing), a link of the unix
// file system, which Wine follows the same way. False when neither works.
bool MakeSymbolicLink(const std::string& link, const std::string& target, bool folder);
