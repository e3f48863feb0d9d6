// Figures of whole validation runs of the real checker under Wine, against the
// benchmark's own proxy farm: wall time, and the checker's threads, handles,
// private and resident memory at their peak, at the completion message and
// 10 s after it.
//
//   vettor_bench VETTOR_EXE FAST_VETTOR_EXE CLOSED_FIRST FARM [CASE...]
//
// FARM is the farm's extra ports as the farm takes them, separated by spaces
// (BEHAVIOUR:FIRST:COUNT, late_ok:SECONDS:FIRST:COUNT); CLOSED_FIRST begins
// 500 ports where nothing listens. Cases (default 200 1000 silent:1000:3
// soak:2000:5):
//
//   N           one run of N entries (alive, closed, alive, late, ...) in a
//               fresh Vettor.exe;
//   judge:N     N entries of every anonymity (elite, anonymous, transparent
//               relays, scripted, closed, late), one run without the judge
//               and one with it, each in a fresh Vettor.exe;
//   silent:N:R  N entries whose proxies accept and never answer, R runs in a
//               row started by the OK command;
//   soak:N:R    N entries of every kind, R runs in a row started by the run
//               timer of VettorFastClock.exe (4 s).
//
// A checker's idle level is read after a warm-up run of two entries in the same
// process. scripts/bench-vettor starts the farm and an update server on the
// build's update port (SULVANTIX_STANDINS_DIR names its state folder) and runs
// this under Wine.
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "build_config.h"
#include "tests/support/checker_process.h"
#include "tests/support/file_access.h"
#include "tests/support/gui_standin_window.h"
#include "tests/support/message_pump.h"
#include "tests/support/process_memory.h"
#include "tests/support/process_snapshot.h"
#include "tests/support/standins_env.h"
#include "tools/standins/standin_ports.h"

namespace {

constexpr DWORD kLaunchStepMs = 100;
constexpr DWORD kSampleEveryMs = 250;
constexpr DWORD kSettleMs = 10000;
constexpr int kClosedPorts = 500;

struct PortRange {
    int first = 0;
    int count = 0;
    int seconds = 0; // late_ok only
};

// The farm's ports by behaviour, and where nothing listens.
struct FarmLayout {
    std::map<std::string, PortRange> ranges;
    int closedFirst = 0;

    bool Parse(const std::string& text, std::string& error) {
        std::istringstream items(text);
        std::string item;
        while (items >> item) {
            std::vector<std::string> parts;
            std::istringstream fields(item);
            std::string field;
            while (std::getline(fields, field, ':')) {
                parts.push_back(field);
            }
            PortRange range;
            const bool late = !parts.empty() && parts[0] == "late_ok";
            if (parts.size() != (late ? 4u : 3u)) {
                error = "bad farm range '" + item + "'";
                return false;
            }
            const std::size_t at = late ? 2 : 1;
            range.seconds = late ? std::atoi(parts[1].c_str()) : 0;
            range.first = std::atoi(parts[at].c_str());
            range.count = std::atoi(parts[at + 1].c_str());
            if (range.first <= 0 || range.count <= 0) {
                error = "bad farm range '" + item + "'";
                return false;
            }
            ranges[parts[0]] = range;
        }
        return true;
    }

    int LateSeconds() const {
        const auto it = ranges.find("late_ok");
        return it != ranges.end() ? it->second.seconds : 0;
    }
};

// Entries cycling over each kind's ports; "closed" names ports where nothing
// listens.
class CListMaker {
public:
    explicit CListMaker(const FarmLayout& farm) : m_farm(farm) {}

    std::string Next(const std::string& kind) {
        int port = 0;
        const int n = m_used[kind]++;
        if (kind == "closed") {
            port = m_farm.closedFirst + n % kClosedPorts;
        } else {
            const PortRange& range = m_farm.ranges.at(kind);
            port = range.first + n % range.count;
        }
        return "127.0.0.1:" + std::to_string(port) + "\r\n";
    }

    std::string Make(std::size_t count, const std::vector<std::string>& pattern) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i) {
            text += Next(pattern[i % pattern.size()]);
        }
        return text;
    }

