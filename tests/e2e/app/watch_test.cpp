// The watch on the proxy in force, on the real clock: a proxy that goes
// silent or resets is left within 45 s with its trace and the web works
// through the machine's settings again; a live one is never left early; a
// list of dead proxies is not spun through.
#include <windows.h>

#include <algorithm>
#include <string>

#include "gui/engine/url_fetch.h"
#include "tests/e2e/app/sulvantix_e2e_fixture.h"
#include "tests/support/debug_output_capture.h"
#include "tests/support/message_pump.h"
#include "tests/support/standins_env.h"
#include "tools/standins/standin_ports.h"

namespace sx_e2e {
namespace {

using standins::kClosedPort;
using standins::kFarmForbidden;
using standins::kFarmRelay;
using standins::kFarmReset;
using standins::kFarmSilent;

const char kMovedOn[] = " Proxy in force stopped answering, moving to the next ";
constexpr DWORD kDeadToSwitchMs = 45000;

std::size_t CountOf(const Lines& texts, const std::string& text) {
    return static_cast<std::size_t>(std::count(texts.begin(), texts.end(), text));
}

using SulvantixWatch = SulvantixE2e;

TEST_F(SulvantixWatch, ADeadProxyInForceIsLeftWithinFortyFiveSecondsAndALiveOneStays) {
    Serve({Entry(kFarmSilent), Entry(kFarmReset), Entry(kFarmRelay)});
    HWND main = StartProgram(m_app);
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(ListItems(main), (Lines{Entry(kFarmSilent), Entry(kFarmReset), Entry(kFarmRelay)}));
    // The longest period: only the watch moves this session on.
    ASSERT_TRUE(SelectComboItem(main, kIdTimer, 6)); // "2 Hrs"
    CDebugOutputCapture traces(m_app.Id());
    ASSERT_TRUE(traces.IsListening());
    CProxyWatcher watcher;
    ASSERT_TRUE(StartSession(main, Entry(kFarmSilent)));

    // Silent: two probes run to their bound. Resetting: the first is final.
    ASSERT_TRUE(watcher.WaitForLabels(4, 2 * kDeadToSwitchMs))
        << ::testing::PrintToString(watcher.Labels());
    const std::vector<CProxyWatcher::CChange> changes = watcher.Changes();
    EXPECT_EQ(watcher.Labels(),
              (Lines{kUserProxy, Entry(kFarmSilent), Entry(kFarmReset), Entry(kFarmRelay)}));
    EXPECT_LE(changes[2].m_nTick - changes[1].m_nTick, kDeadToSwitchMs);
    EXPECT_LE(changes[3].m_nTick - changes[2].m_nTick, 15000u) << "a reset needs no second look";
    // Each move leaves its trace before the step's own.
    const Lines texts = traces.Texts();
    EXPECT_EQ(CountOf(texts, kMovedOn), 2u);
    for (std::size_t i = 0; i + 1 < texts.size(); ++i) {
        if (texts[i] == kMovedOn) {
            EXPECT_EQ(texts[i + 1], "In ChangeIP()");
        }
    }
    // The web through the machine's settings works again: the relay fetches
    // the update server's list.
    const std::string url =
        "http://127.0.0.1:" + std::to_string(standins::kUpdateServerPort) + "/Proxylist.txt";
    EXPECT_EQ(FetchUrl(url, std::string(), false), "NO") << "the fetch failed";
    bool relayed = false;
    for (const std::vector<std::string>& request : standins_env::LoggedRequests(kFarmRelay)) {
        relayed = relayed || (!request.empty() && request[0] == "GET " + url + " HTTP/1.1");
    }
    EXPECT_TRUE(relayed) << "the fetch did not go through the relay";

    // The live relay stays: three more probes find it alive.
    EXPECT_TRUE(NoBoxFor(m_app, 35000));
    EXPECT_EQ(watcher.Labels().size(), 4u) << ::testing::PrintToString(watcher.Labels());
    EXPECT_EQ(CountOf(traces.Texts(), kMovedOn), 2u);

    ASSERT_TRUE(Click(main, kIdStartStop));
    EXPECT_TRUE(Acknowledge(m_app, kSettingOriginal));
    EXPECT_EQ(MachineProxyLabel(), kUserProxy);
    EXPECT_TRUE(CloseQuietly(m_app, main));
}

TEST_F(SulvantixWatch, AListOfDeadProxiesIsNotSpunThrough) {
    Serve({Entry(kClosedPort), Entry(kFarmForbidden), Entry(kFarmReset)});
    HWND main = StartProgram(m_app);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(SelectComboItem(main, kIdTimer, 1)); // "40 Sec"
    CProxyWatcher watcher;
    ASSERT_TRUE(StartSession(main, Entry(kClosedPort)));
    const DWORD started = ::GetTickCount();

    // Two periods. Each entry is refused, forbidden or reset at its first
    // probe, 5 s after its switch: a watch that went round again would make
    // a step every 5 s, 16 in all. One pass, a period's rest, the period's
    // switch and one more pass make 6.
    PumpMessagesFor(80000);
    std::size_t steps = 0;
    for (const CProxyWatcher::CChange& change : watcher.Changes()) {
        steps += change.m_nTick - started <= 80000 ? 1 : 0;
    }
    EXPECT_GE(steps, 4u) << ::testing::PrintToString(watcher.Labels());
    EXPECT_LE(steps, 7u) << ::testing::PrintToString(watcher.Labels());
    // The user's settings stay as the session left them until Stop.
    for (const std::string& label : watcher.Labels()) {
        EXPECT_NE(label, "direct");
    }
    ASSERT_TRUE(Click(main, kIdStartStop));
    EXPECT_TRUE(Acknowledge(m_app, kSettingOriginal));
    EXPECT_TRUE(CloseQuietly(m_app, main));
}

} // namespace
} // namespace sx_e2e
