// Figures of the real Sulvantix.exe: time from its process start to a visible
// main window showing the whole list the update server sent (for lists of N
// entries), its private memory once idle, and the time of one rotation step
// (the apply of one entry with its two notifications).
//
//   sulvantix_bench SULVANTIX_EXE SERVED_LIST_PATH [N...]     (counts default to 10000 50000)
//
// scripts/bench-sulvantix starts the update server that serves
// SERVED_LIST_PATH and runs this under Wine. The programs must not be running.
#include <windows.h>

#include <wininet.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "shared/proxy_options.h"
#include "tests/support/file_access.h"
#include "tests/support/process_memory.h"
#include "tests/support/process_start.h"
#include "tests/support/process_windows.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Entries as public lists have them: scattered addresses on common proxy
// ports. Each is distinct and none is the beginning of another (the port is
// followed by nothing and all ports have four or five digits), so all are listed.
std::string ListText(std::size_t count) {
    static const char* const kPorts[] = {"8080", "3128", "8000", "1080", "8888", "53281"};
    std::mt19937 random(12345);
    std::set<std::string> seen;
    std::string text;
    text.reserve(count * 24);
    while (seen.size() < count) {
        std::string entry = std::to_string(random() % 223 + 1) + "." +
                            std::to_string(random() % 256) + "." + std::to_string(random() % 256) +
                            "." + std::to_string(random() % 254 + 1) + ":" + kPorts[random() % 6];
        if (seen.insert(entry).second) {
            text += entry + "\r\n";
        }
    }
    return text;
}

// The shown main window: the one with the proxy list box.
HWND MainWindowOf(DWORD processId) {
    return FindProcessWindow(processId, [](HWND window) {
        return ::IsWindowVisible(window) && ::GetDlgItem(window, 1001) != nullptr;
    });
}

bool StartUp(const std::string& program, const std::string& served, std::size_t count) {
    const std::string folder = program.substr(0, program.find_last_of('\\') + 1);
    ::CreateDirectoryA((folder + "Update").c_str(), nullptr);
    if (!WriteWholeFile(served, ListText(count))) {
        std::fprintf(stderr, "cannot write %s\n", served.c_str());
        return false;
    }
    CStartOptions options;
    options.m_strFolder = folder;
    const Clock::time_point start = Clock::now();
    const CStartedProcess process = StartProcess("\"" + program + "\"", options);
    if (!process) {
        std::fprintf(stderr, "cannot start %s\n", program.c_str());
        return false;
    }
    HWND main = nullptr;
    double visibleMs = -1;
    while (MsSince(start) < 60000) {
        main = MainWindowOf(process.m_nId);
        if (main != nullptr && static_cast<std::size_t>(::SendMessageA(
                                   ::GetDlgItem(main, 1001), LB_GETCOUNT, 0, 0)) == count) {
            visibleMs = MsSince(start);
            break;
        }
        ::Sleep(5);
    }
    std::size_t idle = 0;
    if (visibleMs >= 0) {
        ::Sleep(3000);
        idle = ProcessMemory(process.m_hProcess.Get()).m_nPrivateBytes;
        ::PostMessageA(main, WM_CLOSE, 0, 0);
    }
    if (::WaitForSingleObject(process.m_hProcess.Get(), 20000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.m_hProcess.Get(), 1);
    }
    if (visibleMs < 0) {
        std::printf("N=%-6zu no visible main window with the whole list within 60 s\n", count);
        return false;
    }
    std::printf("N=%-6zu start to visible window %8.1f ms (goal < %4.0f ms)   idle private %6.1f "
                "MiB (goal < 16 MiB)\n",
                count, visibleMs, count <= 10000 ? 1000.0 : 2000.0, idle / 1048576.0);
    std::fflush(stdout);
    return true;
}

void RotationStep() {
    CSavedProxyOptions user;
    SaveProxyOptions(SystemInternetOptions(), user);
    std::vector<double> times;
    for (int i = 0; i < 100; ++i) {
        const Clock::time_point start = Clock::now();
        ApplyProxy(SystemInternetOptions(), "10.0.0." + std::to_string(i % 250 + 1), 3128);
        times.push_back(MsSince(start));
    }
    RestoreProxyOptions(SystemInternetOptions(), user);
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times) {
        sum += t;
    }
    std::printf("rotation step (apply + refresh + settings changed), 100 steps: mean %.2f ms, "
                "median %.2f ms, max %.2f ms (goal < 50 ms)\n",
                sum / times.size(), times[times.size() / 2], times.back());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SULVANTIX_EXE SERVED_LIST_PATH [N...]\n", argv[0]);
        return 2;
    }
    std::vector<std::size_t> counts;
    for (int i = 3; i < argc; ++i) {
        counts.push_back(static_cast<std::size_t>(std::atol(argv[i])));
    }
    if (counts.empty()) {
        counts = {10000, 50000};
    }
#ifdef _WIN64
    std::printf("build: win64\n");
#else
    std::printf("build: win32\n");
#endif
    bool ok = true;
    for (std::size_t count : counts) {
        ok = StartUp(argv[1], argv[2], count) && ok;
    }
    RotationStep();
    return ok ? 0 : 1;
}
