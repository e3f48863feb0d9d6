// Runs the real checker, Vettor.exe, from a folder of the test's choosing,
// capturing its debugger traces, and closes it again.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/handle.h"
#include "tests/support/debug_output_capture.h"

class CCheckerProcess {
public:
    CCheckerProcess() = default;
    // Closes the checker if it still runs.
    ~CCheckerProcess();
    CCheckerProcess(const CCheckerProcess&) = delete;
    CCheckerProcess& operator=(const CCheckerProcess&) = delete;

    // Starts the program (suspended until the trace capture listens when
    // `captureTraces`), on `desktop` ("station\\desktop") when one is given.
    // False when it cannot be started or captured.
    bool Start(const std::string& programPath, bool captureTraces = true,
               const std::string& desktop = std::string());

    DWORD Id() const { return m_nProcessId; }
    HANDLE Process() const { return m_hProcess.Get(); }
    bool IsRunning() const;
    // A top-level dialog window of this process with the caption; by default
    // the checker's own dialog.
    HWND FindDialog(const char* caption = "Vettor") const;

    // The traces captured so far, in order.
    std::vector<std::string> Traces() const;

    // Cancels the dialog and waits for the program to end; ends it by force
    // after the time. True when it ended by itself.
    bool Close(DWORD timeoutMs = 10000);

private:
    UniqueHandle m_hProcess;
    DWORD m_nProcessId = 0;
    std::unique_ptr<CDebugOutputCapture> m_pCapture;
};

// Copies the built checker, Vettor.exe or a test build of it such as
// VettorFastClock.exe, into `folder` (a Windows path ending in a backslash,
// created when missing) as Vettor.exe; the copy's path, or empty on failure.
std::string InstallCheckerCopy(const std::string& folder, const char* built = "Vettor.exe");
