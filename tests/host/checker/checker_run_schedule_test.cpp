#include "checker/checker_run_schedule.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

using Cause = CRunSchedule::Cause;
using Phase = CRunSchedule::Phase;

// What the dialog does for one cause: start a run when the rule says so.
bool Request(CRunSchedule& schedule, Cause cause) {
    if (!schedule.StartsRun(cause)) {
        return false;
    }
    schedule.LaunchBegan();
    return true;
}

} // namespace

TEST(RunSchedule, DialogStartsItsFirstRunAtOnce) {
    CRunSchedule schedule;
    EXPECT_EQ(schedule.CurrentPhase(), Phase::kIdle);
    EXPECT_TRUE(Request(schedule, Cause::kDialogStart));
    EXPECT_EQ(schedule.CurrentPhase(), Phase::kLaunching);
}

TEST(RunSchedule, TimerTickLetsARunStillLaunchingFinish) {
    CRunSchedule schedule;
    ASSERT_TRUE(Request(schedule, Cause::kDialogStart));
    EXPECT_FALSE(schedule.StartsRun(Cause::kRunTimer));
    EXPECT_EQ(schedule.CurrentPhase(), Phase::kLaunching);
}

TEST(RunSchedule, TickQueuedBehindALongLaunchFindsTheRunProbingAndLetsItFinish) {
    // The launch of a long list outlasts the period; the tick that waited for
    // it comes as soon as the launch returns.
    CRunSchedule schedule;
    ASSERT_TRUE(Request(schedule, Cause::kRunTimer));
    schedule.LaunchEnded();
    EXPECT_EQ(schedule.CurrentPhase(), Phase::kProbing);
    EXPECT_FALSE(Request(schedule, Cause::kRunTimer));
    EXPECT_EQ(schedule.CurrentPhase(), Phase::kProbing);
}

TEST(RunSchedule, NextTickAfterTheRunHasEndedStartsTheNextRun) {
    CRunSchedule schedule;
    ASSERT_TRUE(Request(schedule, Cause::kDialogStart));
    schedule.LaunchEnded();
    EXPECT_FALSE(Request(schedule, Cause::kRunTimer));
    schedule.RunEnded();
    EXPECT_EQ(schedule.CurrentPhase(), Phase::kIdle);
    EXPECT_TRUE(Request(schedule, Cause::kRunTimer));
    EXPECT_EQ(schedule.CurrentPhase(), Phase::kLaunching);
}

TEST(RunSchedule, OkCommandRestartsInEveryPhase) {
    CRunSchedule schedule;
    EXPECT_TRUE(schedule.StartsRun(Cause::kOkCommand));
    ASSERT_TRUE(Request(schedule, Cause::kDialogStart));
    EXPECT_TRUE(schedule.StartsRun(Cause::kOkCommand));
    schedule.LaunchEnded();
    EXPECT_TRUE(Request(schedule, Cause::kOkCommand));
    // The restarted run is launching again, so the timer still waits for it.
    EXPECT_EQ(schedule.CurrentPhase(), Phase::kLaunching);
    EXPECT_FALSE(schedule.StartsRun(Cause::kRunTimer));
}

TEST(RunSchedule, RunThatHasNotLaunchedYetCannotEnd) {
    // The completion check runs only once the launch is over; an early end
    // must not free the timer while entries are still being handed out.
    CRunSchedule schedule;
    ASSERT_TRUE(Request(schedule, Cause::kDialogStart));
    schedule.RunEnded();
    EXPECT_EQ(schedule.CurrentPhase(), Phase::kLaunching);
    EXPECT_FALSE(schedule.StartsRun(Cause::kRunTimer));
}

TEST(RunSchedule, LaunchEndWithoutALaunchLeavesTheScheduleIdle) {
    CRunSchedule schedule;
    schedule.LaunchEnded();
    EXPECT_EQ(schedule.CurrentPhase(), Phase::kIdle);
    EXPECT_TRUE(schedule.StartsRun(Cause::kRunTimer));
}

TEST(RunSchedule, EveryTickStartsARunWhileEachEndsWithinThePeriod) {
    CRunSchedule schedule;
    for (int run = 0; run < 5; ++run) {
        ASSERT_TRUE(Request(schedule, Cause::kRunTimer)) << run;
        schedule.LaunchEnded();
        schedule.RunEnded();
    }
    EXPECT_EQ(schedule.CurrentPhase(), Phase::kIdle);
}

TEST(ProbeGiveUp, ComesAFewSecondsAfterTheBound) {
    EXPECT_EQ(ProbeGiveUpMs(90000), 90000u + kProbeGiveUpGraceMs);
    EXPECT_EQ(ProbeGiveUpMs(3000), 3000u + kProbeGiveUpGraceMs);
    EXPECT_EQ(ProbeGiveUpMs(0), kProbeGiveUpGraceMs);
    // A few seconds: later than the library's time-out, well before the next
    // completion check but one.
    EXPECT_GE(kProbeGiveUpGraceMs, 2000u);
    EXPECT_LE(kProbeGiveUpGraceMs, 10000u);
}

TEST(ProbeGiveUp, LongestBoundDoesNotWrapToAnEarlyGiveUp) {
    EXPECT_EQ(ProbeGiveUpMs(UINT32_MAX), UINT32_MAX);
    EXPECT_EQ(ProbeGiveUpMs(UINT32_MAX - kProbeGiveUpGraceMs), UINT32_MAX);
    EXPECT_EQ(ProbeGiveUpMs(UINT32_MAX - kProbeGiveUpGraceMs - 1), UINT32_MAX - 1);
}
