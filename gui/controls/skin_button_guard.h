// The catch-all every CxSkinButton member runs under: nothing escapes into
// the system, the control stays usable, and the trace names the member.
#pragma once

#include "framework/trace.h"

template <class Body> void SkinButtonGuard(const char* trace, Body&& body) noexcept {
    try {
        body();
    } catch (...) {
        TraceText(trace);
    }
}
