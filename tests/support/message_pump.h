// Pumping this thread's messages while a test waits: its own windows must
// answer, and another program's SendMessage to them must return.
#pragma once

#include <windows.h>

#include <functional>

// Sees each message before it is translated and dispatched; true when it has
// handled the message, as the framework's AfxPreTranslateMessage answers.
using MessageFilter = bool (*)(MSG*);

// Handles this thread's messages until `done` answers true (true) or the time
// is up (false). A WM_QUIT ends the pumping and is posted again, for the loop
// it was meant for.
bool PumpMessagesUntil(const std::function<bool()>& done, DWORD timeoutMs,
                       MessageFilter filter = nullptr);

// Handles this thread's messages for the time: what is pending now and what
// that causes.
void PumpMessagesFor(DWORD ms, MessageFilter filter = nullptr);
