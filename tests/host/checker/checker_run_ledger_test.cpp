#include "checker/checker_run_ledger.h"

#include <gtest/gtest.h>

#include <string>

TEST(RunLedger, CompletesWhenEveryProbeOfTheRunHasFinished) {
    CRunLedger ledger;
    ledger.BeginRun(3);
    const auto a = ledger.StartProbe("a", 0);
    const auto b = ledger.StartProbe("b", 100);
    const auto c = ledger.StartProbe("c", 200);
    EXPECT_FALSE(ledger.IsComplete());
    EXPECT_TRUE(ledger.FinishProbe(*b));
    EXPECT_TRUE(ledger.FinishProbe(*a));
    EXPECT_FALSE(ledger.IsComplete());
    EXPECT_EQ(ledger.FinishedCount(), 2u);
    EXPECT_TRUE(ledger.FinishProbe(*c));
    EXPECT_TRUE(ledger.IsComplete());
    EXPECT_EQ(ledger.OutstandingCount(), 0u);
}

TEST(RunLedger, RunWithoutEntriesIsCompleteAtOnce) {
    CRunLedger ledger;
    ledger.BeginRun(0);
    EXPECT_TRUE(ledger.IsComplete());
    EXPECT_TRUE(ledger.ExpireProbes(1000000, 1).empty());
}

TEST(RunLedger, WorkersOfAnEarlierRunNeitherCountNorWrite) {
    CRunLedger ledger;
    ledger.BeginRun(2);
    const auto early = ledger.StartProbe("x", 0);
    const auto late = ledger.StartProbe("y", 100);
    EXPECT_TRUE(ledger.FinishProbe(*early));
    ledger.BeginRun(2);
    const auto x = ledger.StartProbe("x", 200);
    // The first run's last worker ends during the second run.
    EXPECT_FALSE(ledger.FinishProbe(*late));
    EXPECT_EQ(ledger.FinishedCount(), 0u);
    EXPECT_TRUE(ledger.FinishProbe(*x));
    EXPECT_FALSE(ledger.IsComplete());
    const auto y = ledger.StartProbe("y", 300);
    EXPECT_TRUE(ledger.FinishProbe(*y));
    EXPECT_TRUE(ledger.IsComplete());
}

TEST(RunLedger, ProbeOutForTheBoundIsGivenUpAndItsLateAnswerDropped) {
    CRunLedger ledger;
    ledger.BeginRun(3);
    const auto quick = ledger.StartProbe("quick", 1000);
    const auto stuck = ledger.StartProbe("stuck", 1100);
    const auto slow = ledger.StartProbe("slow", 1200);
    EXPECT_TRUE(ledger.FinishProbe(*quick));

    EXPECT_TRUE(ledger.ExpireProbes(1000 + 89999, 90000).empty());
    const auto expired = ledger.ExpireProbes(1100 + 90000, 90000);
    ASSERT_EQ(expired.size(), 1u);
    EXPECT_EQ(expired[0]->Entry(), "stuck");
    EXPECT_EQ(ledger.FinishedCount(), 2u);
    EXPECT_FALSE(ledger.FinishProbe(*stuck));
    EXPECT_EQ(ledger.FinishedCount(), 2u);

    EXPECT_TRUE(ledger.FinishProbe(*slow));
    EXPECT_TRUE(ledger.IsComplete());
}

TEST(RunLedger, BoundIsMeasuredAcrossAWrapOfTheTick) {
    CRunLedger ledger;
    ledger.BeginRun(1);
    const std::uint32_t start = 0xFFFFF000u;
    ledger.StartProbe("wrapped", start);
    EXPECT_TRUE(ledger.ExpireProbes(start + 0x800u, 0x1000u).empty());
    EXPECT_EQ(ledger.ExpireProbes(start + 0x1000u, 0x1000u).size(), 1u);
    EXPECT_TRUE(ledger.IsComplete());
}

TEST(RunLedger, ProbeWithoutATicketStillCounts) {
    CRunLedger ledger;
    ledger.BeginRun(2);
    const auto started = ledger.StartProbe("a", 0);
    ledger.FinishUnticketedProbe();
    EXPECT_FALSE(ledger.IsComplete());
    EXPECT_TRUE(ledger.FinishProbe(*started));
    EXPECT_TRUE(ledger.IsComplete());
    ledger.FinishUnticketedProbe();
    EXPECT_EQ(ledger.FinishedCount(), 2u);
}

TEST(RunLedger, NeverCountsBeyondTheEntries) {
    CRunLedger ledger;
    ledger.BeginRun(1);
    const auto only = ledger.StartProbe("a", 0);
    // More workers than entries would be a fault of the caller; the count stays put.
    const auto extra = ledger.StartProbe("b", 0);
    EXPECT_TRUE(ledger.FinishProbe(*only));
    EXPECT_FALSE(ledger.FinishProbe(*extra));
    EXPECT_FALSE(ledger.FinishProbe(*only));
    EXPECT_EQ(ledger.FinishedCount(), 1u);
}
