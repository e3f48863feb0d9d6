// F1 in the real Sulvantix.exe, installed beside the built Sulvantix.chm,
// opens that file in the system's help viewer (hh.exe), whose window shows
// the help's title. Wine's viewer takes it from the caption of the help's
// default window and, without one, from the project's Title; both are the
// title here. Its topic pane stays blank with Wine's HTML engine left out.
#include <windows.h>

#include <cstdlib>
#include <string>

#include "tests/e2e/app/help_viewer.h"
#include "tests/e2e/app/sulvantix_e2e_fixture.h"
#include "tests/support/message_pump.h"
#include "tests/support/standins_env.h"
#include "tools/standins/standin_ports.h"

namespace sx_e2e {
namespace {

const char kViewer[] = "hh.exe";
const char kHelpTitle[] = "Sulvantix Help";

TEST_F(SulvantixE2e, F1OpensTheBuiltHelpFileInTheViewerUnderItsTitle) {
    const char* tree = std::getenv("SULVANTIX_BINARY_DIR");
    ASSERT_NE(tree, nullptr);
    const std::string helpFile = Install().Path("Sulvantix.chm");
    ASSERT_TRUE(
        ::CopyFileA(standins_env::WinePath(std::string(tree) + "/gui/app/Sulvantix.chm").c_str(),
                    helpFile.c_str(), FALSE))
        << "the built help file is missing";
    Serve({Entry(standins::kFarmOk)});
    HWND main = StartProgram(m_app);
    ASSERT_NE(main, nullptr);

    ASSERT_TRUE(PressKey(main, VK_F1)) << "the window cannot be made the foreground window";
    DWORD viewer = 0;
    std::string commandLine;
    PumpMessagesUntil(
        [&] {
            for (DWORD id : ChildProcesses(m_app.Id(), kViewer)) {
                viewer = id;
                commandLine = ProcessCommandLine(id);
            }
            return !commandLine.empty();
        },
        20000);
    ASSERT_NE(viewer, 0u) << "F1 started no " << kViewer;
    EXPECT_TRUE(NamesFile(commandLine, helpFile))
        << kViewer << " runs as " << commandLine << ", not for " << helpFile;

    EXPECT_NE(WaitForWindowTitled(viewer, kHelpTitle, 20000), nullptr)
        << kViewer << " shows no window titled \"" << kHelpTitle << "\"";
    EndChildProcess(m_app.Id(), kViewer, viewer);

    EXPECT_TRUE(NoBoxFor(m_app, 500));
    EXPECT_TRUE(CloseQuietly(m_app, main));
}

} // namespace
} // namespace sx_e2e
