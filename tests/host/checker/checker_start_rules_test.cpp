#include "checker/checker_start_rules.h"

#include <gtest/gtest.h>

TEST(VettorMode, OnlyAStandardUserOnVistaOrLaterIsRelaunched) {
    EXPECT_EQ(ChooseVettorMode(false, true), VettorMode::Relaunch);
    EXPECT_EQ(ChooseVettorMode(true, true), VettorMode::Checker);
    // Windows XP and older: every user checks.
    EXPECT_EQ(ChooseVettorMode(false, false), VettorMode::Checker);
    EXPECT_EQ(ChooseVettorMode(true, false), VettorMode::Checker);
}

TEST(VettorMode, VistaOrLaterNeedsAnNtPlatformAtVersionSix) {
    EXPECT_TRUE(IsVistaOrLaterVersion(true, 2, 6));
    EXPECT_TRUE(IsVistaOrLaterVersion(true, 2, 10));
    EXPECT_FALSE(IsVistaOrLaterVersion(true, 2, 5));
    // Windows 9x reports platform 1.
    EXPECT_FALSE(IsVistaOrLaterVersion(true, 1, 6));
    // A failed query counts as older than Vista.
    EXPECT_FALSE(IsVistaOrLaterVersion(false, 2, 6));
}

TEST(VettorMode, WaitsForTheLaunchServiceOnlyWhenItIsNotRunning) {
    EXPECT_EQ(RelaunchServiceWaitMs(true), 0u);
    EXPECT_EQ(RelaunchServiceWaitMs(false), 90000u);
}

TEST(VettorMode, LinkedTokenCountsOnlyOnVistaOrLater) {
    EXPECT_TRUE(IsAdministratorFromTokens(true, false, 0, false));
    // An administrator whose process is not elevated.
    EXPECT_TRUE(IsAdministratorFromTokens(false, true, 6, true));
    EXPECT_FALSE(IsAdministratorFromTokens(false, true, 5, true));
    EXPECT_FALSE(IsAdministratorFromTokens(false, false, 6, true));
    EXPECT_FALSE(IsAdministratorFromTokens(false, true, 6, false));
}
