// Anonymizing sessions over farm proxies, on a scaled clock (50 ms to the
// second) except where a case says otherwise.
#include <gtest/gtest.h>

#include <chrono>

#include "resources/sulvantix/sulvantix_resource.h"
#include "tests/support/debug_output_capture.h"
#include "tests/win32/engine/engine_test_support.h"

namespace {

using Strings = std::vector<std::string>;

// The user's own settings: the relay proxy, through which the test file of
// the update stand-in is reachable (Start checks the network through them).
const char kUserProxy[] = "127.0.0.1:18114";

class Session : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(harness.Ready());
        ASSERT_TRUE(SetMachineProxy(PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY, kUserProxy));
    }
    void List(const std::string& text) {
        harness.WriteSystemFile("Proxylist.txt", text);
        ASSERT_GE(harness.Engine().LoadProxyLists(), 0);
    }
    bool WaitForApplies(std::size_t count, DWORD timeoutMs = 20000) {
        return PumpUntil([&] { return harness.Options().AppliedServers().size() >= count; },
                         timeoutMs);
    }
    bool Enabled(int id) const { return ::IsWindowEnabled(harness.Item(id)) != FALSE; }
    // The options of the last per-connection set of seven (a restore).
    std::vector<CRecordedOption> LastRestore() {
        std::vector<CRecordedOption> last;
        for (const CRecordedCall& call : harness.Options().Calls()) {
            if (call.m_kind == CRecordedCall::Kind::Set && call.m_options.size() == 7) {
                last = call.m_options;
            }
        }
        return last;
    }
    std::vector<CRecordedOption> FirstSave() {
        for (const CRecordedCall& call : harness.Options().Calls()) {
            if (call.m_kind == CRecordedCall::Kind::Query && call.m_options.size() == 7) {
                return call.m_options;
            }
        }
        return {};
    }
    static bool Same(const std::vector<CRecordedOption>& a, const std::vector<CRecordedOption>& b) {
        if (a.size() != b.size()) {
            return false;
        }
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i].m_nId != b[i].m_nId || a[i].m_nNumber != b[i].m_nNumber ||
                a[i].m_bHasText != b[i].m_bHasText || a[i].m_strText != b[i].m_strText) {
                return false;
            }
        }
        return true;
    }

    CEngineHarness harness;
};

TEST_F(Session, RotatesInListOrderSkipsWhatCannotBeAppliedWrapsWithAReloadAndStopRestoresAll) {
    List("127.0.0.1:18107\r\n127.0.0.1:18100\r\n127.0.0.1:18104\r\n");
    harness.Options().m_failServers.insert("127.0.0.1:18104");
    harness.SelectTimer(0); // "20 Sec": one second here
    const std::string record = harness.RecordFolder() + "\\SavedProxySettings.dat";
    CDebugOutputCapture capture;
    ASSERT_TRUE(capture.IsListening());

    harness.Click(IDC_START_STOP);
    EXPECT_EQ(harness.Window().m_messages, Strings{" Current Network settings saved"});
    EXPECT_EQ(harness.Engine().StartStopState(), "Stop Anonymizing");
    EXPECT_EQ(harness.Window().m_looks, std::vector<bool>{true});
    ASSERT_TRUE(WaitForApplies(1));
    // Group 2 is off for the session; Start/Stop stays usable.
    for (int id : {IDC_REMOVE, IDC_VETTOR, IDC_UPDATE, IDC_ADD}) {
        EXPECT_FALSE(Enabled(id)) << id;
    }
    EXPECT_TRUE(Enabled(IDC_START_STOP));
    EXPECT_EQ(MachineProxy().m_strServer, "127.0.0.1:18100");
    EXPECT_FALSE(harness.Read(record).empty()) << "the saved settings are on disk while applied";

    // A new entry appears in the file; the list shows it only after the wrap.
    harness.WriteSystemFile("Proxylist.txt",
                            "127.0.0.1:18107\r\n127.0.0.1:18100\r\n127.0.0.1:18104\r\n"
                            "127.0.0.1:18112\r\n");
    ASSERT_TRUE(WaitForApplies(2));
    harness.SelectTimer(1); // "40 Sec" from the next step on
    ASSERT_TRUE(WaitForApplies(5, 30000));
    harness.Click(IDC_START_STOP);

    // 18104 cannot be applied and is skipped within the step that met it.
    EXPECT_EQ(harness.Options().AppliedServers(),
              (Strings{"127.0.0.1:18100", "127.0.0.1:18107", "127.0.0.1:18100", "127.0.0.1:18107",
                       "127.0.0.1:18112"}));
    // A skipped entry sends the step round again from its very start.
    const Strings step = {"In ChangeIP()", " Calling CheckIfOnline(proxy , port, true)"};
    Strings fine = step, skipped = step;
    fine.push_back("CheckIfOnline Fine ");
    skipped.push_back("CheckIfOnline Error : Check For Next ");
    Strings expected;
    for (const Strings* part : {&fine, &skipped, &fine, &fine, &skipped, &fine, &fine}) {
        expected.insert(expected.end(), part->begin(), part->end());
    }
    Strings traced;
    for (const std::string& text : capture.Texts()) {
        if (text.find("ChangeIP") != std::string::npos ||
            text.find("CheckIfOnline") != std::string::npos) {
            traced.push_back(text);
        }
    }
    EXPECT_EQ(traced, expected);
    const std::vector<unsigned>& periods = harness.Window().m_rotationPeriods;
    ASSERT_EQ(periods.size(), 5u) << "one timer per applied entry";
    EXPECT_EQ(periods[0], 1000u);
    EXPECT_EQ(periods[1], 1000u);
    EXPECT_EQ(periods[4], 2000u);

    // Stop: the timer is gone, all seven options are back, group 2 is on.
    EXPECT_EQ(harness.Window().m_messages.back(), " Setting Original Proxy Settings ");
    EXPECT_TRUE(Same(LastRestore(), FirstSave()));
    EXPECT_EQ(MachineProxy().m_strServer, kUserProxy);
    EXPECT_EQ(harness.Engine().StartStopState(), "Start Anonymizing");
    EXPECT_FALSE(harness.Engine().IsAnonymizing());
    for (int id : {IDC_REMOVE, IDC_VETTOR, IDC_UPDATE, IDC_ADD, IDC_START_STOP}) {
        EXPECT_TRUE(Enabled(id)) << id;
    }
    EXPECT_TRUE(harness.Read(record).empty()) << "the record goes once the settings are back";
    PumpFor(2500);
    EXPECT_EQ(harness.Options().AppliedServers().size(), 5u) << "no step after Stop";
}

