// How the engine's worker threads reach the main window: the one way.
//
// Workers never touch a window, the machine's proxy options, the list files
// or the engine's window-side state themselves. Each such step is a call that
// the worker hands to the window's thread with Run: the window's thread runs
// it (a SendMessage to a message-only window of its own) while the worker
// waits, so the user sees messages and button changes in the order the
// worker makes them, and a worker showing a message waits for its OK as it
// would with a box of its own. On the window's thread Run simply calls.
//
// Every worker holds a ticket. Stopping a worker asks it to stop (its flags)
// and, if it is still running after the wait, releases its ticket on the
// window's thread: from then on each of its calls is dropped unrun (Run
// answers false) and the worker ends at its next check. A worker is never
// ended by force. Close drops every later call of every worker.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <memory>

class CWinThread;

// A worker's permission to act; released once on the window's thread.
class CWorkerTicket {
public:
    bool IsReleased() const { return m_bReleased.load(); }
    void Release() { m_bReleased = true; }

private:
    std::atomic<bool> m_bReleased{false};
};

class CWindowThreadCalls {
public:
    // Made on the window's thread, which must pump messages.
    CWindowThreadCalls();
    ~CWindowThreadCalls();
    CWindowThreadCalls(const CWindowThreadCalls&) = delete;
    CWindowThreadCalls& operator=(const CWindowThreadCalls&) = delete;

    bool IsWindowThread() const { return ::GetCurrentThreadId() == m_nThreadId; }
    // Runs `call` on the window's thread and answers true, or answers false
    // with the call dropped: the calling worker's ticket was released, or the
    // calls were closed. Nothing `call` throws leaves it.
    bool Run(const std::function<void()>& call);
    // Queues `call` for the window's thread and returns at once (a message
    // sent from another program is answered before its work is done).
    bool Post(std::function<void()> call);
    // From now on every call is dropped; the window's thread only.
    void Close();

    // The calling thread's ticket, if it is a worker.
    static CWorkerTicket* CurrentTicket();
    // True on a worker whose ticket was released: it must stop acting.
    static bool CurrentWorkerReleased();

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    const DWORD m_nThreadId;
    std::atomic<HWND> m_hWnd{nullptr};
    std::atomic<bool> m_bClosed{false};
};

// A worker thread with its ticket. The body runs with the ticket as the
// thread's own (CWindowThreadCalls::CurrentTicket).
class CEngineWorker {
public:
    CEngineWorker(const CEngineWorker&) = delete;
    CEngineWorker& operator=(const CEngineWorker&) = delete;
    ~CEngineWorker();

    // Null when the thread cannot be started.
    static std::unique_ptr<CEngineWorker> Start(std::function<void()> body);

    bool IsCurrentThread() const;
    bool IsRunning() const;
    // Waits up to timeoutMs; true when the worker has ended.
    bool WaitToEnd(DWORD timeoutMs) const;
    // Drops every later call of the worker; the window's thread only.
    void ReleaseTicket() { m_pTicket->Release(); }
    const CWorkerTicket* Ticket() const { return m_pTicket.get(); }

private:
    CEngineWorker() = default;

    std::shared_ptr<CWorkerTicket> m_pTicket;
    std::unique_ptr<CWinThread> m_pThread;
};
