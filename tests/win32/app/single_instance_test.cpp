// The single-instance guard against the real kernel objects: its named
// objects, a later start in another process, the slot's length limit, a stop
// that comes while WakeUp runs, the default WakeUp before there is a window,
// and a guard whose mapping cannot be made.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/app.h"
#include "framework/handle.h"
#include "framework/thread.h"
#include "framework/wnd.h"
#include "gui/app/single_instance.h"
#include "gui/app/single_instance_data.h"
#include "tests/support/process_start.h"

namespace {

using Clock = std::chrono::steady_clock;

long long MsBetween(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

std::string UniqueId(const char* name) {
    return std::string("SxSingleInstanceTest-") + name + "-" +
           std::to_string(::GetCurrentProcessId());
}

// What the wait thread did, kept apart from the guard so it can still be read
// once the guard is gone.
struct WakeLog {
    std::mutex lock;
    std::condition_variable changed;
    int entered = 0;
    std::vector<std::string> texts; // one per finished WakeUp
    std::vector<BOOL> answers;
    std::vector<DWORD> threads;
    Clock::time_point lastLeft;

    bool WaitFor(std::size_t finished) {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, std::chrono::seconds(10),
                                [&] { return texts.size() >= finished; });
    }
    bool WaitForEntered(int count) {
        std::unique_lock<std::mutex> guard(lock);
        return changed.wait_for(guard, std::chrono::seconds(10), [&] { return entered >= count; });
    }
};

class CRecordingGuard : public CSingleInstance {
public:
    CRecordingGuard(std::shared_ptr<WakeLog> log, DWORD delayMs = 0, bool callDefault = false)
        : m_log(std::move(log)), m_delayMs(delayMs), m_bCallDefault(callDefault) {}
    ~CRecordingGuard() override { Close(); }

    BOOL WakeUp(const char* commandLine) override {
        {
            std::lock_guard<std::mutex> guard(m_log->lock);
            ++m_log->entered;
        }
        m_log->changed.notify_all();
        ::Sleep(m_delayMs);
        const BOOL answer = m_bCallDefault ? CSingleInstance::WakeUp(commandLine) : TRUE;
        {
            std::lock_guard<std::mutex> guard(m_log->lock);
            m_log->texts.push_back(commandLine);
            m_log->answers.push_back(answer);
            m_log->threads.push_back(::GetCurrentThreadId());
            m_log->lastLeft = Clock::now();
        }
        m_log->changed.notify_all();
        return answer;
    }

private:
    std::shared_ptr<WakeLog> m_log;
    DWORD m_delayMs;
    bool m_bCallDefault;
};

// A wake as a later start makes it, but set rather than pulsed, so it waits
// for the thread however late the thread comes to its wait.
void SetWakeEvent(const std::string& id) {
    UniqueHandle wake(::OpenEventA(EVENT_MODIFY_STATE, FALSE, (id + "-Event").c_str()));
    ASSERT_TRUE(wake);
    ASSERT_TRUE(::SetEvent(wake.Get()));
}

std::string PeerPath() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string text(path, length < MAX_PATH ? length : 0);
    return text.substr(0, text.find_last_of("\\/") + 1) + "single_instance_peer.exe";
}

// The peer's whole command line, padded to exactly `length` characters.
std::string PeerCommandLine(const std::string& id, std::size_t length) {
    std::string line = "\"" + PeerPath() + "\" " + id + " ";
    EXPECT_LT(line.size(), length);
    line.resize(length, 'x');
    return line;
}

// The peer's exit code, or -1 when it could not run or overstayed (a peer hung
// in its guard's destructor is ours to end).
int RunPeer(const std::string& commandLine) {
    const CRunOutcome run = RunToExit(commandLine, 10000);
    return run.m_bEnded ? static_cast<int>(run.m_nExitCode) : -1;
}

