#include "tools/standins/stop_signal.h"

#include <atomic>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <unistd.h>

namespace standins {
namespace {

std::atomic<bool> g_stop{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler needs a lock-free flag");

extern "C" void OnStopSignal(int) {
    g_stop.store(true);
}

constexpr int kSliceMs = 100;

} // namespace

void InstallStopSignals() {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGPIPE, &ignore, nullptr);
}

bool StopRequested() {
    return g_stop.load();
}

void RequestStop() {
    g_stop.store(true);
}

bool SleepUnlessStopped(int ms) {
    while (ms > 0) {
        if (StopRequested()) {
            return false;
        }
        const int slice = ms < kSliceMs ? ms : kSliceMs;
        timespec ts{};
        ts.tv_sec = slice / 1000;
        ts.tv_nsec = static_cast<long>(slice % 1000) * 1000000L;
        nanosleep(&ts, nullptr);
        ms -= slice;
    }
    return !StopRequested();
}

void RaiseOpenFileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

bool WritePidFile(const char* path) {
    if (path == nullptr || *path == '\0') {
        return true;
    }
    std::FILE* file = std::fopen(path, "w");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fprintf(file, "%ld\n", static_cast<long>(getpid())) > 0;
    return std::fclose(file) == 0 && written;
}

} // namespace standins
