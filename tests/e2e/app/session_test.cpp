// Anonymizing sessions of the real program on the real clock: the rotation
// through the list every 20 s with a reload at the wrap, and every way a
// session ends (Stop, closing the window, the end of the logon, a kill
// followed by the next start) giving the user's own settings back.
#include <windows.h>

#include "tests/e2e/app/sulvantix_e2e_fixture.h"
#include "tests/support/file_access.h"
#include "tests/support/message_pump.h"
#include "tools/standins/standin_ports.h"

namespace sx_e2e {
namespace {

using standins::kFarmOk;
using standins::kFarmPartial;
using standins::kFarmSlowPieces;
using standins::kFarmSplitBody;

std::string Joined(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += (text.empty() ? "" : ", ") + line;
    }
    return text;
}

using SulvantixSession = SulvantixE2e;

TEST_F(SulvantixSession, RotatesEveryTwentySecondsAndEveryEndGivesTheUsersSettingsBack) {
    Serve({Entry(kFarmSlowPieces), Entry(kFarmOk), Entry(kFarmPartial)});
    HWND main = StartProgram(m_app);
    ASSERT_NE(main, nullptr);
    const Lines listed = ListItems(main);
    ASSERT_EQ(listed, (Lines{Entry(kFarmOk), Entry(kFarmPartial), Entry(kFarmSlowPieces)}));
    ASSERT_EQ(ListSelection(main), 0);
    ASSERT_TRUE(SelectComboItem(main, kIdTimer, 0)); // "20 Sec"

    CProxyWatcher watcher;
    ASSERT_TRUE(Click(main, kIdStartStop));
    HWND box = m_app.WaitForMessageBox(20000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageText(box), kSettingsSaved);
    // A real Escape closes the box: the key reaches the program's windows.
    ASSERT_TRUE(PressKey(box, VK_ESCAPE)) << "the box cannot be made the foreground window";
    ASSERT_TRUE(PumpMessagesUntil([&] { return !::IsWindow(box); }, 5000))
        << "Escape does not reach the box";

    ASSERT_TRUE(watcher.WaitForLabels(2, 10000)) << "nothing applied";
    EXPECT_EQ(watcher.Labels()[1], listed[0]);
    // During the session only Start/Stop is usable, and the user's settings
    // are on disk in case the program dies.
    for (int id : {kIdAdd, kIdRemove, kIdVettor, kIdUpdate}) {
        EXPECT_FALSE(IsEnabled(main, id)) << id;
    }
    EXPECT_TRUE(IsEnabled(main, kIdStartStop));
    EXPECT_TRUE(FileExists(CrashRecordPath()));

    // Escape on the window itself does not close it nor end the session.
    ASSERT_TRUE(PressKey(main, VK_ESCAPE)) << "the window cannot be made the foreground window";
    ASSERT_TRUE(NoBoxFor(m_app, 1500));
    EXPECT_TRUE(m_app.IsRunning());
    EXPECT_TRUE(::IsWindowVisible(main));
    EXPECT_EQ(MachineProxyLabel(), listed[0]);

    // The checker's word during a session leaves the list as it is...
    const Lines next = {Entry(kFarmPartial), Entry(kFarmSplitBody)};
    ASSERT_TRUE(WriteWholeFile(SystemFile("Proxylist.txt"), ListBytes(next)));
    EXPECT_EQ(SendCheckerDone(), main);
    EXPECT_TRUE(NoBoxFor(m_app, 1000));
    EXPECT_EQ(ListItems(main), listed);

    // ... until the wrap after the last entry reloads the files.
    ASSERT_TRUE(watcher.WaitForLabels(5, 75000)) << Joined(watcher.Labels());
    const std::vector<CProxyWatcher::CChange> changes = watcher.Changes();
    EXPECT_EQ(watcher.Labels(), (Lines{kUserProxy, listed[0], listed[1], listed[2], next[0]}));
    for (std::size_t i = 2; i < changes.size(); ++i) {
        const DWORD gap = changes[i].m_nTick - changes[i - 1].m_nTick;
        EXPECT_GE(gap, 19000u) << "step " << i;
        EXPECT_LE(gap, 24000u) << "step " << i;
    }
    EXPECT_EQ(ListItems(main), next);
    EXPECT_EQ(ListSelection(main), 0);

    // Stop: the user's settings are back before the box says so.
    ASSERT_TRUE(Click(main, kIdStartStop));
    box = m_app.WaitForMessageBox(10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageText(box), kSettingOriginal);
    EXPECT_EQ(MachineProxyLabel(), kUserProxy);
    EXPECT_FALSE(FileExists(CrashRecordPath()));
    ASSERT_TRUE(ConfirmMessageBox(box));
    for (int id : {kIdAdd, kIdRemove, kIdVettor, kIdUpdate, kIdStartStop}) {
        EXPECT_TRUE(IsEnabled(main, id)) << id;
    }

    // A second session, ended by closing the window: the same box, then the end.
    const int selected = ListSelection(main);
    ASSERT_GE(selected, 0);
    const std::string resumed = ListItems(main)[static_cast<std::size_t>(selected)];
    ASSERT_TRUE(StartSession(main, resumed));
    // The watcher reads every 100 ms: it must have seen the session's proxy
    // before the close can take it away again.
    ASSERT_TRUE(watcher.WaitForLabels(7, 3000));
    ASSERT_TRUE(::PostMessageA(main, WM_CLOSE, 0, 0));
    box = m_app.WaitForMessageBox(10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageText(box), kSettingOriginal);
    EXPECT_EQ(MachineProxyLabel(), kUserProxy);
    EXPECT_TRUE(m_app.IsRunning());
    ASSERT_TRUE(ConfirmMessageBox(box));
    EXPECT_EQ(m_app.WaitForExit(10000), 0u);
    EXPECT_FALSE(FileExists(CrashRecordPath()));
    // Nothing in between: every change the machine saw, in order, once the
    // watcher has caught up with the last.
    watcher.WaitForLabels(8, 3000);
    EXPECT_EQ(watcher.Labels(), (Lines{kUserProxy, listed[0], listed[1], listed[2], next[0],
                                       kUserProxy, resumed, kUserProxy}));
}

TEST_F(SulvantixSession, TheEndOfTheLogonGivesTheUsersSettingsBackWithoutABox) {
    Serve({Entry(kFarmOk)});
    HWND main = StartProgram(m_app);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(StartSession(main, Entry(kFarmOk)));
    ASSERT_TRUE(FileExists(CrashRecordPath()));

    DWORD_PTR answer = 0;
    ASSERT_TRUE(::SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, 10000, &answer));
    EXPECT_EQ(MachineProxyLabel(), kUserProxy);
    EXPECT_FALSE(FileExists(CrashRecordPath()));
    EXPECT_TRUE(NoBoxFor(m_app, 2000));
    // Nothing is owed back any more: closing says nothing either.
    EXPECT_TRUE(CloseQuietly(m_app, main));
    EXPECT_EQ(MachineProxyLabel(), kUserProxy);
}