TEST(SingleInstance, NamedObjectsLiveWithTheFirstInstanceAndVanishAfterIt) {
    const std::string id = UniqueId("objects");
    // A mapping left with text before the guard starts: opened, then zeroed.
    UniqueHandle before(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 256,
                                             (id + "-Data-Mapping-File").c_str()));
    ASSERT_TRUE(before);
    char* view = static_cast<char*>(::MapViewOfFile(before.Get(), FILE_MAP_WRITE, 0, 0, 256));
    ASSERT_NE(view, nullptr);
    std::memset(view, 'o', 256);

    auto guard = std::make_unique<CSingleInstance>();
    ASSERT_TRUE(guard->Create(id.c_str()));
    UniqueHandle wake(::OpenEventA(SYNCHRONIZE, FALSE, (id + "-Event").c_str()));
    UniqueHandle mapping(
        ::OpenFileMappingA(FILE_MAP_READ, FALSE, (id + "-Data-Mapping-File").c_str()));
    UniqueHandle mutex(::OpenMutexA(SYNCHRONIZE, FALSE, (id + "-Data-Mapping-Mutex").c_str()));
    EXPECT_TRUE(wake);
    EXPECT_TRUE(mapping);
    EXPECT_TRUE(mutex);
    EXPECT_EQ(std::string(view, 256), std::string(256, '\0'));
    // Not left owned: another thread takes it at once.
    DWORD taken = WAIT_FAILED;
    std::thread([&] {
        taken = ::WaitForSingleObject(mutex.Get(), 0);
        ::ReleaseMutex(mutex.Get());
    }).join();
    EXPECT_EQ(taken, WAIT_OBJECT_0);

    ::UnmapViewOfFile(view);
    before.Reset();
    wake.Reset();
    mapping.Reset();
    mutex.Reset();
    guard.reset();
    for (const char* suffix : {"-Event", "-Data-Mapping-File", "-Data-Mapping-Mutex"}) {
        HANDLE left = ::OpenMutexA(SYNCHRONIZE, FALSE, (id + suffix).c_str());
        const DWORD error = ::GetLastError();
        UniqueHandle owner(left);
        EXPECT_FALSE(owner) << suffix;
        // Any object of that name would answer a type mismatch instead.
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND)) << suffix;
    }
    // Nothing left over: the next start is the first again.
    EXPECT_EQ(RunPeer(PeerCommandLine(id, 200)), 1);
}

TEST(SingleInstance, LaterStartAnswersFalseAndHandsItsCommandLineToTheFirst) {
    const std::string id = UniqueId("later");
    auto log = std::make_shared<WakeLog>();
    CRecordingGuard first(log);
    ASSERT_TRUE(first.Create(id.c_str()));

    const std::string longest = PeerCommandLine(id, 255);
    ASSERT_EQ(RunPeer(longest), 0);
    ASSERT_TRUE(log->WaitFor(1));
    // 256 characters do not fit with their zero: the slot keeps the zeros
    // the later start wrote at its construction.
    ASSERT_EQ(RunPeer(PeerCommandLine(id, 256)), 0);
    ASSERT_TRUE(log->WaitFor(2));
    ASSERT_EQ(RunPeer(PeerCommandLine(id, 1000)), 0);
    ASSERT_TRUE(log->WaitFor(3));

    std::lock_guard<std::mutex> lock(log->lock);
    EXPECT_EQ(log->texts, (std::vector<std::string>{longest, "", ""}));
    EXPECT_NE(log->threads[0], ::GetCurrentThreadId());
}

TEST(SingleInstance, SlotTakesTextsBelow256CharactersAndIsSharedByName) {
    const std::string id = UniqueId("slot");
    CSingleInstanceData one(id);
    ASSERT_TRUE(one.HasSlot());
    const std::string fits(255, 'f');
    one.SetValue(fits.c_str());
    CSingleInstanceData two(id);
    EXPECT_EQ(one.GetValue(), "") << "construction zeroes the shared slot";
    two.SetValue(fits.c_str());
    EXPECT_EQ(one.GetValue(), fits);
    one.SetValue(std::string(256, 'g').c_str());
    EXPECT_EQ(two.GetValue(), fits) << "a text too long leaves the slot as it was";
}

