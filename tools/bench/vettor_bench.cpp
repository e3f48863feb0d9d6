// Figures of whole validation runs of the real Vettor.exe: wall time from its
// start to the completion message, peak thread count and peak private memory.
//
//   vettor_bench VETTOR_EXE ALIVE_FIRST ALIVE_PORTS LATE_FIRST LATE_PORTS DEAD_FIRST LATE_S [N...]
//
// Entries repeat a pattern of four: alive, dead, alive, late; alive entries
// cycle over ALIVE_PORTS ports from ALIVE_FIRST, late ones (answering after
// LATE_S seconds) over LATE_PORTS from LATE_FIRST, and dead ones name ports
// from DEAD_FIRST where nothing listens. scripts/bench-vettor starts the farm
// and runs this under Wine. Counts default to 200 and 1000.
#include <windows.h>

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "checker_process.h"
#include "gui_standin_window.h"

namespace {

struct Ports {
    int aliveFirst, aliveCount, lateFirst, lateCount, deadFirst, lateSeconds;
};

std::string ListText(std::size_t count, const Ports& ports) {
    std::string text;
    std::size_t alive = 0, late = 0, dead = 0;
    for (std::size_t i = 0; i < count; ++i) {
        int port = 0;
        switch (i % 4) {
        case 1:
            port = ports.deadFirst + static_cast<int>(dead++ % 500);
            break;
        case 3:
            port = ports.lateFirst + static_cast<int>(late++ % ports.lateCount);
            break;
        default:
            port = ports.aliveFirst + static_cast<int>(alive++ % ports.aliveCount);
            break;
        }
        text += "127.0.0.1:" + std::to_string(port) + "\r\n";
    }
    return text;
}

unsigned ThreadCount(DWORD processId) {
    const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return 0;
    }
    unsigned count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snapshot, &entry); more;
         more = ::Thread32Next(snapshot, &entry)) {
        count += entry.th32OwnerProcessID == processId ? 1 : 0;
    }
    ::CloseHandle(snapshot);
    return count;
}

std::size_t PrivateBytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (!::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                                sizeof counters)) {
        return 0;
    }
    // Wine answers PrivateUsage with 0 but keeps the process's private commit
    // in PagefileUsage, which Windows reports with the same value.
    return counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
}

std::string Folder(std::size_t count) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(sizeof temp, temp);
    return std::string(temp) + "vettor-bench-" + std::to_string(count) + "\\";
}

bool RunOnce(const std::string& built, std::size_t count, const Ports& ports) {
    const std::string folder = Folder(count);
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string program = folder + "Vettor.exe";
    if (!::CopyFileA(built.c_str(), program.c_str(), FALSE) ||
        !WriteWholeFile(folder + "Vettorlist.txt", ListText(count, ports))) {
        std::fprintf(stderr, "cannot prepare %s\n", folder.c_str());
        return false;
    }

    CGuiStandInWindow gui;
    CCheckerProcess checker;
    const DWORD started = ::GetTickCount();
    if (gui.Handle() == nullptr || !checker.Start(program, false)) {
        std::fprintf(stderr, "cannot start %s\n", program.c_str());
        return false;
    }
    unsigned peakThreads = 0;
    std::size_t peakPrivate = 0;
    const DWORD limitMs = static_cast<DWORD>(count) * 100 + 180000;
    const bool done = PumpMessagesUntil(
        [&] {
            const unsigned threads = ThreadCount(checker.Id());
            const std::size_t bytes = PrivateBytes(checker.Process());
            peakThreads = threads > peakThreads ? threads : peakThreads;
            peakPrivate = bytes > peakPrivate ? bytes : peakPrivate;
            return gui.DoneCount() > 0;
        },
        limitMs);
    const double wall = (gui.LastDoneTick() - started) / 1000.0;
    checker.Close();

    const double floor = 0.1 * static_cast<double>(count) + ports.lateSeconds;
    if (!done) {
        std::printf("N=%zu: no completion message within %lu s\n", count, limitMs / 1000);
        return false;
    }
    std::printf("N=%-5zu wall %7.1f s   floor %6.1f s   goal <= %6.1f s   peak threads %4u   "
                "peak private %6.1f MiB\n",
                count, wall, floor, floor + 10 + 2, peakThreads, peakPrivate / 1048576.0);
    std::fflush(stdout);
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 8) {
        std::fprintf(stderr,
                     "usage: %s VETTOR_EXE ALIVE_FIRST ALIVE_PORTS LATE_FIRST LATE_PORTS "
                     "DEAD_FIRST LATE_S [N...]\n",
                     argv[0]);
        return 2;
    }
    const Ports ports{std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                      std::atoi(argv[5]), std::atoi(argv[6]), std::atoi(argv[7])};
    std::vector<std::size_t> counts;
    for (int i = 8; i < argc; ++i) {
        counts.push_back(static_cast<std::size_t>(std::atol(argv[i])));
    }
    if (counts.empty()) {
        counts = {200, 1000};
    }
    // The user's list in the system directory stays out of the figures.
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, sizeof system);
    const std::string userList = std::string(system) + "\\Userproxy.txt";
    const std::string savedUserList = ReadWholeFile(userList);
    const bool hadUserList = FileExists(userList);
    ::DeleteFileA(userList.c_str());

    bool ok = true;
    for (std::size_t count : counts) {
        ok = RunOnce(argv[1], count, ports) && ok;
    }
    if (hadUserList) {
        WriteWholeFile(userList, savedUserList);
    }
    return ok ? 0 : 1;
}
