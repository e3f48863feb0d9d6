// The checker program as a user's machine sees it: Vettor.exe with its list
// beside it and the user's list in the system directory, probing the loopback
// proxy farm, writing its result files, publishing the live list and telling
// a window captioned "Sulvantix".
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "checker/checker_files.h"
#include "framework/handle.h"
#include "shared/list_lines.h"
#include "shared/proxy_class_file.h"
#include "tests/support/checker_process.h"
#include "tests/support/file_access.h"
#include "tests/support/gui_standin_window.h"
#include "tests/support/message_pump.h"
#include "tests/support/standins_env.h"
#include "tools/standins/standin_ports.h"

using Lines = std::vector<std::string>;

namespace {

std::string Entry(int port) {
    return "127.0.0.1:" + std::to_string(port);
}

std::string SystemDirectory() {
    char path[MAX_PATH] = {};
    ::GetSystemDirectoryA(path, sizeof path);
    return std::string(path) + "\\";
}

Lines FileLines(const std::string& path) {
    Lines lines;
    SplitListText(ReadWholeFile(path), lines);
    return lines;
}

Lines Sorted(Lines lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::size_t CountOf(const Lines& texts, const std::string& text) {
    return static_cast<std::size_t>(std::count(texts.begin(), texts.end(), text));
}

// The texts that start with `prefix`, in order, without the prefix.
Lines WithPrefix(const Lines& texts, const std::string& prefix) {
    Lines found;
    for (const std::string& text : texts) {
        if (text.compare(0, prefix.size(), prefix) == 0) {
            found.push_back(text.substr(prefix.size()));
        }
    }
    return found;
}

// Text mode: `lines` lines, each ending in carriage return and line feed.
bool EveryLineEndsInCrLf(const std::string& bytes, std::size_t lines) {
    std::size_t found = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            if (i == 0 || bytes[i - 1] != '\r') {
                return false;
            }
            ++found;
        }
    }
    return found == lines && !bytes.empty() && bytes.back() == '\n';
}

struct CTextSearch {
    const std::string* text;
    bool found;
};

BOOL CALLBACK MatchChildText(HWND child, LPARAM param) {
    auto* search = reinterpret_cast<CTextSearch*>(param);
    char buffer[128] = {};
    ::GetWindowTextA(child, buffer, sizeof buffer);
    search->found = *search->text == buffer;
    return search->found ? FALSE : TRUE;
}

