// The application object and our WinMain, seen from outside: a probe program
// is started in several modes and its exit code says what ran.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/app.h"

namespace {

std::string ProbePath() {
    char path[MAX_PATH] = {0};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self(path, n);
    return self.substr(0, self.find_last_of('\\') + 1) + "framework_winmain_probe.exe";
}

// Exit code of the probe, or -2 when it did not end within the time.
long RunProbe(const std::string& mode) {
    std::string command = "\"" + ProbePath() + "\" " + mode;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                          &pi)) {
        return -3;
    }
    long result = -2;
    if (::WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0) {
        DWORD code = 0;
        ::GetExitCodeProcess(pi.hProcess, &code);
        result = static_cast<long>(code);
    } else {
        ::TerminateProcess(pi.hProcess, 1);
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return result;
}

TEST(ApplicationStart, FalseFromInitInstanceEndsWithoutALoop) {
    EXPECT_EQ(RunProbe("init-false"), 3);
}

TEST(ApplicationStart, TrueRunsTheLoopUntilQuitAndAnswersItsCode) {
    EXPECT_EQ(RunProbe("loop"), 5);
}

TEST(ApplicationStart, ModalMainWindowIsTheApplicationsMainWindow) {
    EXPECT_EQ(RunProbe("modal"), 40 + IDCANCEL);
}

TEST(ApplicationStart, NameAndInstanceComeFromTheProgramFile) {
    EXPECT_EQ(RunProbe("name"), 6);
}

TEST(ApplicationStart, ExceptionFromInitInstanceIsContained) {
    EXPECT_EQ(static_cast<DWORD>(RunProbe("throw")), 0xFFFFFFFFu);
}

TEST(ApplicationName, IsTheProgramFileNameWithoutExtension) {
    EXPECT_STREQ(AfxGetAppName(), "framework_app");
    EXPECT_EQ(AfxGetApp(), nullptr) << "a program without an application object";
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
    EXPECT_EQ(AfxGetInstanceHandle(), ::GetModuleHandleA(nullptr));
}

TEST(ApplicationObject, FirstConstructedIsTheApplication) {
    CWinApp first;
    CWinApp second;
    EXPECT_EQ(AfxGetApp(), &first);
    EXPECT_TRUE(first.InitInstance());
    EXPECT_EQ(first.ExitInstance(), 0);
}

TEST(MessagePump, PumpMessageHandlesOneAndStopsAtQuit) {
    ::PostThreadMessageA(::GetCurrentThreadId(), WM_NULL, 0, 0);
    EXPECT_TRUE(AfxPumpMessage());
    ::PostQuitMessage(4);
    EXPECT_FALSE(AfxPumpMessage());
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE))
        << "the quit request is kept for the loop that owns it";
    EXPECT_EQ(msg.wParam, 4u);
}

} // namespace
