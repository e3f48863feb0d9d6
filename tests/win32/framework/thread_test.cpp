// Worker threads: start, query while running, exit codes, the forced end
// after the wait, and containment of what a thread body throws.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>

#include "framework/handle.h"
#include "framework/thread.h"

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

UniqueHandle MakeEvent() {
    return UniqueHandle(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
}

TEST(WorkerThread, RunsReportsRunningAndThenItsExitCode) {
    UniqueHandle go = MakeEvent();
    HANDLE goHandle = go.Get();
    auto thread = AfxBeginThread([goHandle]() -> UINT {
        ::WaitForSingleObject(goHandle, 5000);
        return 7;
    });
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(thread->IsRunning());
    EXPECT_EQ(thread->ExitCode(), static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_FALSE(thread->IsCurrentThread());
    ::SetEvent(goHandle);
    ASSERT_TRUE(thread->Wait(5000));
    EXPECT_FALSE(thread->IsRunning());
    EXPECT_EQ(thread->ExitCode(), 7u);
}

UINT ClassicProc(LPVOID param) {
    auto* seen = static_cast<std::atomic<int>*>(param);
    seen->store(41);
    return 12;
}

TEST(WorkerThread, ClassicProcedureGetsItsParameter) {
    std::atomic<int> seen{0};
    auto thread = AfxBeginThread(ClassicProc, &seen);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(thread->Wait(5000));
    EXPECT_EQ(seen.load(), 41);
    EXPECT_EQ(thread->ExitCode(), 12u);
    EXPECT_EQ(AfxBeginThread(static_cast<AFX_THREADPROC>(nullptr), nullptr), nullptr);
}

TEST(WorkerThread, WaitToEndLeavesAnOverstayingThreadToFinishOnItsOwn) {
    UniqueHandle release = MakeEvent();
    HANDLE releaseHandle = release.Get();
    std::atomic<bool> finished{false};
    auto thread = AfxBeginThread([releaseHandle, &finished]() -> UINT {
        ::WaitForSingleObject(releaseHandle, INFINITE);
        finished = true;
        return 5;
    });
    ASSERT_NE(thread, nullptr);
    Clock::time_point start = Clock::now();
    EXPECT_FALSE(thread->WaitToEnd(100));
    long long elapsed = MsSince(start);
    EXPECT_GE(elapsed, 90);
    EXPECT_LT(elapsed, 3000);
    EXPECT_TRUE(thread->IsRunning()) << "never ended by force";
    ::SetEvent(releaseHandle);
    start = Clock::now();
    EXPECT_TRUE(thread->WaitToEnd(5000));
    EXPECT_LT(MsSince(start), 2000) << "returns as soon as the thread ends";
    EXPECT_TRUE(finished.load());
    EXPECT_EQ(thread->ExitCode(), 5u);
}

TEST(WorkerThread, WaitToEndOnItselfDoesNotWait) {
    std::unique_ptr<CWinThread> thread;
    std::atomic<int> answer{-1};
    thread = AfxBeginThread(
        [&thread, &answer]() -> UINT {
            Clock::time_point start = Clock::now();
            bool ended = thread->WaitToEnd(2000);
            answer = ended ? 1 : (MsSince(start) < 500 ? 0 : 2);
            return 11;
        },
        THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(thread->ResumeThread());
    ASSERT_TRUE(thread->Wait(5000));
    EXPECT_EQ(answer.load(), 0);
    EXPECT_EQ(thread->ExitCode(), 11u) << "the thread went on to its own end";
}

TEST(WorkerThread, SuspendedStartRunsNothingUntilResumed) {
    std::atomic<bool> ran{false};
    auto thread = AfxBeginThread(
        [&ran]() -> UINT {
            ran = true;
            return 0;
        },
        THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(thread, nullptr);
    EXPECT_FALSE(thread->Wait(50));
    EXPECT_FALSE(ran.load());
    ASSERT_TRUE(thread->ResumeThread());
    ASSERT_TRUE(thread->Wait(5000));
    EXPECT_TRUE(ran.load());
}

TEST(WorkerThread, PriorityIsSetBeforeTheBodyRuns) {
    std::atomic<int> seen{99};
    auto thread = AfxBeginThread(
        [&seen]() -> UINT {
            seen = ::GetThreadPriority(::GetCurrentThread());
            return 0;
        },
        THREAD_PRIORITY_BELOW_NORMAL);
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(thread->Wait(5000));
    EXPECT_EQ(seen.load(), THREAD_PRIORITY_BELOW_NORMAL);
}

TEST(WorkerThread, ThrownExceptionsStayInsideTheThread) {
    auto thread = AfxBeginThread([]() -> UINT { throw std::runtime_error("probe failed"); });
    ASSERT_NE(thread, nullptr);
    ASSERT_TRUE(thread->Wait(5000));
    EXPECT_EQ(thread->ExitCode(), CWinThread::kThreadFailedExitCode);
}

TEST(WorkerThread, DroppingTheOwnerLeavesTheThreadRunning) {
    UniqueHandle go = MakeEvent();
    UniqueHandle done = MakeEvent();
    HANDLE goHandle = go.Get();
    HANDLE doneHandle = done.Get();
    auto thread = AfxBeginThread([goHandle, doneHandle]() -> UINT {
        ::WaitForSingleObject(goHandle, 5000);
        ::SetEvent(doneHandle);
        return 0;
    });
    ASSERT_NE(thread, nullptr);
    thread.reset();
    ::SetEvent(goHandle);
    EXPECT_EQ(::WaitForSingleObject(doneHandle, 5000), WAIT_OBJECT_0);
}

} // namespace