TEST_F(Session, ARotationStepOfflineOrWithNothingListedEndsTheSessionAndRestores) {
    List("127.0.0.1:18100\r\n127.0.0.1:18104\r\n");
    harness.SelectTimer(0);
    harness.Click(IDC_START_STOP);
    ASSERT_TRUE(WaitForApplies(1));
    harness.Options().m_nOnline = 0;
    ASSERT_TRUE(PumpUntil([&] { return !harness.Engine().IsAnonymizing(); }, 10000));
    EXPECT_EQ(harness.Window().m_messages,
              (Strings{" Current Network settings saved", " Please check your Network connection",
                       " Setting Original Proxy Settings "}));
    EXPECT_EQ(MachineProxy().m_strServer, kUserProxy);
    EXPECT_EQ(harness.Engine().StartStopState(), "Start Anonymizing");
    EXPECT_EQ(harness.Window().m_looks, (std::vector<bool>{true, false}));

    // Both list files go during a session: the wrap finds nothing to rotate.
    harness.Options().m_nOnline = -1;
    harness.Window().m_messages.clear();
    harness.Click(IDC_START_STOP);
    ASSERT_TRUE(WaitForApplies(2));
    ::DeleteFileA(harness.SystemFile("Proxylist.txt").c_str());
    ASSERT_TRUE(PumpUntil([&] { return !harness.Engine().IsAnonymizing(); }, 10000));
    EXPECT_EQ(harness.Window().m_messages,
              (Strings{" Current Network settings saved", " No Proxy in the Proxy list.",
                       " Setting Original Proxy Settings "}));
    EXPECT_EQ(MachineProxy().m_strServer, kUserProxy);
    EXPECT_FALSE(::IsWindowEnabled(harness.Item(IDC_START_STOP)));
}

TEST_F(Session, StartRefusesAnEmptyListAndEndsTheProgramOffline) {
    harness.Click(IDC_START_STOP);
    EXPECT_EQ(harness.Window().m_messages, Strings{" No Proxy in the Proxy list."});
    EXPECT_EQ(harness.Engine().StartStopState(), "Start Anonymizing");
    EXPECT_TRUE(harness.Options().Calls().empty()) << "the settings are not touched";

    // Offline: the test file cannot be fetched through the user's settings.
    List("127.0.0.1:18100\r\n");
    ASSERT_TRUE(SetMachineProxy(PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY, "127.0.0.1:18099"));
    harness.Window().m_messages.clear();
    harness.Click(IDC_START_STOP);
    EXPECT_EQ(harness.Window().m_messages, Strings{" Please check your Network connection"});
    EXPECT_EQ(harness.Window().m_nCloses, 1);
    EXPECT_FALSE(harness.Engine().IsAnonymizing());
    EXPECT_TRUE(harness.Options().AppliedServers().empty());

    // A save that fails: "Error1 " and the program quits; nothing is applied.
    ASSERT_TRUE(SetMachineProxy(PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY, kUserProxy));
    harness.Engine().OnStartStop(); // back to idle after the offline attempt
    harness.Options().m_bFailQueries = true;
    harness.Window().m_messages.clear();
    harness.Engine().OnStartStop();
    EXPECT_EQ(harness.Window().m_standardMessages, Strings{"Error1 "});
    EXPECT_GE(harness.Window().m_nQuits, 1);
    PumpFor(300);
    EXPECT_TRUE(harness.Options().AppliedServers().empty());
}