TEST(SingleInstance, StopThatComesDuringASlowWakeUpIsNotLost) {
    const std::string id = UniqueId("stop");
    auto log = std::make_shared<WakeLog>();
    auto* guard = new CRecordingGuard(log, 300);
    ASSERT_TRUE(guard->Create(id.c_str()));
    SetWakeEvent(id);
    ASSERT_TRUE(log->WaitForEntered(1));

    // Destroyed on a thread of its own, so a stop that is lost shows as a
    // time-out here rather than a hung test.
    auto finishedAtReturn = std::make_shared<std::atomic<std::size_t>>(99);
    auto destroyer = AfxBeginThread([guard, log, finishedAtReturn]() -> UINT {
        delete guard;
        std::lock_guard<std::mutex> lock(log->lock);
        *finishedAtReturn = log->texts.size();
        return 0;
    });
    ASSERT_NE(destroyer, nullptr);
    if (!destroyer->Wait(5000)) {
        // The guard and its thread are left to the process's end.
        FAIL() << "the destructor did not return: the stop was lost while WakeUp ran";
    }
    const Clock::time_point returned = Clock::now();
    EXPECT_EQ(finishedAtReturn->load(), 1u) << "the destructor returned before WakeUp ended";
    std::lock_guard<std::mutex> lock(log->lock);
    EXPECT_LT(MsBetween(log->lastLeft, returned), 1000);
}

TEST(SingleInstance, DefaultWakeUpBringsTheMainWindowOnlyOnceThereIsOne) {
    CWinApp app;
    ASSERT_EQ(AfxGetApp(), &app);
    const std::string id = UniqueId("default");
    auto log = std::make_shared<WakeLog>();
    CRecordingGuard guard(log, 0, true);
    ASSERT_TRUE(guard.Create(id.c_str()));

    // A later start during start-up: no main window yet.
    SetWakeEvent(id);
    ASSERT_TRUE(log->WaitFor(1));
    CWnd noWindowYet;
    app.m_pMainWnd = &noWindowYet;
    SetWakeEvent(id);
    ASSERT_TRUE(log->WaitFor(2));

    HWND hwnd = ::CreateWindowExA(0, "STATIC", "main", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    CWnd mainWindow(hwnd);
    app.m_pMainWnd = &mainWindow;
    SetWakeEvent(id);
    ASSERT_TRUE(log->WaitFor(3));
    guard.Close();
    app.m_pMainWnd = nullptr;
    const HWND foreground = ::GetForegroundWindow();
    ::DestroyWindow(hwnd);

    EXPECT_EQ(log->answers, (std::vector<BOOL>{0, 0, TRUE}));
    EXPECT_EQ(foreground, hwnd);
}

TEST(SingleInstance, WithoutItsMappingTheGuardStillDecidesOnTheEvent) {
    const std::string id = UniqueId("nomapping");
    // Another kind of object under the mapping's name: CreateFileMappingA fails.
    UniqueHandle squatter(
        ::CreateEventA(nullptr, TRUE, FALSE, (id + "-Data-Mapping-File").c_str()));
    ASSERT_TRUE(squatter);
    auto log = std::make_shared<WakeLog>();
    CRecordingGuard first(log);
    ASSERT_TRUE(first.Create(id.c_str()));

    CSingleInstance second;
    EXPECT_FALSE(second.Create(id.c_str()));
    SetWakeEvent(id);
    ASSERT_TRUE(log->WaitFor(1));
    CSingleInstanceData data(id);
    EXPECT_FALSE(data.HasSlot());
    data.SetValue("written nowhere");
    EXPECT_EQ(data.GetValue(), "");
    first.Close();
    std::lock_guard<std::mutex> lock(log->lock);
    for (const std::string& text : log->texts) {
        EXPECT_EQ(text, "");
    }
}

TEST(SingleInstance, NoWakeEventNoInstance) {
    const std::string id = UniqueId("noevent");
    UniqueHandle squatter(::CreateMutexA(nullptr, FALSE, (id + "-Event").c_str()));
    ASSERT_TRUE(squatter);
    CSingleInstance guard;
    EXPECT_FALSE(guard.Create(id.c_str()));
    // Once closed, the guard has no inner object left to decide with.
    CSingleInstance closed;
    closed.Close();
    EXPECT_FALSE(closed.Create(UniqueId("closed").c_str()));
}

} // namespace
