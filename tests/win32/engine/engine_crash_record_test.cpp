// A session whose program is killed: the record it left puts the user's
// settings back at the next start, unless the user changed them since; a
// torn record changes nothing and is set aside.
#include <gtest/gtest.h>

#include "framework/module_paths.h"
#include "shared/session_record_options.h"
#include "tests/support/process_start.h"
#include "tests/win32/engine/engine_test_support.h"

namespace {

const char kUserProxy[] = "127.0.0.1:18114";
const char kEntry[] = "127.0.0.1:18100";

std::vector<CRecordedOption> SevenNow() {
    CRecordingOptions options;
    CSavedProxyOptions saved;
    SaveProxyOptions(options, saved);
    for (const CRecordedCall& call : options.Calls()) {
        if (call.m_options.size() == 7) {
            return call.m_options;
        }
    }
    return {};
}

bool SameOptions(const std::vector<CRecordedOption>& a, const std::vector<CRecordedOption>& b) {
    if (a.size() != 7 || b.size() != 7) {
        return false;
    }
    for (std::size_t i = 0; i < 7; ++i) {
        if (a[i].m_nId != b[i].m_nId || a[i].m_nNumber != b[i].m_nNumber ||
            a[i].m_bHasText != b[i].m_bHasText || a[i].m_strText != b[i].m_strText) {
            return false;
        }
    }
    return true;
}

class KilledSession : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(SetMachineProxy(PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY, kUserProxy));
        userSeven = SevenNow();
        ASSERT_EQ(userSeven.size(), 7u);
        lists.Write("Proxylist.txt", std::string(kEntry) + "\r\n");
    }
    void TearDown() override { SetMachineProxy(PROXY_TYPE_DIRECT, nullptr); }

    // Starts a session in another process and kills it once it has applied.
    void RunAndKill() {
        std::string command = "\"" + GetProgramDirectory() + "engine_session_host.exe\" \"" +
                              lists.Path() + "\" \"" + records.Path() + "\"";
        const CStartedProcess host = StartProcess(command);
        ASSERT_TRUE(host);
        const std::string applied = lists.File("applied.txt");
        const bool ready = PumpUntil(
            [&] {
                return !CScratchDir::Read(applied).empty() ||
                       ::WaitForSingleObject(host.m_hProcess.Get(), 0) == WAIT_OBJECT_0;
            },
            30000);
        ::TerminateProcess(host.m_hProcess.Get(), 9);
        ::WaitForSingleObject(host.m_hProcess.Get(), 10000);
        ASSERT_TRUE(ready);
        ASSERT_EQ(CScratchDir::Read(applied), kEntry);
    }

    CScratchDir lists;
    CScratchDir records;
    std::vector<CRecordedOption> userSeven;
};

TEST_F(KilledSession, TheNextStartPutsAllSevenOfTheUsersOptionsBack) {
    RunAndKill();
    // Killed while anonymizing: the machine is left on the public proxy.
    EXPECT_EQ(MachineProxy().m_strServer, kEntry);
    CSessionRecordStore store(records.Path());
    CSessionRecord record;
    ASSERT_EQ(store.Read(record), CSessionRecordStore::ReadResult::Valid);
    EXPECT_EQ(record.m_strAppliedEntry, kEntry);

    CRecordingOptions api;
    EXPECT_EQ(RecoverProxySettings(api, store), RecoveryOutcome::Restored);
    EXPECT_TRUE(SameOptions(SevenNow(), userSeven));
    EXPECT_EQ(MachineProxy().m_strServer, kUserProxy);
    EXPECT_EQ(store.Read(record), CSessionRecordStore::ReadResult::None);
    // A second start finds nothing to do.
    EXPECT_EQ(RecoverProxySettings(api, store), RecoveryOutcome::NoRecord);
}

TEST_F(KilledSession, SettingsTheUserChangedSinceAreLeftAlone) {
    RunAndKill();
    ASSERT_TRUE(SetMachineProxy(PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY, "user.changed.example:8080"));
    CSessionRecordStore store(records.Path());
    CRecordingOptions api;
    EXPECT_EQ(RecoverProxySettings(api, store), RecoveryOutcome::UserChanged);
    EXPECT_EQ(MachineProxy().m_strServer, "user.changed.example:8080");
    CSessionRecord record;
    EXPECT_EQ(store.Read(record), CSessionRecordStore::ReadResult::None);
    for (const CRecordedCall& call : api.Calls()) {
        EXPECT_NE(call.m_kind, CRecordedCall::Kind::Set) << "nothing is written";
    }
}

TEST_F(KilledSession, ATornRecordChangesNothingAndIsSetAside) {
    RunAndKill();
    CSessionRecordStore store(records.Path());
    const std::string whole = CScratchDir::Read(store.Path());
    ASSERT_GT(whole.size(), 20u);
    records.Write("SavedProxySettings.dat", whole.substr(0, whole.size() / 2));
    CRecordingOptions api;
    EXPECT_EQ(RecoverProxySettings(api, store), RecoveryOutcome::SetAside);
    EXPECT_TRUE(api.Calls().empty()) << "the settings are neither read nor written";
    EXPECT_EQ(MachineProxy().m_strServer, kEntry);
    CSessionRecord record;
    EXPECT_EQ(store.Read(record), CSessionRecordStore::ReadResult::None);
    bool setAside = false;
    for (const auto& entry : std::filesystem::directory_iterator(records.Path())) {
        setAside = setAside ||
                   entry.path().filename().string().rfind("SavedProxySettings.dat.bad-", 0) == 0;
    }
    EXPECT_TRUE(setAside);
}

} // namespace