private:
    const FarmLayout& m_farm;
    std::map<std::string, int> m_used;
};

const std::vector<std::string> kMixedPattern = {"ok", "closed", "ok", "late_ok"};
const std::vector<std::string> kSilentPattern = {"silent"};
// Half alive (a fifth of those late), and every way of being dead: no listener,
// no answer, a reset, an error status, a wrong body.
const std::vector<std::string> kSoakPattern = {
    "ok", "closed", "ok", "silent", "late_ok", "reset", "ok", "forbidden",    "ok", "ok_lower",
    "ok", "closed", "ok", "silent", "late_ok", "reset", "ok", "server_error", "ok", "ok_lower",
    "ok", "closed", "ok", "silent", "late_ok", "reset", "ok", "auth407",      "ok", "ok_lower",
    "ok", "closed", "ok", "silent", "late_ok", "reset", "ok", "auth401",      "ok", "ok_lower"};
const std::vector<std::string> kWarmUpPattern = {"ok", "closed"};
// Proxies of every anonymity, most of them relaying to the update server's
// test file and judge, and the dead and late ones of the mixed case.
const std::vector<std::string> kJudgePattern = {"elite", "closed",      "anonymous", "late_ok",
                                                "ok",    "transparent", "closed",    "elite"};

struct Sample {
    unsigned threads = 0;
    DWORD handles = 0;
    std::size_t privateBytes = 0;
    std::size_t residentBytes = 0;

    void KeepPeak(const Sample& other) {
        threads = other.threads > threads ? other.threads : threads;
        handles = other.handles > handles ? other.handles : handles;
        privateBytes = other.privateBytes > privateBytes ? other.privateBytes : privateBytes;
        residentBytes = other.residentBytes > residentBytes ? other.residentBytes : residentBytes;
    }
};

// The process's open handles. Wine answers GetProcessHandleCount with 0, so
// they are counted in the system's handle list (SystemHandleInformation),
// which both Windows and Wine keep.
struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ULONG access;
};
using NtQuerySystemInformationFn = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

DWORD HandleCount(DWORD processId, HANDLE process) {
    DWORD count = 0;
    if (::GetProcessHandleCount(process, &count) && count != 0) {
        return count;
    }
    const auto query = reinterpret_cast<NtQuerySystemInformationFn>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) {
        return 0;
    }
    std::vector<unsigned char> buffer(1 << 20);
    LONG status = 0;
    for (;;) {
        ULONG needed = 0;
        status = query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                       &needed);
        if (status != kInfoLengthMismatch || buffer.size() >= (64u << 20)) {
            break;
        }
        buffer.resize(buffer.size() * 2);
    }
    if (status < 0) {
        return 0;
    }
    ULONG entries = 0;
    std::memcpy(&entries, buffer.data(), sizeof entries);
    // The entries follow the count at the alignment of a pointer.
    const std::size_t first = alignof(SystemHandleEntry);
    const std::size_t fit = (buffer.size() - first) / sizeof(SystemHandleEntry);
    count = 0;
    for (std::size_t i = 0; i < entries && i < fit; ++i) {
        SystemHandleEntry entry;
        std::memcpy(&entry, buffer.data() + first + i * sizeof entry, sizeof entry);
        count += entry.ownerPid == processId ? 1 : 0;
    }
    return count;
}

Sample Measure(DWORD processId, HANDLE process) {
    Sample sample;
    sample.threads = ThreadCount(processId);
    sample.handles = HandleCount(processId, process);
    const CProcessMemory memory = ProcessMemory(process);
    sample.privateBytes = memory.m_nPrivateBytes;
    sample.residentBytes = memory.m_nResidentBytes;
    return sample;
}

double MiB(std::size_t bytes) {
    return static_cast<double>(bytes) / 1048576.0;
}

std::string FolderFor(const std::string& name) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(sizeof temp, temp);
    std::string folder = std::string(temp) + "vettor-bench-" + name + "\\";
    std::replace(folder.begin() + static_cast<std::ptrdiff_t>(std::strlen(temp)), folder.end(), ':',
                 '-');
    return folder;
}

