// The help file beside the program, opened in the system's help viewer by the
// help button, the system menu's "Help" and F1; with no file, nothing opens.
#include <windows.h>

#include <algorithm>

#include "tests/e2e/app/help_viewer.h"
#include "tests/e2e/app/sulvantix_e2e_fixture.h"
#include "tests/support/message_pump.h"
#include "tools/standins/standin_ports.h"

namespace sx_e2e {
namespace {

const char kViewer[] = "hh.exe";

// Ends, by id, every viewer the program started for the test.
class CViewers {
public:
    explicit CViewers(DWORD parentId) : m_nParentId(parentId) {}
    ~CViewers() {
        for (DWORD id : ChildProcesses(m_nParentId, kViewer)) {
            EndChildProcess(m_nParentId, kViewer, id);
        }
    }
    CViewers(const CViewers&) = delete;
    CViewers& operator=(const CViewers&) = delete;

    // The one viewer started since the last call, once its command line names `file`.
    ::testing::AssertionResult WaitForViewerOf(const std::string& file) {
        DWORD found = 0;
        std::string commandLine;
        PumpMessagesUntil(
            [&] {
                const std::vector<DWORD> viewers = ChildProcesses(m_nParentId, kViewer);
                found = 0;
                for (DWORD id : viewers) {
                    if (std::find(m_seen.begin(), m_seen.end(), id) == m_seen.end()) {
                        found = id;
                        commandLine = ProcessCommandLine(id);
                    }
                }
                return found != 0 && !commandLine.empty();
            },
            20000);
        if (found == 0) {
            return ::testing::AssertionFailure() << "no " << kViewer << " started";
        }
        m_seen.push_back(found);
        EndChildProcess(m_nParentId, kViewer, found);
        if (!NamesFile(commandLine, file)) {
            return ::testing::AssertionFailure()
                   << kViewer << " runs as " << commandLine << ", not for " << file;
        }
        return ::testing::AssertionSuccess();
    }

    std::size_t Running() const { return ChildProcesses(m_nParentId, kViewer).size(); }

private:
    const DWORD m_nParentId;
    std::vector<DWORD> m_seen;
};

TEST_F(SulvantixE2e, OpensTheHelpFileBesideItFromTheButtonTheMenuAndF1) {
    Serve({Entry(standins::kFarmOk)});
    HWND main = StartProgram(m_app);
    ASSERT_NE(main, nullptr);
    CViewers viewers(m_app.Id());

    // Without the file the shell finds nothing to open, and the program says nothing.
    ASSERT_TRUE(Click(main, kIdHelp));
    EXPECT_TRUE(NoBoxFor(m_app, 2000));
    EXPECT_EQ(viewers.Running(), 0u);

    const std::string helpFile = Install().Path("Sulvantix.chm");
    ASSERT_TRUE(WriteSmallHelpFile(helpFile));
    ASSERT_TRUE(Click(main, kIdHelp));
    EXPECT_TRUE(viewers.WaitForViewerOf(helpFile)) << "help button";
    ASSERT_TRUE(::PostMessageA(main, WM_SYSCOMMAND, kHelpMenuItem, 0));
    EXPECT_TRUE(viewers.WaitForViewerOf(helpFile)) << "system menu item";
    ASSERT_TRUE(PressKey(main, VK_F1)) << "the window cannot be made the foreground window";
    EXPECT_TRUE(viewers.WaitForViewerOf(helpFile)) << "F1";
    EXPECT_EQ(viewers.Running(), 0u);

    EXPECT_TRUE(NoBoxFor(m_app, 500));
    EXPECT_TRUE(CloseQuietly(m_app, main));
}

} // namespace
} // namespace sx_e2e
