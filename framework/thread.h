// Worker threads. AfxBeginThread starts one and answers its owner object; the
// owner can ask whether it still runs and for its exit code, and wait for its
// end. Nothing here ends a thread by force: one ended inside a library call
// (WinINet, the heap) can leave that library's locks held and hang the
// process, so a worker is asked to stop and, if it overstays, left to finish
// on its own. Dropping the owner only closes the handle; the thread runs on. Nothing the thread
// function throws leaves the thread: it is traced and the thread ends with kThreadFailedExitCode.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>

#include "framework/handle.h"

using AFX_THREADPROC = UINT (*)(LPVOID);

class CWinThread {
public:
    static constexpr DWORD kThreadFailedExitCode = 0xFFFFFFFFu;

    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    HANDLE Handle() const { return m_hThread.Get(); }
    DWORD ThreadId() const { return m_nThreadID; }
    bool IsCurrentThread() const { return ::GetCurrentThreadId() == m_nThreadID; }
    bool IsRunning() const;
    // The thread's exit code; STILL_ACTIVE while it runs.
    DWORD ExitCode() const;
    // True when the thread has ended within the time.
    bool Wait(DWORD timeoutMs) const;
    // Waits up to timeoutMs for the thread to end; true when it has. Called on
    // the thread itself it does not wait and answers false.
    bool WaitToEnd(DWORD timeoutMs) const;
    // For a thread started with CREATE_SUSPENDED.
    bool ResumeThread() const;

private:
    friend std::unique_ptr<CWinThread> AfxBeginThread(std::function<UINT()>, int, UINT, DWORD);
    CWinThread(HANDLE thread, DWORD id) : m_hThread(thread), m_nThreadID(id) {}

    UniqueHandle m_hThread;
    DWORD m_nThreadID;
};

// Null when the thread cannot be started. The flags take CREATE_SUSPENDED.
std::unique_ptr<CWinThread> AfxBeginThread(AFX_THREADPROC proc, LPVOID param,
                                           int priority = THREAD_PRIORITY_NORMAL,
                                           UINT stackSize = 0, DWORD createFlags = 0);
std::unique_ptr<CWinThread> AfxBeginThread(std::function<UINT()> body,
                                           int priority = THREAD_PRIORITY_NORMAL,
                                           UINT stackSize = 0, DWORD createFlags = 0);
