#include "tests/support/checker_process.h"

#include <cstdlib>

#include "tests/support/process_start.h"
#include "tests/support/process_windows.h"
#include "tests/support/standins_env.h"

CCheckerProcess::~CCheckerProcess() {
    Close();
}

bool CCheckerProcess::Start(const std::string& programPath, bool captureTraces,
                            const std::string& desktop) {
    CStartOptions options;
    options.m_strProgram = programPath;
    options.m_strDesktop = desktop;
    options.m_nFlags = CREATE_SUSPENDED;
    CStartedProcess started = StartProcess("\"" + programPath + "\"", options);
    if (!started) {
        return false;
    }
    m_hProcess = std::move(started.m_hProcess);
    m_nProcessId = started.m_nId;
    if (captureTraces) {
        m_pCapture = std::make_unique<CDebugOutputCapture>(m_nProcessId);
        if (!m_pCapture->IsListening()) {
            ::TerminateProcess(m_hProcess.Get(), 1);
            return false;
        }
    }
    return ::ResumeThread(started.m_hThread.Get()) != static_cast<DWORD>(-1);
}

bool CCheckerProcess::IsRunning() const {
    return m_hProcess && ::WaitForSingleObject(m_hProcess.Get(), 0) == WAIT_TIMEOUT;
}

HWND CCheckerProcess::FindDialog(const char* caption) const {
    return FindProcessWindow(
        m_nProcessId,
        [&](HWND dialog) {
            char text[64] = {};
            ::GetWindowTextA(dialog, text, sizeof text);
            return std::string(text) == caption;
        },
        "#32770");
}

std::vector<std::string> CCheckerProcess::Traces() const {
    return m_pCapture ? m_pCapture->Texts() : std::vector<std::string>();
}

bool CCheckerProcess::Close(DWORD timeoutMs) {
    if (!m_hProcess) {
        return true;
    }
    bool ended = !IsRunning();
    if (!ended) {
        if (HWND dialog = FindDialog()) {
            ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
        ended = ::WaitForSingleObject(m_hProcess.Get(), timeoutMs) == WAIT_OBJECT_0;
        if (!ended) {
            ::TerminateProcess(m_hProcess.Get(), 1);
            ::WaitForSingleObject(m_hProcess.Get(), 5000);
        }
    }
    m_hProcess = UniqueHandle();
    m_pCapture.reset();
    return ended;
}

std::string InstallCheckerCopy(const std::string& folder, const char* built) {
    const char* binaryDir = std::getenv("SULVANTIX_BINARY_DIR");
    if (binaryDir == nullptr) {
        return std::string();
    }
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string program =
        standins_env::WinePath(std::string(binaryDir) + "/checker/" + built);
    const std::string copy = folder + "Vettor.exe";
    return ::CopyFileA(program.c_str(), copy.c_str(), FALSE) ? copy : std::string();
}
