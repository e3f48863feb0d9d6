// Debugger-stream traces on Windows: one OutputDebugStringA call per text,
// so concurrent traces from several threads are never split.
#include "framework/trace.h"

#include <windows.h>

void TraceText(const char* text) {
    OutputDebugStringA(text != nullptr ? text : "");
}
