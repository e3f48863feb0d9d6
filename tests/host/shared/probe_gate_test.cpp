#include <gtest/gtest.h>

#include <thread>

#include "shared/probe_rules.h"

namespace {

using Expiry = probe::CProbeGate::Expiry;

TEST(ProbeGateOrder, WorkerThatSettlesFirstKeepsTheOutcome) {
    probe::CProbeGate gate;
    EXPECT_TRUE(gate.IsLive());
    EXPECT_TRUE(gate.Settle());
    EXPECT_EQ(gate.Expire(), Expiry::kSettled);
    EXPECT_EQ(gate.Expire(), Expiry::kSettled);
}

TEST(ProbeGateOrder, ExpiryBetweenCallsAbandonsAndSilencesTheWorker) {
    probe::CProbeGate gate;
    gate.EnterCall();
    EXPECT_TRUE(gate.LeaveCall());
    EXPECT_EQ(gate.Expire(), Expiry::kAbandoned);
    EXPECT_FALSE(gate.IsLive());
    EXPECT_FALSE(gate.Settle());
}

TEST(ProbeGateOrder, ExpiryInsideACallHandsTheCloseToTheCaller) {
    probe::CProbeGate gate;
    gate.EnterCall();
    EXPECT_EQ(gate.Expire(), Expiry::kCancelCall);
    // The cancelled call returns; the worker must not touch its handles again.
    EXPECT_FALSE(gate.LeaveCall());
    EXPECT_FALSE(gate.Settle());
}

TEST(ProbeGateOrder, OnlyTheFirstExpiryMayCancel) {
    probe::CProbeGate gate;
    gate.EnterCall();
    EXPECT_EQ(gate.Expire(), Expiry::kCancelCall);
    EXPECT_EQ(gate.Expire(), Expiry::kAbandoned);
}

TEST(ProbeGateOrder, ACallEnteredAfterExpiryIsNotCancellable) {
    probe::CProbeGate gate;
    EXPECT_EQ(gate.Expire(), Expiry::kAbandoned);
    gate.EnterCall();
    EXPECT_FALSE(gate.LeaveCall());
    EXPECT_EQ(gate.Expire(), Expiry::kAbandoned);
}

TEST(ProbeGateOrder, SettledWorkerIsNotCancelledEvenInsideACall) {
    probe::CProbeGate gate;
    ASSERT_TRUE(gate.Settle());
    gate.EnterCall();
    EXPECT_EQ(gate.Expire(), Expiry::kSettled);
}

// Races a worker against a caller's expiry many times: exactly one side owns
// the outcome, and a cancel handed out means the worker's open call reports
// the expiry when it returns.
TEST(ProbeGateRace, ExactlyOneSideDecides) {
    for (int round = 0; round < 2000; ++round) {
        probe::CProbeGate gate;
        bool settled = false;
        bool stoppedAfterCall = false;
        std::thread worker([&] {
            for (int step = 0; step < round % 7; ++step) {
                gate.EnterCall();
                std::this_thread::yield();
                if (!gate.LeaveCall()) {
                    stoppedAfterCall = true;
                    return;
                }
            }
            settled = gate.Settle();
        });
        if (round % 3 == 0) {
            std::this_thread::yield();
        }
        const Expiry expiry = gate.Expire();
        worker.join();
        EXPECT_EQ(settled, expiry == Expiry::kSettled) << "round " << round;
        if (expiry == Expiry::kCancelCall) {
            EXPECT_TRUE(stoppedAfterCall) << "round " << round;
        }
    }
}

} // namespace
