// Diagnostic traces: one OutputDebugStringA call per text, never split, no
// line end added. Declared without Windows headers so portable callers can trace.
#pragma once

#include <string>

void TraceText(const char* text);
inline void TraceText(const std::string& text) {
    TraceText(text.c_str());
}
