// Linked into every Windows test program: a crash ends the program with exit
// code 3. Under Wine a crash handed to its debugger can end the program with
// code 0 (seen once a test had made a window or a child process), which ctest
// would take for a pass.
#include <windows.h>

#include <cstdio>

namespace {

constexpr UINT kCrashExitCode = 3;

LONG WINAPI EndOnCrash(EXCEPTION_POINTERS* info) {
    std::fprintf(stderr, "crash %08lx\n",
                 static_cast<unsigned long>(info->ExceptionRecord->ExceptionCode));
    std::fflush(stderr);
    // Not ExitProcess: the crashed program's libraries must not run their
    // detach code.
    ::TerminateProcess(::GetCurrentProcess(), kCrashExitCode);
    return EXCEPTION_EXECUTE_HANDLER;
}

const LPTOP_LEVEL_EXCEPTION_FILTER g_previousFilter = ::SetUnhandledExceptionFilter(EndOnCrash);

} // namespace