TEST_F(Session, ClosingDuringASessionRestoresBeforeTheWindowGoes) {
    List("127.0.0.1:18100\r\n");
    harness.Click(IDC_START_STOP);
    ASSERT_TRUE(WaitForApplies(1));
    harness.Engine().OnClose();
    EXPECT_EQ(MachineProxy().m_strServer, kUserProxy);
    EXPECT_EQ(harness.Window().m_messages.back(), " Setting Original Proxy Settings ");
    EXPECT_TRUE(harness.Engine().OnCancel());
    EXPECT_FALSE(harness.Engine().HasWorker());
}

// A stop that lands while the first step, past its last check, is about to
// apply: the apply must not happen after the restore.
TEST_F(Session, AStopLandingJustBeforeTheFirstApplyLeavesTheUsersSettings) {
    CDebugOutputCapture capture;
    ASSERT_TRUE(capture.IsListening());
    List("127.0.0.1:18100\r\n");
    // The worker traces "In ChangeIP()", passes its checks, then waits in its
    // next trace (" Calling CheckIfOnline...") until the hold is released.
    capture.HoldAfter("In ChangeIP()");
    harness.Click(IDC_START_STOP);
    ASSERT_TRUE(PumpUntil([&] { return capture.IsHolding(); }, 10000));
    PumpFor(300); // the worker's list reads go through
    const auto start = std::chrono::steady_clock::now();
    harness.Click(IDC_START_STOP);
    const auto stopMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count();
    capture.ReleaseHold();
    EXPECT_GE(stopMs, 450) << "the stop waited for the worker";
    EXPECT_LT(stopMs, 5000);
    PumpFor(1500);
    EXPECT_TRUE(harness.Options().AppliedServers().empty());
    EXPECT_EQ(MachineProxy().m_strServer, kUserProxy);
    EXPECT_EQ(harness.Window().m_messages,
              (Strings{" Current Network settings saved", " Setting Original Proxy Settings "}));
    EXPECT_TRUE(harness.Window().m_rotationPeriods.empty());
    ASSERT_TRUE(capture.Sync());
    const Strings traces = capture.Texts();
    EXPECT_NE(std::find(traces.begin(), traces.end(), " Calling CheckIfOnline(proxy , port, true)"),
              traces.end())
        << "the worker did reach its apply";
}

// The one case on the real clock: "20 Sec" is twenty seconds, and a switch to
// "2 Hrs" arms the next step's timer with 7200 s.
TEST(SessionOnTheRealClock, TwentySecondsBetweenEntriesAndTwoHoursFromTheNextStep) {
    CEngineHarness harness(std::string(), 1000);
    ASSERT_TRUE(harness.Ready());
    ASSERT_TRUE(SetMachineProxy(PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY, kUserProxy));
    harness.WriteSystemFile("Proxylist.txt", "127.0.0.1:18100\r\n127.0.0.1:18104\r\n");
    ASSERT_EQ(harness.Engine().LoadProxyLists(), 0);
    harness.SelectTimer(0);
    harness.Click(IDC_START_STOP);
    auto applied = [&](std::size_t n) { return harness.Options().AppliedServers().size() >= n; };
    // The step reads the choice after its apply: switch once its timer is armed.
    ASSERT_TRUE(PumpUntil([&] { return applied(1) && !harness.Window().m_rotationPeriods.empty(); },
                          10000));
    const auto first = std::chrono::steady_clock::now();
    harness.SelectTimer(6);
    ASSERT_TRUE(PumpUntil([&] { return applied(2); }, 30000));
    const auto seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - first).count();
    EXPECT_GE(seconds, 19.5);
    EXPECT_LT(seconds, 25.0);
    EXPECT_EQ(harness.Options().AppliedServers(), (Strings{"127.0.0.1:18100", "127.0.0.1:18104"}));
    EXPECT_EQ(harness.Window().m_rotationPeriods, (std::vector<unsigned>{20000u, 7200000u}));
    harness.Click(IDC_START_STOP);
    EXPECT_EQ(MachineProxy().m_strServer, kUserProxy);
}

} // namespace
