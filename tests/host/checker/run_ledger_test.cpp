#include "run_ledger.h"

#include <gtest/gtest.h>

TEST(RunLedger, CompletesWhenEveryProbeOfTheRunHasFinished) {
    CRunLedger ledger;
    const CRunLedger::RunId run = ledger.BeginRun(3);
    EXPECT_FALSE(ledger.IsComplete());
    EXPECT_TRUE(ledger.FinishProbe(run));
    EXPECT_TRUE(ledger.FinishProbe(run));
    EXPECT_FALSE(ledger.IsComplete());
    EXPECT_EQ(ledger.FinishedCount(), 2u);
    EXPECT_TRUE(ledger.FinishProbe(run));
    EXPECT_TRUE(ledger.IsComplete());
    EXPECT_EQ(ledger.EntryCount(), 3u);
}

TEST(RunLedger, RunWithoutEntriesIsCompleteAtOnce) {
    CRunLedger ledger;
    const CRunLedger::RunId run = ledger.BeginRun(0);
    EXPECT_TRUE(ledger.IsComplete());
    EXPECT_FALSE(ledger.FinishProbe(run));
    EXPECT_EQ(ledger.FinishedCount(), 0u);
}

TEST(RunLedger, WorkersOfAnEarlierRunNeitherCountNorWrite) {
    CRunLedger ledger;
    const CRunLedger::RunId first = ledger.BeginRun(2);
    EXPECT_TRUE(ledger.FinishProbe(first));
    const CRunLedger::RunId second = ledger.BeginRun(2);
    EXPECT_NE(first, second);
    EXPECT_FALSE(ledger.IsCurrent(first));
    // The first run's last worker ends during the second run.
    EXPECT_FALSE(ledger.FinishProbe(first));
    EXPECT_EQ(ledger.FinishedCount(), 0u);
    EXPECT_FALSE(ledger.IsComplete());
    EXPECT_TRUE(ledger.FinishProbe(second));
    EXPECT_TRUE(ledger.FinishProbe(second));
    EXPECT_TRUE(ledger.IsComplete());
}

TEST(RunLedger, NeverCountsBeyondTheEntriesOrForNoRun) {
    CRunLedger ledger;
    EXPECT_FALSE(ledger.FinishProbe(ledger.CurrentRun()));
    const CRunLedger::RunId run = ledger.BeginRun(1);
    EXPECT_TRUE(ledger.FinishProbe(run));
    EXPECT_FALSE(ledger.FinishProbe(run));
    EXPECT_EQ(ledger.FinishedCount(), 1u);
}
