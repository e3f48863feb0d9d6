// Helpers for the framework's window tests: pumping this thread's messages
// for a bounded time and building small dialog templates.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/app.h"
#include "framework/dialog_template.h"
#include "framework/wnd.h"
#include "tests/support/message_pump.h"

namespace fwtest {

// Handles this thread's messages, each seen by the framework first as its
// own loop lets it, until done() holds or the time is up; true when done() held.
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 2000) {
    return PumpMessagesUntil(done, static_cast<DWORD>(timeoutMs), AfxPreTranslateMessage);
}

// Handles whatever is pending now, and what it causes.
inline void PumpPending() {
    PumpMessagesFor(30, AfxPreTranslateMessage);
}

// Drops a stale WM_QUIT a test may have left behind.
inline void DrainQuit() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}

// A plain popup dialog template, 200 x 120 dialog units, with the shell font.
inline CDialogTemplate PopupTemplate(const std::string& title, bool visible = true) {
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT | DS_MODALFRAME;
    if (visible) {
        style |= WS_VISIBLE;
    }
    CDialogTemplate t(style, 0, 10, 10, 200, 120, title);
    t.SetFont(8, "MS Shell Dlg");
    return t;
}

} // namespace fwtest
