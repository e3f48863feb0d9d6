#include "tests/support/message_pump.h"

namespace {

// How often `done` is asked when no message wakes the thread.
constexpr DWORD kPollMs = 10;

// False when a WM_QUIT came, which is posted again.
bool DispatchPending(MessageFilter filter) {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (filter == nullptr || !filter(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return true;
}

} // namespace

bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs, MessageFilter filter) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (!DispatchPending(filter)) {
            return done();
        }
        if (done()) {
            return true;
        }
        const DWORD elapsed = ::GetTickCount() - start;
        if (elapsed >= timeoutMs) {
            return false;
        }
        const DWORD left = timeoutMs - elapsed;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, left < kPollMs ? left : kPollMs,
                                    QS_ALLINPUT);
    }
}

void PumpMessagesFor(DWORD ms, MessageFilter filter) {
    PumpMessagesUntil([] { return false; }, ms, filter);
}