TEST_F(SulvantixSession, AfterAKillTheNextStartGivesTheUsersSettingsBackBeforeItShows) {
    const std::string served = Serve({Entry(kFarmOk)});
    HWND main = StartProgram(m_app);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(StartSession(main, Entry(kFarmOk)));
    ASSERT_TRUE(FileExists(CrashRecordPath()));

    m_app.Kill();
    ASSERT_FALSE(m_app.IsRunning());
    // A killed program puts nothing back.
    EXPECT_EQ(MachineProxyLabel(), Entry(kFarmOk));
    // Through the applied proxy every download would read "OK".
    const std::string download = Install().Path("Update\\Proxylist.txt");
    ASSERT_TRUE(::DeleteFileA(download.c_str()));
    const std::size_t viaApplied = LoggedRequestsWith(kFarmOk, "/Proxylist.txt");

    CSulvantixProcess next;
    main = StartProgram(next);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(MachineProxyLabel(), kUserProxy) << "the window shows before the recovery";
    EXPECT_FALSE(FileExists(CrashRecordPath()));
    // The start-up download came through the user's settings again.
    EXPECT_EQ(ReadWholeFile(download), served);
    EXPECT_EQ(LoggedRequestsWith(kFarmOk, "/Proxylist.txt"), viaApplied);
    EXPECT_TRUE(NoBoxFor(next, 1000));
    EXPECT_TRUE(CloseQuietly(next, main));
    EXPECT_EQ(MachineProxyLabel(), kUserProxy);
}

} // namespace
} // namespace sx_e2e