// One checker process beside a stand-in GUI window, watched from outside.
class CBenchChecker {
public:
    bool Start(const std::string& built, const std::string& name, const std::string& list) {
        m_folder = FolderFor(name);
        ::CreateDirectoryA(m_folder.c_str(), nullptr);
        const std::string program = m_folder + "Vettor.exe";
        if (!::CopyFileA(built.c_str(), program.c_str(), FALSE) || !SetList(list)) {
            std::fprintf(stderr, "cannot prepare %s\n", m_folder.c_str());
            return false;
        }
        m_nStartTick = ::GetTickCount();
        if (m_gui.Handle() == nullptr || !m_checker.Start(program, false)) {
            std::fprintf(stderr, "cannot start %s\n", program.c_str());
            return false;
        }
        return true;
    }

    // Read by the checker at the start of its next run.
    bool SetList(const std::string& text) const {
        return WriteWholeFile(m_folder + "Vettorlist.txt", text);
    }

    // The OK command: a run at once.
    bool RequestRun() {
        const HWND dialog = m_checker.FindDialog();
        m_nStartTick = ::GetTickCount();
        return dialog != nullptr &&
               ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0) != FALSE;
    }

    Sample Now() const { return Measure(m_checker.Id(), m_checker.Process()); }

    // Until the next completion message, keeping the peak; false when none
    // came within the time.
    bool WaitForRun(DWORD limitMs, Sample& peak) {
        const int target = m_gui.DoneCount() + 1;
        peak = Now();
        DWORD lastSample = ::GetTickCount();
        return PumpMessagesUntil(
            [&] {
                if (::GetTickCount() - lastSample >= kSampleEveryMs) {
                    peak.KeepPeak(Now());
                    lastSample = ::GetTickCount();
                }
                return m_gui.DoneCount() >= target;
            },
            limitMs);
    }

    // Watches the process until `ms` after the last completion message: the
    // sample then, and how long after that message the threads were back at
    // `idleThreads` (-1: not within the time).
    Sample Settle(DWORD ms, unsigned idleThreads, long& idleAfterMs) {
        const DWORD from = m_gui.LastDoneTick();
        idleAfterMs = -1;
        DWORD lastSample = ::GetTickCount() - kSampleEveryMs;
        PumpMessagesUntil(
            [&] {
                const DWORD now = ::GetTickCount();
                if (idleAfterMs < 0 && now - lastSample >= kSampleEveryMs) {
                    lastSample = now;
                    if (ThreadCount(m_checker.Id()) <= idleThreads) {
                        idleAfterMs = static_cast<long>(now - from);
                    }
                }
                return now - from >= ms;
            },
            ms + kSampleEveryMs);
        return Now();
    }

    // Seconds from the start or the OK command to the last completion message.
    double WallSeconds() const { return (m_gui.LastDoneTick() - m_nStartTick) / 1000.0; }
    DWORD LastDoneTick() const { return m_gui.LastDoneTick(); }
    void RestartClockAtLastDone() { m_nStartTick = m_gui.LastDoneTick(); }
    void Close() { m_checker.Close(); }

private:
    std::string m_folder;
    DWORD m_nStartTick = 0;
    CGuiStandInWindow m_gui;
    CCheckerProcess m_checker;
};

