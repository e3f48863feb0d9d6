#include "checker_process.h"

#include <cstdio>
#include <cstdlib>

#include "standins_env.h"

CCheckerProcess::~CCheckerProcess() {
    Close();
}

bool CCheckerProcess::Start(const std::string& programPath, bool captureTraces) {
    std::string commandLine = "\"" + programPath + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessA(programPath.c_str(), &commandLine[0], nullptr, nullptr, FALSE,
                          CREATE_SUSPENDED, nullptr, nullptr, &startup, &info)) {
        return false;
    }
    m_hProcess = UniqueHandle(info.hProcess);
    const UniqueHandle thread(info.hThread);
    m_nProcessId = info.dwProcessId;
    if (captureTraces) {
        m_pCapture = std::make_unique<CDebugOutputCapture>(m_nProcessId);
        if (!m_pCapture->IsListening()) {
            ::TerminateProcess(m_hProcess.Get(), 1);
            return false;
        }
    }
    return ::ResumeThread(thread.Get()) != static_cast<DWORD>(-1);
}

bool CCheckerProcess::IsRunning() const {
    return m_hProcess && ::WaitForSingleObject(m_hProcess.Get(), 0) == WAIT_TIMEOUT;
}

namespace {
struct CFindDialog {
    DWORD processId;
    const char* caption;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND hwnd, LPARAM param) {
    auto* search = reinterpret_cast<CFindDialog*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    char caption[64] = {};
    char className[64] = {};
    ::GetWindowTextA(hwnd, caption, sizeof caption);
    ::GetClassNameA(hwnd, className, sizeof className);
    if (owner == search->processId && std::string(caption) == search->caption &&
        std::string(className) == "#32770") {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND CCheckerProcess::FindDialog(const char* caption) const {
    CFindDialog search{m_nProcessId, caption, nullptr};
    ::EnumWindows(MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
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

std::string InstallCheckerCopy(const std::string& folder) {
    const char* binaryDir = std::getenv("SULVANTIX_BINARY_DIR");
    if (binaryDir == nullptr) {
        return std::string();
    }
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string built =
        standins_env::WinePath(std::string(binaryDir) + "/checker/Vettor.exe");
    const std::string copy = folder + "Vettor.exe";
    return ::CopyFileA(built.c_str(), copy.c_str(), FALSE) ? copy : std::string();
}

std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t count;
        while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            bytes.append(buffer, count);
        }
        std::fclose(file);
    }
    return bytes;
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}
