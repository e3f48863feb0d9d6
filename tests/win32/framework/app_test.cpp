// The application object and our WinMain, seen from outside: a probe program
// is started in several modes and its exit code says what ran.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "framework/app.h"
#include "tests/support/process_start.h"

namespace {

std::string ProbePath() {
    char path[MAX_PATH] = {0};
    DWORD n = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string self(path, n);
    return self.substr(0, self.find_last_of('\\') + 1) + "framework_winmain_probe.exe";
}

// Exit code of the probe; -3 when it could not start, -2 when it did not end
// within the time.
long RunProbe(const std::string& mode) {
    const CRunOutcome run = RunToExit("\"" + ProbePath() + "\" " + mode, 20000);
    return run.m_bEnded ? static_cast<long>(run.m_nExitCode) : run.m_bStarted ? -2 : -3;
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
