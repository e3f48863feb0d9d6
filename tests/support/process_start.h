// Starting the programs a test or a benchmark runs: peers, probes, the real
// programs, a setup. Every start goes through here because Wine's process
// creation once failed for no reason of ours on a busy machine: a start is
// tried up to three times before it counts as failed.
#pragma once

#include <windows.h>

#include <string>

#include "framework/handle.h"

struct CStartOptions {
    // The program file; empty: the first item of the command line.
    std::string m_strProgram;
    // The current folder of the new process; empty: this process's.
    std::string m_strFolder;
    // CreateProcess's creation flags, such as CREATE_SUSPENDED.
    DWORD m_nFlags = 0;
    // The child writes to this process's console streams.
    bool m_bInheritStdHandles = false;
    // "station\\desktop" the child's windows go to; empty: this process's.
    std::string m_strDesktop;
};

// A started process; both handles have this one owner.
struct CStartedProcess {
    UniqueHandle m_hProcess;
    UniqueHandle m_hThread;
    DWORD m_nId = 0;

    explicit operator bool() const { return static_cast<bool>(m_hProcess); }
};

// Empty when every try failed.
CStartedProcess StartProcess(const std::string& commandLine, const CStartOptions& options = {});

struct CRunOutcome {
    bool m_bStarted = false;
    // Ended within the time, with its exit code read.
    bool m_bEnded = false;
    DWORD m_nExitCode = 0;
};

// Starts the command line and waits for its end; a process still running after
// the time is ended by force (it is ours) and the run does not count as ended.
CRunOutcome RunToExit(const std::string& commandLine, DWORD timeoutMs,
                      const CStartOptions& options = {});
