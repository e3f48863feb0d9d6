#include "gui/app/checker_done_watch.h"

CCheckerDoneWatch::~CCheckerDoneWatch() {
    Stop();
}

bool CCheckerDoneWatch::Start(HANDLE doneEvent, HWND window, UINT message) {
    Stop();
    HANDLE copy = nullptr;
    if (doneEvent == nullptr ||
        !::DuplicateHandle(::GetCurrentProcess(), doneEvent, ::GetCurrentProcess(), &copy,
                           SYNCHRONIZE, FALSE, 0)) {
        return false;
    }
    m_hDoneEvent.Reset(copy);
    m_hStopEvent.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!m_hStopEvent) {
        m_hDoneEvent.Reset();
        return false;
    }
    // The handles stay with this object, which outlives the thread.
    const HANDLE waits[] = {m_hStopEvent.Get(), m_hDoneEvent.Get()};
    m_pThread = AfxBeginThread([waits, window, message]() -> UINT {
        while (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
            ::PostMessageA(window, message, 0, 0);
        }
        return 0;
    });
    if (!m_pThread) {
        m_hStopEvent.Reset();
        m_hDoneEvent.Reset();
        return false;
    }
    return true;
}

void CCheckerDoneWatch::Stop() {
    if (m_pThread) {
        ::SetEvent(m_hStopEvent.Get());
        // The thread only waits and posts: it ends at once.
        m_pThread->WaitToEnd(INFINITE);
        m_pThread.reset();
    }
    m_hStopEvent.Reset();
    m_hDoneEvent.Reset();
}
