// The second way the checker's word reaches the main window: a checker in
// another session (a standard user's runs in the services' one) finds no
// window to send its message to and sets the link's checker-done event
// instead. The watch waits on that event on a thread of its own and posts
// the window the same message, so both ways end in one handler.
//
// Owned by the window object, started once the window exists, stopped (and
// its thread waited for) before the window goes.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/handle.h"
#include "framework/thread.h"

class CCheckerDoneWatch {
public:
    CCheckerDoneWatch() = default;
    ~CCheckerDoneWatch();
    CCheckerDoneWatch(const CCheckerDoneWatch&) = delete;
    CCheckerDoneWatch& operator=(const CCheckerDoneWatch&) = delete;

    // Waits on a copy of `doneEvent` and posts `message` (wParam and lParam
    // 0) to `window` each time it is set. False, and nothing started,
    // without the event or a thread.
    bool Start(HANDLE doneEvent, HWND window, UINT message);
    // Ends the wait and waits for the thread; a second Stop does nothing.
    void Stop();

private:
    UniqueHandle m_hDoneEvent;
    UniqueHandle m_hStopEvent;
    std::unique_ptr<CWinThread> m_pThread;
};