bool HasChildWithText(HWND window, const std::string& text) {
    CTextSearch search{&text, false};
    ::EnumChildWindows(window, MatchChildText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool IsWine() {
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::size_t IndexOf(const Lines& texts, const std::string& text) {
    return static_cast<std::size_t>(std::find(texts.begin(), texts.end(), text) - texts.begin());
}

// Where the `nth` text (from 1) that starts with `prefix` is; texts.size() when
// there are fewer.
std::size_t IndexOfNth(const Lines& texts, const std::string& prefix, std::size_t nth) {
    for (std::size_t i = 0, seen = 0; i < texts.size(); ++i) {
        if (texts[i].compare(0, prefix.size(), prefix) == 0 && ++seen == nth) {
            return i;
        }
    }
    return texts.size();
}

constexpr char kCheckerDoneEvent[] = "Global\\ZK_CHECKER_DONE_EVENT";

const std::regex kStamp(R"(\[ \d{1,2}/\d{1,2}/\d{4} \d\d:\d\d:\d\d \] )");
const std::regex kRunStamp(
    R"(\[ \d{1,2}/\d{1,2}/\d{4} \d\d:\d\d:\d\d \]  - \[ \d{1,2}/\d{1,2}/\d{4} \d\d:\d\d:\d\d \] )");

// Keeps the system directory's lists as they were before the test.
class CSystemListsBackup {
public:
    CSystemListsBackup() {
        for (const char* name : {kUserProxyFile, kLiveListFile}) {
            const std::string path = SystemDirectory() + name;
            m_saved.push_back({path, FileExists(path), ReadWholeFile(path)});
            ::DeleteFileA(path.c_str());
        }
    }
    ~CSystemListsBackup() {
        for (const Saved& file : m_saved) {
            ::DeleteFileA(file.path.c_str());
            if (file.existed) {
                WriteWholeFile(file.path, file.bytes);
            }
        }
    }
    CSystemListsBackup(const CSystemListsBackup&) = delete;
    CSystemListsBackup& operator=(const CSystemListsBackup&) = delete;

private:
    struct Saved {
        std::string path;
        bool existed;
        std::string bytes;
    };
    std::vector<Saved> m_saved;
};

class VettorRun : public ::testing::Test {
protected:
    void SetUp() override {
        char module[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, module, sizeof module);
        std::string folder(module);
        folder.erase(folder.find_last_of('\\') + 1);
        m_folder = folder + "vettor-" +
                   ::testing::UnitTest::GetInstance()->current_test_info()->name() + "\\";
        m_program = Install(m_folder);
        ASSERT_FALSE(m_program.empty()) << "cannot install Vettor.exe into " << m_folder;
        for (const char* name : {kVettorListFile, kLiveListFile, kDeadListFile}) {
            ::DeleteFileA((m_folder + name).c_str());
        }
    }

    // The program under test as "Vettor.exe" in the folder; its path.
    virtual std::string Install(const std::string& folder) const {
        return InstallCheckerCopy(folder);
    }

    void WriteLists(const Lines& downloaded, const Lines& user) const {
        std::string text;
        for (const std::string& entry : downloaded) {
            text += entry + "\r\n";
        }
        ASSERT_TRUE(WriteWholeFile(m_folder + kVettorListFile, text));
        text.clear();
        for (const std::string& entry : user) {
            text += entry + "\r\n";
        }
        ASSERT_TRUE(WriteWholeFile(SystemDirectory() + kUserProxyFile, text));
    }

    void StartChecker() { ASSERT_TRUE(m_checker.Start(m_program)) << m_program; }

    bool WaitForDone(int count, DWORD timeoutMs) {
        return PumpMessagesUntil([&] { return m_gui->DoneCount() >= count; }, timeoutMs);
    }

    bool WaitForTrace(const std::string& text, std::size_t count, DWORD timeoutMs) {
        return PumpMessagesUntil([&] { return CountOf(m_checker.Traces(), text) >= count; },
                                 timeoutMs);
    }

    std::string Own(const char* name) const { return m_folder + name; }

    // The checker's traces, one per line, for a failure's message.
    std::string TraceLog() const {
        std::string log;
        for (const std::string& text : m_checker.Traces()) {
            log += text + "\n";
        }
        return log;
    }

    CSystemListsBackup m_backup;
    std::unique_ptr<CGuiStandInWindow> m_gui = std::make_unique<CGuiStandInWindow>();
    std::string m_folder;
    std::string m_program;
    CCheckerProcess m_checker;
};

// Probes of a silent proxy end at the probe's bound of 90 s, by the library's
// time-outs.
constexpr DWORD kSilentRunMs = 150000;
constexpr DWORD kShortRunMs = 40000;

} // namespace

TEST_F(VettorRun, SortsEveryEntryPublishesTheLiveListAndTellsTheGui) {
    ASSERT_NE(m_gui->Handle(), nullptr);
    const std::string ok = Entry(standins::kFarmOk);
    const std::string partial = Entry(standins::kFarmPartial);
    const std::string closed = Entry(standins::kClosedPort);
    const std::string forbidden = Entry(standins::kFarmForbidden);
    const std::string lowerCase = Entry(standins::kFarmOkLower);
    const std::string silent = Entry(standins::kFarmSilent);
    // Blank lines and padding are dropped; duplicates are probed each time.
    const Lines downloaded = {ok, closed, "  " + forbidden + "\t", "", silent, ok};
    const Lines user = {lowerCase, ok, partial};
    WriteLists(downloaded, user);
    const Lines entries = {ok, closed, forbidden, silent, ok, lowerCase, ok, partial};

    const UniqueHandle done(::CreateEventA(nullptr, FALSE, FALSE, kCheckerDoneEvent));
    ASSERT_TRUE(done);

    StartChecker();
    ASSERT_TRUE(WaitForDone(1, kSilentRunMs)) << "no completion message";
    EXPECT_TRUE(m_gui->AllDoneParamsZero());
    // The window had the word; the event is for a GUI the message cannot reach.
    EXPECT_EQ(::WaitForSingleObject(done.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    EXPECT_EQ(Sorted(FileLines(Own(kLiveListFile))), Sorted({ok, ok, ok, partial}));
    EXPECT_EQ(Sorted(FileLines(Own(kDeadListFile))),
              Sorted({closed, forbidden, silent, lowerCase}));
    EXPECT_EQ(ReadWholeFile(SystemDirectory() + kLiveListFile), ReadWholeFile(Own(kLiveListFile)));
    // Text mode: every line ends in carriage return and line feed.
    EXPECT_TRUE(EveryLineEndsInCrLf(ReadWholeFile(Own(kDeadListFile)), 4));

    const Lines traces = m_checker.Traces();
    // The dialog thread hands the entries out in file order.
    EXPECT_EQ(WithPrefix(traces, "ok -> "), entries);
    // Each alive entry: its worker's start trace, the probe's verdict, the
    // entry again, then the append.
    EXPECT_EQ(CountOf(traces, "Valid ->" + ok), 3u);
    EXPECT_EQ(CountOf(traces, ok), 6u);
    EXPECT_EQ(CountOf(traces, "WriteToFile ->" + ok), 3u);
    EXPECT_EQ(CountOf(traces, "WriteToFile ->" + silent), 1u);
    // The silent proxy's probe ended by the library's receive time-out at the
    // bound, on its own worker, which traced the send's failure: Windows says
    // ERROR_INTERNET_TIMEOUT, Wine ERROR_INTERNET_CONNECTION_ABORTED. Given up
    // by the completion check instead, it would say 12002 under Wine too.
    const std::string timedOut = IsWine() ? "12030" : "12002";
    EXPECT_EQ(
        CountOf(traces, "Failed in call to HttpSendRequest, Error:" + timedOut + " -> " + silent),
        1u);
    EXPECT_EQ(WithPrefix(traces, "Failed in call to HttpSendRequest, Error:").size(), 2u)
        << "the closed port's and the silent proxy's only";
    EXPECT_EQ(CountOf(traces, closed), 1u);

    // The run stamp closes the launching, before the window is shrunk.
    const auto runStamp = std::find_if(traces.begin(), traces.end(), [](const std::string& t) {
        return std::regex_match(t, kRunStamp);
    });
    ASSERT_NE(runStamp, traces.end());
    const std::size_t runStampAt = static_cast<std::size_t>(runStamp - traces.begin());
    EXPECT_LT(IndexOf(traces, "ok -> " + partial), runStampAt);
    EXPECT_GT(IndexOf(traces, "b4 move window"), runStampAt);

    // Completion checks every 10 s until every probe has ended, then the copy
    // and the completion stamp.
    const std::size_t checks = CountOf(traces, "Total count upto :8");
    EXPECT_GE(checks, 9u);
    EXPECT_LE(checks, 11u);
    const std::size_t copyAt = IndexOf(traces, "Copy File to system 32");
    ASSERT_LT(copyAt, traces.size());
    ASSERT_TRUE(PumpMessagesUntil(
        [&] {
            const Lines now = m_checker.Traces();
            return now.size() > copyAt + 1 && std::regex_match(now[copyAt + 1], kStamp);
        },
        5000))
        << "no completion stamp after the copy";
    EXPECT_EQ(CountOf(m_checker.Traces(), "Copy File to system 32"), 1u);
    EXPECT_TRUE(m_checker.Close());
}

// The farm's relays reach the judge from addresses of their own, as proxies
// on the internet would; the liars answer the test file but not the judge
// honestly (a stale page, a rewritten one, a huge, binary or endless one).
TEST_F(VettorRun, JudgesAnonymityAndPublishesNoProxyThatGivesTheUserAway) {
    ASSERT_NE(m_gui->Handle(), nullptr);
    const std::string transparent = Entry(standins::kFarmTransparent);
    const std::string anonymous = Entry(standins::kFarmAnonymous);
    const std::string elite = Entry(standins::kFarmElite);
    const std::string relay = Entry(standins::kFarmRelay);
    const Lines liars = {Entry(standins::kFarmJudgeCache), Entry(standins::kFarmJudgeRewrite),
                         Entry(standins::kFarmJudgeHuge), Entry(standins::kFarmJudgeBinary),
                         Entry(standins::kFarmJudgeEndless)};
    const std::string closed = Entry(standins::kClosedPort);
    Lines downloaded = {transparent, anonymous, closed, elite};
    downloaded.insert(downloaded.end(), liars.begin(), liars.end());
    WriteLists(downloaded, {relay});
    ::DeleteFileA(Own(kTransparentListFile).c_str());
    ASSERT_TRUE(WriteWholeFile(Own(kProxyClassFile), "stale 127.0.0.1:1 elite 1\r\n"));

    StartChecker();
    ASSERT_TRUE(WaitForDone(1, kSilentRunMs)) << TraceLog();
    Lines published = {anonymous, elite, relay};
    published.insert(published.end(), liars.begin(), liars.end());
    EXPECT_EQ(Sorted(FileLines(Own(kLiveListFile))), Sorted(published));
    EXPECT_EQ(FileLines(SystemDirectory() + kLiveListFile), FileLines(Own(kLiveListFile)));
    EXPECT_EQ(FileLines(Own(kTransparentListFile)), Lines{transparent});
    EXPECT_EQ(FileLines(Own(kDeadListFile)), Lines{closed});

    const std::string classes = ReadWholeFile(Own(kProxyClassFile));
    const auto classOf = [&](const std::string& entry) {
        const auto found = FindProxyClass(classes, entry);
        return found ? found->m_strClass : std::string("none");
    };
    EXPECT_EQ(classOf(transparent), "transparent");
    EXPECT_EQ(classOf(anonymous), "anonymous");
    EXPECT_EQ(classOf(elite), "elite");
    EXPECT_EQ(classOf(relay), "elite");
    for (const std::string& liar : liars) {
        EXPECT_EQ(classOf(liar), "unknown") << liar;
    }
    EXPECT_EQ(classOf("127.0.0.1:1"), "none") << "the last run's class file went at the start";
    // The judge saw the user's own address once, on the direct fetch; through
    // the relays it saw them only.
    const Lines traces = m_checker.Traces();
    EXPECT_EQ(
        CountOf(traces, "Judge at http://127.0.0.1:18080/judge sees this machine as 127.0.0.1"), 1u)
        << TraceLog();
    EXPECT_EQ(CountOf(traces, "Gives the user's address away, not published ->" + transparent), 1u);
    EXPECT_TRUE(m_checker.Close());
}

TEST_F(VettorRun, WithoutAJudgeTheLiveProxiesArePublishedUnjudged) {
    ASSERT_NE(m_gui->Handle(), nullptr);
    const std::string modePath =
        standins_env::StatePath("mode-" + std::to_string(standins::kUpdateServerPort));
    ASSERT_TRUE(WriteWholeFile(modePath, "nojudge"));
    // The server reads its mode file at least every 250 ms.
    PumpMessagesUntil([] { return false; }, 600);
    const std::string ok = Entry(standins::kFarmOk);
    const std::string relay = Entry(standins::kFarmRelay);
    WriteLists({ok, relay}, {});

    StartChecker();
    const bool done = WaitForDone(1, kShortRunMs);
    ::DeleteFileA(modePath.c_str());
    ASSERT_TRUE(done) << TraceLog();
    EXPECT_EQ(Sorted(FileLines(Own(kLiveListFile))), Sorted({ok, relay}));
    EXPECT_FALSE(FileExists(Own(kTransparentListFile)));
    EXPECT_FALSE(FileExists(Own(kProxyClassFile)));
    EXPECT_EQ(WithPrefix(m_checker.Traces(), "No judge at http://127.0.0.1:18080/judge ("),
              Lines{"status 404): live proxies are published unjudged"})
        << TraceLog();
    EXPECT_TRUE(m_checker.Close());
}

TEST_F(VettorRun, OkCommandDuringProbingStartsTheRunAfresh) {
    ASSERT_NE(m_gui->Handle(), nullptr);
    const std::string ok = Entry(standins::kFarmOk);
    const std::string late = Entry(standins::kFarmLateOkPort);
    WriteLists({late, ok}, {});

    StartChecker();
    ASSERT_TRUE(WaitForTrace("WriteToFile ->" + ok, 1, kShortRunMs));
    // The trace comes just before the append: wait for the line itself.
    ASSERT_TRUE(PumpMessagesUntil([&] { return FileLines(Own(kLiveListFile)) == Lines{ok}; }, 5000))
        << "live: " << ReadWholeFile(Own(kLiveListFile))
        << "\ndead: " << ReadWholeFile(Own(kDeadListFile)) << "\ntraces:\n"
        << TraceLog();
    HWND dialog = m_checker.FindDialog();
    ASSERT_NE(dialog, nullptr);
    // The late entry of the first run is still being probed.
    EXPECT_EQ(CountOf(m_checker.Traces(), "Valid ->" + late), 0u);
    ASSERT_TRUE(::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0));

    ASSERT_TRUE(WaitForDone(1, kShortRunMs));
    const Lines traces = m_checker.Traces();
    EXPECT_EQ(WithPrefix(traces, "ok -> "), (Lines{late, ok, late, ok}));
    // Both late probes answered, but only the second run's wrote and counted.
    EXPECT_EQ(CountOf(traces, "Valid ->" + late), 2u);
    EXPECT_EQ(CountOf(traces, "WriteToFile ->" + late), 1u);
    EXPECT_EQ(CountOf(traces, "WriteToFile ->" + ok), 2u);
    // The first run's file went at the restart; the new one holds each entry once.
    EXPECT_EQ(Sorted(FileLines(Own(kLiveListFile))), Sorted({late, ok}));
    EXPECT_FALSE(FileExists(Own(kDeadListFile)));
    EXPECT_EQ(FileLines(SystemDirectory() + kLiveListFile), FileLines(Own(kLiveListFile)));

    // The restart re-armed the completion timer: one notification only.
    PumpMessagesUntil([] { return false; }, 11000);
    EXPECT_EQ(m_gui->DoneCount(), 1);
    EXPECT_TRUE(m_checker.IsRunning());
    EXPECT_TRUE(m_checker.Close());
}

TEST_F(VettorRun, WithNoLiveEntryTheSystemListKeepsItsContent) {
    ASSERT_NE(m_gui->Handle(), nullptr);
    const std::string previous = "127.0.0.1:1\r\n127.0.0.1:2\r\n";
    ASSERT_TRUE(WriteWholeFile(SystemDirectory() + kLiveListFile, previous));
    const Lines dead = {Entry(standins::kClosedPort), Entry(standins::kFarmForbidden),
                        Entry(standins::kFarmServerError), Entry(standins::kFarmReset)};
    WriteLists({dead[0], dead[1]}, {dead[2], dead[3]});

    StartChecker();
    ASSERT_TRUE(WaitForDone(1, kShortRunMs));
    EXPECT_FALSE(FileExists(Own(kLiveListFile)));
    EXPECT_EQ(Sorted(FileLines(Own(kDeadListFile))), Sorted(dead));
    EXPECT_EQ(ReadWholeFile(SystemDirectory() + kLiveListFile), previous);
    EXPECT_EQ(CountOf(m_checker.Traces(), "Copy File to system 32"), 1u);
    EXPECT_TRUE(m_checker.Close());
}

TEST_F(VettorRun, WithoutTheGuiTheLiveListIsStillPublished) {
    // No window captioned "Sulvantix" while this checker runs.
    m_gui.reset();
    ASSERT_EQ(::FindWindowA("#32770", "Sulvantix"), nullptr);
    const std::string relay = Entry(standins::kFarmRelay);
    WriteLists({relay}, {});
    // A GUI elsewhere (another session) learns of the run by the event.
    const UniqueHandle done(::CreateEventA(nullptr, FALSE, FALSE, kCheckerDoneEvent));
    ASSERT_TRUE(done);

    StartChecker();
    ASSERT_TRUE(PumpMessagesUntil(
        [&] {
            const Lines traces = m_checker.Traces();
            const std::size_t copyAt = IndexOf(traces, "Copy File to system 32");
            return copyAt + 1 < traces.size() && std::regex_match(traces[copyAt + 1], kStamp);
        },
        kShortRunMs));
    EXPECT_EQ(FileLines(SystemDirectory() + kLiveListFile), Lines{relay});
    EXPECT_EQ(::WaitForSingleObject(done.Get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_TRUE(m_checker.Close());
}

TEST_F(VettorRun, HiddenToolWindowWithEmptyListsCompletesAtTheFirstCheck) {
    ASSERT_NE(m_gui->Handle(), nullptr);
    const DWORD started = ::GetTickCount();
    StartChecker();
    // Open and visible, but moved to 0,0 without size once it is set up.
    HWND dialog = nullptr;
    RECT rect{-1, -1, -1, -1};
    const bool shrunk = PumpMessagesUntil(
        [&] {
            dialog = m_checker.FindDialog();
            return dialog != nullptr && ::IsWindowVisible(dialog) &&
                   ::GetWindowRect(dialog, &rect) && rect.right == rect.left &&
                   rect.bottom == rect.top;
        },
        10000);
    ASSERT_TRUE(shrunk) << "window at " << rect.left << "," << rect.top << " to " << rect.right
                        << "," << rect.bottom;
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    const LONG_PTR exStyle = ::GetWindowLongPtrA(dialog, GWL_EXSTYLE);
    EXPECT_NE(exStyle & WS_EX_TOOLWINDOW, 0);
    EXPECT_EQ(exStyle & WS_EX_APPWINDOW, 0);
    // The system menu's About command opens the About box; its OK closes it.
    ASSERT_TRUE(::PostMessageA(dialog, WM_SYSCOMMAND, 0x10, 0));
    HWND about = nullptr;
    ASSERT_TRUE(PumpMessagesUntil(
        [&] { return (about = m_checker.FindDialog("About Vettor")) != nullptr; }, 10000));
    EXPECT_TRUE(HasChildWithText(about, "Vettor Version 1.0"));
    ASSERT_TRUE(::PostMessageA(about, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0));
    EXPECT_TRUE(
        PumpMessagesUntil([&] { return m_checker.FindDialog("About Vettor") == nullptr; }, 10000));
    EXPECT_NE(::GetDlgItem(dialog, IDOK), nullptr);
    EXPECT_NE(::GetDlgItem(dialog, IDCANCEL), nullptr);

    ASSERT_TRUE(WaitForDone(1, kShortRunMs));
    const DWORD elapsed = m_gui->LastDoneTick() - started;
    EXPECT_GE(elapsed, 9000u);
    EXPECT_LT(elapsed, 20000u);
    const Lines traces = m_checker.Traces();
    EXPECT_TRUE(WithPrefix(traces, "ok -> ").empty());
    EXPECT_EQ(CountOf(traces, "Total count upto :0"), 1u);
    // Nothing live: no copy into the system directory.
    EXPECT_FALSE(FileExists(SystemDirectory() + kLiveListFile));
    EXPECT_FALSE(FileExists(Own(kLiveListFile)));

    // Cancel ends the program.
    EXPECT_TRUE(m_checker.Close(10000));
}

// The same program on a short clock (VettorFastClock.exe): the run timer every
// 4 s, the completion check every second.
class VettorFastClockRun : public VettorRun {
protected:
    static constexpr DWORD kPeriodMs = 4000;

    std::string Install(const std::string& folder) const override {
        return InstallCheckerCopy(folder, "VettorFastClock.exe");
    }

    // A list whose launch (100 ms an entry) outlasts the period, then an
    // entry that answers only after 6 s, so a tick also comes while probing.
    // Every entry is alive.
    static Lines LongList() {
        Lines list(kLongListOk, Entry(standins::kFarmOk));
        list.push_back(Entry(standins::kFarmLateOkPort));
        return list;
    }

    static constexpr std::size_t kLongListOk = 55;
};

TEST_F(VettorFastClockRun, RunLongerThanTheTimerIsPublishedBeforeTheNextStarts) {
    ASSERT_NE(m_gui->Handle(), nullptr);
    const Lines list = LongList();
    WriteLists(list, {});
    static_assert(kLongListOk * 100 > kPeriodMs, "the launch must outlast the period");

    const DWORD started = ::GetTickCount();
    StartChecker();
    ASSERT_TRUE(WaitForDone(1, 60000)) << "the run was never published";
    // The late entry answered 6 s after the launch, well past two ticks.
    EXPECT_GE(m_gui->LastDoneTick() - started, kLongListOk * 100 + 6000);
    EXPECT_EQ(Sorted(FileLines(SystemDirectory() + kLiveListFile)), Sorted(list));

    // The tick after the end starts the next run, which is published in turn.
    ASSERT_TRUE(WaitForDone(2, 60000)) << "no second run";
    const Lines traces = m_checker.Traces();
    const Lines handedOut = WithPrefix(traces, "ok -> ");
    ASSERT_GE(handedOut.size(), 2 * list.size());
    EXPECT_EQ(Lines(handedOut.begin(), handedOut.begin() + list.size()), list);
    // Nothing restarted the first run: its last entry was handed out, then
    // its list published, and only then did the second run begin.
    const std::size_t copyAt = IndexOf(traces, "Copy File to system 32");
    ASSERT_LT(copyAt, traces.size());
    EXPECT_LT(IndexOfNth(traces, "ok -> ", list.size()), copyAt);
    EXPECT_GT(IndexOfNth(traces, "ok -> ", list.size() + 1), copyAt);
    EXPECT_EQ(CountOf(traces, "WriteToFile ->" + Entry(standins::kFarmLateOkPort)), 2u);
    EXPECT_EQ(CountOf(traces, "Copy File to system 32"), 2u);
    EXPECT_TRUE(m_checker.Close());
}

TEST_F(VettorFastClockRun, OkCommandDuringALongRunRestartsItAtOnce) {
    ASSERT_NE(m_gui->Handle(), nullptr);
    const Lines list = LongList();
    WriteLists(list, {});

    StartChecker();
    // While the first run is still launching.
    ASSERT_TRUE(PumpMessagesUntil(
        [&] { return WithPrefix(m_checker.Traces(), "ok -> ").size() >= 5; }, 20000));
    HWND dialog = m_checker.FindDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0));

    ASSERT_TRUE(WaitForDone(1, 60000));
    const Lines traces = m_checker.Traces();
    // The command was handled as soon as the launch returned, before any
    // completion check and before the tick that came during the launch: two
    // launches back to back, then one publication.
    const std::size_t copyAt = IndexOf(traces, "Copy File to system 32");
    ASSERT_LT(copyAt, traces.size());
    const Lines beforeCopy(traces.begin(), traces.begin() + copyAt);
    EXPECT_EQ(WithPrefix(beforeCopy, "ok -> ").size(), 2 * list.size());
    const std::size_t secondRunAt = IndexOfNth(traces, "ok -> ", list.size() + 1);
    ASSERT_LT(secondRunAt, traces.size());
    EXPECT_GT(IndexOfNth(traces, "Total count upto :", 1), secondRunAt);
    // The first run's late answer came during the second run and was dropped:
    // the published list holds each entry once.
    EXPECT_EQ(Sorted(FileLines(SystemDirectory() + kLiveListFile)), Sorted(list));
    EXPECT_TRUE(m_checker.Close());
}
