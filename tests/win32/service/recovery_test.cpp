// The recovery at logon: a record left by a Sulvantix session that was cut
// off, with the machine still on the entry it applied. SulvantixRecover.exe
// puts the user's settings back when run by hand, and the service runs it at
// its start for the active session, with the user's own token only (Wine sends
// no logon notifications; the logon path runs the same session work).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "shared/session_record_options.h"
#include "tests/support/debug_output_capture.h"
#include "tests/support/message_pump.h"
#include "tests/support/process_start.h"
#include "tests/win32/service/service_test_support.h"

namespace {

const char kUserAddress[] = "127.0.0.1";
constexpr int kUserPort = 18114;
const char kUserProxy[] = "127.0.0.1:18114";
const char kEntryAddress[] = "127.0.0.1";
constexpr int kEntryPort = 18100;
const char kEntry[] = "127.0.0.1:18100";

std::string MachineServer() {
    return QueryCurrentProxy(SystemInternetOptions()).m_strServer;
}

// Runs the program and gives its exit code; -1 when it did not end.
int RunToEnd(const std::string& program) {
    CStartOptions options;
    options.m_strProgram = program;
    const CRunOutcome run = RunToExit("\"" + program + "\"", 30000, options);
    return run.m_bEnded ? static_cast<int>(run.m_nExitCode) : -1;
}

class RecoveryAtLogon : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(CSessionRecordStore::DefaultFolder().empty());
        ASSERT_TRUE(SaveProxyOptions(SystemInternetOptions(), machineBefore));
        CSessionRecord stale;
        ASSERT_EQ(store.Read(stale), CSessionRecordStore::ReadResult::None)
            << "a record of another run is in the way: " << store.Path();
        ASSERT_TRUE(CopyProgram(BuiltProgram("service/SulvantixRecover.exe"), RecoverPath()));
    }
    void TearDown() override {
        store.Remove();
        RestoreProxyOptions(SystemInternetOptions(), machineBefore);
        // The Vettor the service started for the test; the service itself is
        // stopped and deleted by the test.
        for (const DWORD id : ProcessesWithImage(installed.Path() + "Vettor.exe")) {
            EndProcessById(id);
        }
    }

    std::string RecoverPath() const { return installed.Path() + "SulvantixRecover.exe"; }

    // The user's own proxy, a session's record of it, and the machine left on
    // the entry the session applied, as a kill leaves them.
    void LeaveACutOffSession() {
        ASSERT_TRUE(ApplyProxy(SystemInternetOptions(), kUserAddress, kUserPort));
        CSavedProxyOptions user;
        ASSERT_TRUE(SaveProxyOptions(SystemInternetOptions(), user));
        ASSERT_TRUE(store.Write(SessionRecordOf(user, kEntry)));
        ASSERT_TRUE(ApplyProxy(SystemInternetOptions(), kEntryAddress, kEntryPort));
        ASSERT_EQ(MachineServer(), kEntry);
    }

    bool HasRecord() const {
        CSessionRecord record;
        return store.Read(record) != CSessionRecordStore::ReadResult::None;
    }

    CScratchFolder installed{"recovery"};
    CSessionRecordStore store{CSessionRecordStore::DefaultFolder()};
    CSavedProxyOptions machineBefore;
};

TEST_F(RecoveryAtLogon, RunByHandItPutsTheUsersSettingsBackOnce) {
    LeaveACutOffSession();
    EXPECT_EQ(RunToEnd(RecoverPath()), 1);
    EXPECT_EQ(MachineServer(), kUserProxy);
    EXPECT_FALSE(HasRecord());
    // Nothing left to do at the next logon.
    EXPECT_EQ(RunToEnd(RecoverPath()), 0);
    EXPECT_EQ(MachineServer(), kUserProxy);
}

TEST_F(RecoveryAtLogon, TheServiceRunsItAsTheUserAtItsStartAndForTheUninstaller) {
    ASSERT_TRUE(
        CopyProgram(BuiltProgram("service/RODerevAva.exe"), installed.Path() + "RODerevAva.exe"));
    ASSERT_TRUE(CopyProgram(BuiltProgram("checker/Vettor.exe"), installed.Path() + "Vettor.exe"));
    LeaveACutOffSession();

    const CDebugOutputCapture traces(CDebugOutputCapture::kAnyProcess);
    ASSERT_TRUE(traces.IsListening());
    CTestService service;
    ASSERT_EQ(service.Install(installed.Path() + "RODerevAva.exe"), "");
    EXPECT_TRUE(PumpMessagesUntil([] { return MachineServer() == kUserProxy; }, 20000))
        << MachineServer();
    EXPECT_FALSE(HasRecord());
    EXPECT_NE(WaitForProcessWithImage(installed.Path() + "Vettor.exe", 20000), 0u);
    // With the user's own token, never the service's.
    const std::string asUser = "RODerevAva: started " + RecoverPath() + " for session ";
    const auto runsAsUser = [&] {
        const std::vector<std::string> texts = traces.Texts();
        return std::count_if(texts.begin(), texts.end(), [&](const std::string& text) {
            return text.compare(0, asUser.size(), asUser) == 0 &&
                   text.find(" as the user's token, process ") != std::string::npos;
        });
    };
    EXPECT_EQ(runsAsUser(), 1) << ::testing::PrintToString(traces.Texts());

    // The uninstaller, elevated, has the service run it as the user too, and
    // the verb comes back once it has run.
    LeaveACutOffSession();
    CStartOptions options;
    options.m_strProgram = installed.Path() + "RODerevAva.exe";
    const CRunOutcome verb = RunToExit(
        "\"" + options.m_strProgram + "\" /recover-user " + kTestServiceName, 30000, options);
    EXPECT_TRUE(verb.m_bEnded && verb.m_nExitCode == 0) << verb.m_nExitCode;
    EXPECT_EQ(MachineServer(), kUserProxy);
    EXPECT_FALSE(HasRecord());
    EXPECT_EQ(runsAsUser(), 2) << ::testing::PrintToString(traces.Texts());
    EXPECT_TRUE(service.Stop());
    EXPECT_TRUE(service.Delete());
}

} // namespace
