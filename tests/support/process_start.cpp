#include "tests/support/process_start.h"

namespace {

constexpr int kStartTries = 3;
constexpr DWORD kRetryPauseMs = 500;

} // namespace

CStartedProcess StartProcess(const std::string& commandLine, const CStartOptions& options) {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    if (options.m_bInheritStdHandles) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
        startup.hStdOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
        startup.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    }
    std::string desktop = options.m_strDesktop;
    if (!desktop.empty()) {
        startup.lpDesktop = &desktop[0];
    }
    const char* program = options.m_strProgram.empty() ? nullptr : options.m_strProgram.c_str();
    const char* folder = options.m_strFolder.empty() ? nullptr : options.m_strFolder.c_str();
    CStartedProcess started;
    for (int attempt = 0; attempt < kStartTries; ++attempt) {
        if (attempt > 0) {
            ::Sleep(kRetryPauseMs);
        }
        // CreateProcessA may write into the command line it is given.
        std::string line = commandLine;
        PROCESS_INFORMATION info{};
        if (::CreateProcessA(program, &line[0], nullptr, nullptr,
                             options.m_bInheritStdHandles ? TRUE : FALSE, options.m_nFlags, nullptr,
                             folder, &startup, &info)) {
            started.m_hProcess.Reset(info.hProcess);
            started.m_hThread.Reset(info.hThread);
            started.m_nId = info.dwProcessId;
            break;
        }
    }
    return started;
}

CRunOutcome RunToExit(const std::string& commandLine, DWORD timeoutMs,
                      const CStartOptions& options) {
    CRunOutcome outcome;
    const CStartedProcess process = StartProcess(commandLine, options);
    outcome.m_bStarted = static_cast<bool>(process);
    if (!process) {
        return outcome;
    }
    if (::WaitForSingleObject(process.m_hProcess.Get(), timeoutMs) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.m_hProcess.Get(), 1);
        ::WaitForSingleObject(process.m_hProcess.Get(), 5000);
        return outcome;
    }
    outcome.m_bEnded =
        ::GetExitCodeProcess(process.m_hProcess.Get(), &outcome.m_nExitCode) != FALSE;
    return outcome;
}
