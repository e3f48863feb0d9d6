#include "framework/thread.h"

#include <process.h>

#include "framework/trace.h"

namespace {

struct StartBlock {
    std::function<UINT()> body;
};

unsigned __stdcall ThreadEntry(void* arg) {
    try {
        // The body moves onto this thread's stack at once, so a thread ended by
        // force leaks nothing of the start block.
        std::unique_ptr<StartBlock> block(static_cast<StartBlock*>(arg));
        std::function<UINT()> body = std::move(block->body);
        block.reset();
        return body ? body() : 0;
    } catch (...) {
        TraceText("Exception caught in worker thread");
    }
    return CWinThread::kThreadFailedExitCode;
}

} // namespace

bool CWinThread::IsRunning() const {
    return m_hThread && ::WaitForSingleObject(m_hThread.Get(), 0) == WAIT_TIMEOUT;
}

DWORD CWinThread::ExitCode() const {
    DWORD code = 0;
    if (!m_hThread || !::GetExitCodeThread(m_hThread.Get(), &code)) {
        return 0;
    }
    return code;
}

bool CWinThread::Wait(DWORD timeoutMs) const {
    return m_hThread && ::WaitForSingleObject(m_hThread.Get(), timeoutMs) == WAIT_OBJECT_0;
}

bool CWinThread::WaitToEnd(DWORD timeoutMs) const {
    return !IsCurrentThread() && Wait(timeoutMs);
}

bool CWinThread::ResumeThread() const {
    return m_hThread && ::ResumeThread(m_hThread.Get()) != static_cast<DWORD>(-1);
}

std::unique_ptr<CWinThread> AfxBeginThread(std::function<UINT()> body, int priority, UINT stackSize,
                                           DWORD createFlags) {
    try {
        auto block = std::make_unique<StartBlock>();
        block->body = std::move(body);
        unsigned id = 0;
        // Start suspended so the priority is set before the body runs.
        uintptr_t h =
            ::_beginthreadex(nullptr, stackSize, ThreadEntry, block.get(), CREATE_SUSPENDED, &id);
        if (h == 0) {
            return nullptr;
        }
        block.release(); // the thread owns it now
        std::unique_ptr<CWinThread> thread(new CWinThread(reinterpret_cast<HANDLE>(h), id));
        if (priority != THREAD_PRIORITY_NORMAL) {
            ::SetThreadPriority(thread->Handle(), priority);
        }
        if ((createFlags & CREATE_SUSPENDED) == 0) {
            thread->ResumeThread();
        }
        return thread;
    } catch (...) {
        TraceText("Exception caught in AfxBeginThread");
    }
    return nullptr;
}

std::unique_ptr<CWinThread> AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority,
                                           UINT stackSize, DWORD createFlags) {
    if (proc == nullptr) {
        return nullptr;
    }
    return AfxBeginThread([proc, param]() { return proc(param); }, priority, stackSize,
                          createFlags);
}