std::string Text(double value, int decimals) {
    char text[32] = {};
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

// One row of figures. The ones 10 s after the end exist where the checker was
// left alone that long (not between the timer's runs); how long the threads
// took to come back to the idle level, where that level is known.
struct Row {
    std::string name;
    std::string run;
    double wallSeconds = 0;
    Sample peak;
    Sample end;
    bool settledKnown = false;
    Sample settled;
    bool idleKnown = false;
    long idleAfterMs = -1;
};

void PrintHeader() {
    std::printf("%-13s %-4s %7s | %-18s | %-23s | %-23s | %-13s | %s\n", "case", "run", "wall s",
                "threads pk/end/+10", "private MiB pk/end/+10", "resident MiB pk/end/+10",
                "handles e/+10", "threads idle again");
}

void PrintRow(const Row& row) {
    const auto later = [&](double value, int decimals) {
        return row.settledKnown ? Text(value, decimals) : std::string("-");
    };
    std::string idle = "-";
    if (row.idleKnown) {
        idle = row.idleAfterMs >= 0 ? Text(row.idleAfterMs / 1000.0, 1) + " s after the end"
                                    : "not within " + Text(kSettleMs / 1000.0, 0) + " s";
    }
    std::printf("%-13s %-4s %7.1f | %5u %5u %6s | %7.1f %7.1f %7s | %7.1f %7.1f %7s | %6lu %6s | "
                "%s\n",
                row.name.c_str(), row.run.c_str(), row.wallSeconds, row.peak.threads,
                row.end.threads, later(row.settled.threads, 0).c_str(), MiB(row.peak.privateBytes),
                MiB(row.end.privateBytes), later(MiB(row.settled.privateBytes), 1).c_str(),
                MiB(row.peak.residentBytes), MiB(row.end.residentBytes),
                later(MiB(row.settled.residentBytes), 1).c_str(),
                static_cast<unsigned long>(row.end.handles), later(row.settled.handles, 0).c_str(),
                idle.c_str());
    std::fflush(stdout);
}

void PrintIdle(const std::string& name, const Sample& idle) {
    std::printf("%-13s %-4s %7s | %5u %12s | %7.1f %15s | %7.1f %15s | %6lu %6s |\n", name.c_str(),
                "idle", "", idle.threads, "", MiB(idle.privateBytes), "", MiB(idle.residentBytes),
                "", static_cast<unsigned long>(idle.handles), "");
    std::fflush(stdout);
}

struct Context {
    std::string vettor;
    std::string fastVettor;
    FarmLayout farm;
};

DWORD RunLimitMs(std::size_t entries, int lateSeconds) {
    return static_cast<DWORD>(entries) * kLaunchStepMs + SULVANTIX_PROBE_BOUND_MS +
           static_cast<DWORD>(lateSeconds) * 1000 + 90000;
}

bool HasPorts(const Context& context, const std::vector<std::string>& pattern) {
    for (const std::string& kind : pattern) {
        if (kind != "closed" && context.farm.ranges.count(kind) == 0) {
            std::fprintf(stderr, "the farm has no '%s' ports\n", kind.c_str());
            return false;
        }
    }
    return true;
}

// Starts the checker on a warm-up run of two entries, so the library's own
// threads and memory are in place; then gives it `list` for its next run and
// reads the idle level `settleMs` after the warm-up.
bool StartWarm(CBenchChecker& checker, const std::string& built, const std::string& name,
               CListMaker& lists, const std::string& list, DWORD settleMs, Sample& idle) {
    Sample peak;
    if (!checker.Start(built, name, lists.Make(2, kWarmUpPattern)) ||
        !checker.WaitForRun(RunLimitMs(2, 0), peak) || !checker.SetList(list)) {
        std::printf("%s: the warm-up run never completed\n", name.c_str());
        return false;
    }
    long unused = 0;
    idle = checker.Settle(settleMs, 0, unused);
    return true;
}

// One run of `count` entries of `pattern` in a fresh Vettor.exe (folder
// `folder`), its figures into `row` and printed.
bool FreshRun(const Context& context, const std::string& folder, std::size_t count,
              const std::vector<std::string>& pattern, Row& row) {
    CListMaker lists(context.farm);
    CBenchChecker checker;
    if (!checker.Start(context.vettor, folder, lists.Make(count, pattern))) {
        return false;
    }
    if (!checker.WaitForRun(RunLimitMs(count, context.farm.LateSeconds()), row.peak)) {
        std::printf("%s: no completion message\n", row.name.c_str());
        checker.Close();
        return false;
    }
    row.wallSeconds = checker.WallSeconds();
    row.end = checker.Now();
    row.settled = checker.Settle(kSettleMs, 0, row.idleAfterMs);
    row.settledKnown = true;
    PrintRow(row);
    checker.Close();
    return true;
}

bool MixedCase(const Context& context, std::size_t count) {
    if (!HasPorts(context, kMixedPattern)) {
        return false;
    }
    Row row;
    row.name = std::to_string(count);
    row.run = "1";
    const int late = context.farm.LateSeconds();
    if (!FreshRun(context, row.name, count, kMixedPattern, row)) {
        return false;
    }
    const double floor = 0.1 * static_cast<double>(count) + late;
    std::printf("%-13s      wall floor %.1f s, goal <= %.1f s\n", "", floor, floor + 10 + 2);
    return true;
}

// Writes the benchmark's update server's mode file: "ok" serves the judge,
// "nojudge" does not, and a run then does what it did before judging.
bool SetJudgeServed(bool served) {
    const std::string path =
        standins_env::StatePath("mode-" + std::to_string(standins::kUpdateServerPort));
    if (standins_env::UnixStateDir().empty() || !WriteWholeFile(path, served ? "ok" : "nojudge")) {
        std::fprintf(stderr, "cannot write the update server's mode file %s\n", path.c_str());
        return false;
    }
    // The server reads its mode file at least every 250 ms.
    ::Sleep(600);
    return true;
}

// The same list twice, each in a fresh checker: first with no judge to fetch
// (a run as it was before judging), then with the judge (the second fetch
// through each live proxy). The judged run's wall time and peaks against the
// unjudged one's.
bool JudgeCase(const Context& context, std::size_t count) {
    if (!HasPorts(context, kJudgePattern)) {
        return false;
    }
    Row rows[2];
    const int late = context.farm.LateSeconds();
    for (int judged = 0; judged < 2; ++judged) {
        Row& row = rows[judged];
        row.name = "judge:" + std::to_string(count);
        row.run = judged != 0 ? "on" : "off";
        if (!SetJudgeServed(judged != 0) ||
            !FreshRun(context, row.name + "-" + row.run, count, kJudgePattern, row)) {
            return false;
        }
    }
    const double floor = 0.1 * static_cast<double>(count) + late;
    const auto ratio = [](double on, double off) { return off > 0 ? on / off : 0.0; };
    std::printf("%-13s      wall floor %.1f s; judged %+.1f s against unjudged (goal <= +2 s); "
                "judged/unjudged peaks: threads %.2f, private %.2f, resident %.2f (goal <= 1.10)\n",
                "", floor, rows[1].wallSeconds - rows[0].wallSeconds,
                ratio(rows[1].peak.threads, rows[0].peak.threads),
                ratio(static_cast<double>(rows[1].peak.privateBytes),
                      static_cast<double>(rows[0].peak.privateBytes)),
                ratio(static_cast<double>(rows[1].peak.residentBytes),
                      static_cast<double>(rows[0].peak.residentBytes)));
    SetJudgeServed(true);
    return true;
}

bool SilentCase(const Context& context, std::size_t count, int runs) {
    const std::string name = "silent:" + std::to_string(count);
    if (!HasPorts(context, kSilentPattern) || !HasPorts(context, kWarmUpPattern)) {
        return false;
    }
    CListMaker lists(context.farm);
    CBenchChecker checker;
    Sample idle;
    if (!StartWarm(checker, context.vettor, name, lists, lists.Make(count, kSilentPattern), 3000,
                   idle)) {
        checker.Close();
        return false;
    }
    PrintIdle(name, idle);
    bool ok = true;
    for (int run = 1; run <= runs; ++run) {
        Row row;
        row.name = name;
        row.run = std::to_string(run);
        if (!checker.RequestRun() || !checker.WaitForRun(RunLimitMs(count, 0), row.peak)) {
            std::printf("%s: run %d never completed\n", name.c_str(), run);
            ok = false;
            break;
        }
        row.wallSeconds = checker.WallSeconds();
        row.end = checker.Now();
        row.settled = checker.Settle(kSettleMs, idle.threads, row.idleAfterMs);
        row.settledKnown = row.idleKnown = true;
        PrintRow(row);
    }
    std::printf("%-13s      goal: peak threads <= idle + %lu, idle again within 10 s; wall "
                "floor %.1f s\n",
                "", static_cast<unsigned long>(SULVANTIX_PROBE_BOUND_MS / kLaunchStepMs),
                0.1 * static_cast<double>(count) + SULVANTIX_PROBE_BOUND_MS / 1000.0);
    checker.Close();
    return ok;
}

bool SoakCase(const Context& context, std::size_t count, int runs) {
    const std::string name = "soak:" + std::to_string(count);
    if (!HasPorts(context, kSoakPattern)) {
        return false;
    }
    CListMaker lists(context.farm);
    CBenchChecker checker;
    Sample idle;
    // The timer may start the next run soon after the warm-up: the idle level
    // is read at once.
    if (!StartWarm(checker, context.fastVettor, name, lists, lists.Make(count, kSoakPattern), 200,
                   idle)) {
        checker.Close();
        return false;
    }
    PrintIdle(name, idle);
    bool ok = true;
    for (int run = 1; run <= runs; ++run) {
        Row row;
        row.name = name;
        row.run = std::to_string(run);
        checker.RestartClockAtLastDone();
        if (!checker.WaitForRun(RunLimitMs(count, context.farm.LateSeconds()), row.peak)) {
            std::printf("%s: run %d never completed\n", name.c_str(), run);
            ok = false;
            break;
        }
        row.wallSeconds = checker.WallSeconds();
        row.end = checker.Now();
        if (run == runs) {
            // Runs of nothing from here on, so the last run's settling shows.
            checker.SetList(std::string());
            row.settled = checker.Settle(kSettleMs, idle.threads, row.idleAfterMs);
            row.settledKnown = row.idleKnown = true;
        }
        PrintRow(row);
    }
    std::printf("%-13s      wall from the last completion, the timer's wait (<= 4 s) included\n",
                "");
    checker.Close();
    return ok;
}

bool RunCase(const Context& context, const std::string& text) {
    std::vector<std::string> parts;
    std::istringstream fields(text);
    std::string field;
    while (std::getline(fields, field, ':')) {
        parts.push_back(field);
    }
    if (parts.size() == 1) {
        return MixedCase(context, static_cast<std::size_t>(std::atol(parts[0].c_str())));
    }
    if (parts.size() == 2 && parts[0] == "judge" && std::atol(parts[1].c_str()) > 0) {
        return JudgeCase(context, static_cast<std::size_t>(std::atol(parts[1].c_str())));
    }
    if (parts.size() == 3 && (parts[0] == "silent" || parts[0] == "soak")) {
        const auto count = static_cast<std::size_t>(std::atol(parts[1].c_str()));
        const int runs = std::atoi(parts[2].c_str());
        if (count > 0 && runs > 0) {
            return parts[0] == "silent" ? SilentCase(context, count, runs)
                                        : SoakCase(context, count, runs);
        }
    }
    std::fprintf(stderr, "unknown case '%s'\n", text.c_str());
    return false;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 5) {
        std::fprintf(stderr,
                     "usage: %s VETTOR_EXE FAST_VETTOR_EXE CLOSED_FIRST FARM "
                     "[N | judge:N | silent:N:RUNS | soak:N:RUNS]...\n",
                     argv[0]);
        return 2;
    }
    Context context;
    context.vettor = argv[1];
    context.fastVettor = argv[2];
    context.farm.closedFirst = std::atoi(argv[3]);
    std::string error;
    if (!context.farm.Parse(argv[4], error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 2;
    }
    std::vector<std::string> cases;
    for (int i = 5; i < argc; ++i) {
        cases.push_back(argv[i]);
    }
    if (cases.empty()) {
        cases = {"200", "1000", "silent:1000:3", "soak:2000:5"};
    }
    // The user's list in the system directory stays out of the figures.
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, sizeof system);
    const std::string userList = std::string(system) + "\\Userproxy.txt";
    const std::string savedUserList = ReadWholeFile(userList);
    const bool hadUserList = FileExists(userList);
    ::DeleteFileA(userList.c_str());

    std::printf("probe bound %lu ms, launch step %lu ms\n",
                static_cast<unsigned long>(SULVANTIX_PROBE_BOUND_MS),
                static_cast<unsigned long>(kLaunchStepMs));
    PrintHeader();
    bool ok = true;
    for (const std::string& text : cases) {
        ok = RunCase(context, text) && ok;
    }
    if (hadUserList) {
        WriteWholeFile(userList, savedUserList);
    }
    return ok ? 0 : 1;
}
