#include "run_schedule.h"

#include <gtest/gtest.h>

#include <cstdint>

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
