// When the watch probes the proxy in force and when it moves the session on.
#include <gtest/gtest.h>

#include "gui/engine/proxy_watch_rules.h"

namespace {

constexpr std::uint64_t kPeriod = 120000;

TEST(ProxyWatch, ProbesAfterEachSwitchAndMovesOnAfterTwoFailuresOrOneFinal) {
    CProxyWatchRules watch;
    EXPECT_EQ(watch.MsToNextProbe(0), CProxyWatchRules::kNever) << "nothing in force";
    watch.OnSwitch(1000);
    EXPECT_EQ(watch.MsToNextProbe(1000), 5000u);
    EXPECT_EQ(watch.MsToNextProbe(9000), 0u);

    // Alive, then the proxy dies: a silent one costs two probes that each
    // run to the bound, and is left 40 s after the good probe at the most.
    EXPECT_EQ(watch.OnProbe(WatchProbe::Alive, 6000, 6100, 3, kPeriod), WatchStep::Stay);
    EXPECT_EQ(watch.MsToNextProbe(6100), 14900u) << "15 s from the last probe's start";
    EXPECT_EQ(watch.OnProbe(WatchProbe::Failed, 21000, 31000, 3, kPeriod), WatchStep::Stay);
    EXPECT_EQ(watch.MsToNextProbe(31000), 5000u);
    EXPECT_EQ(watch.OnProbe(WatchProbe::Failed, 36000, 46000, 3, kPeriod), WatchStep::MoveOn);

    // A failure between two good probes is forgiven.
    watch.OnSwitch(50000);
    EXPECT_EQ(watch.OnProbe(WatchProbe::Failed, 55000, 56000, 3, kPeriod), WatchStep::Stay);
    EXPECT_EQ(watch.OnProbe(WatchProbe::Alive, 70000, 70100, 3, kPeriod), WatchStep::Stay);
    EXPECT_EQ(watch.OnProbe(WatchProbe::Failed, 85000, 86000, 3, kPeriod), WatchStep::Stay);
    // A refusal, a reset or an error page needs no second look.
    watch.OnSwitch(90000);
    EXPECT_EQ(watch.OnProbe(WatchProbe::FailedFinal, 95000, 95050, 3, kPeriod), WatchStep::MoveOn);

    // The session's end stops the probes.
    watch.OnSessionEnd();
    EXPECT_EQ(watch.MsToNextProbe(100000), CProxyWatchRules::kNever);
    // An answer that comes back after it changes nothing.
    EXPECT_EQ(watch.OnProbe(WatchProbe::FailedFinal, 95000, 100000, 3, kPeriod), WatchStep::Stay);
}

TEST(ProxyWatch, AFullPassOfDeadEntriesRestsForAPeriodInsteadOfSpinning) {
    CProxyWatchRules watch;
    std::uint64_t now = 0;
    const auto deadAfterSwitch = [&] {
        watch.OnSwitch(now);
        now += watch.MsToNextProbe(now);
        const std::uint64_t started = now;
        now += 50;
        return watch.OnProbe(WatchProbe::FailedFinal, started, now, 3, kPeriod);
    };
    EXPECT_EQ(deadAfterSwitch(), WatchStep::MoveOn);
    EXPECT_EQ(deadAfterSwitch(), WatchStep::MoveOn);
    // The third of three: every entry given up on, none alive in between.
    EXPECT_EQ(deadAfterSwitch(), WatchStep::Stay);
    EXPECT_TRUE(watch.IsResting(now));
    EXPECT_EQ(watch.MsToNextProbe(now), kPeriod);
    // The period's own switch during the rest is not probed before it ends.
    const std::uint64_t restEnds = now + kPeriod;
    now += 60000;
    watch.OnSwitch(now);
    EXPECT_EQ(watch.MsToNextProbe(now), restEnds - now);
    // After the rest the watch moves on again, and one live entry starts the
    // count of a pass anew.
    now = restEnds;
    EXPECT_EQ(watch.OnProbe(WatchProbe::FailedFinal, now, now + 50, 3, kPeriod), WatchStep::MoveOn);
    now += 100;
    watch.OnSwitch(now);
    EXPECT_EQ(watch.OnProbe(WatchProbe::Alive, now + 5000, now + 5050, 3, kPeriod),
              WatchStep::Stay);
    EXPECT_EQ(deadAfterSwitch(), WatchStep::MoveOn);
    EXPECT_EQ(deadAfterSwitch(), WatchStep::MoveOn);
    EXPECT_FALSE(watch.IsResting(now));
}

} // namespace
