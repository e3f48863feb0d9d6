// Host build: traces go to stderr in one write per text, so texts of
// concurrent threads interleave whole, as they do on the debugger stream.
#include "framework/trace.h"

#include <cstdio>
#include <cstring>

void TraceText(const char* text) {
    if (text == nullptr) {
        return;
    }
    std::fwrite(text, 1, std::strlen(text), stderr);
    std::fflush(stderr);
}
