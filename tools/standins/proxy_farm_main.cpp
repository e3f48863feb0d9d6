// proxy_farm: HTTP "proxies" on loopback ports, each with a scripted behaviour,
// recording every request to <state>/requests-<port>.log.
#include "tools/standins/connection_set.h"
#include "tools/standins/farm_connection.h"
#include "tools/standins/posix_socket.h"
#include "tools/standins/request_log.h"
#include "tools/standins/stop_signal.h"
#include "tools/standins/standin_options.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <poll.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace standins {
namespace {

constexpr int kAcceptPollMs = 200;
constexpr int kShutdownWaitMs = 5000;

struct CListener {
    CPortBehaviour m_port;
    CUniqueFd m_socket;
    std::unique_ptr<CRequestLog> m_pLog;
};

void AcceptPending(CListener& listener, CConnectionSet& connections) {
    // Bounded: a burst larger than this waits for the next poll round.
    for (int i = 0; i < 256; ++i) {
        CUniqueFd client = AcceptConnection(listener.m_socket.Get());
        if (!client.IsValid()) {
            return;
        }
        const CPortBehaviour port = listener.m_port;
        CRequestLog* log = listener.m_pLog.get();
        connections.Start(std::move(client),
                          [port, log](int fd) { ServeFarmConnection(fd, port, *log); });
    }
}

int Run(const CFarmOptions& options) {
    std::vector<CPortBehaviour> plan;
    std::string error;
    if (!PlanFarmPorts(options, plan, error)) {
        std::fprintf(stderr, "proxy_farm: %s\n", error.c_str());
        return 2;
    }
    std::vector<CListener> listeners;
    listeners.reserve(plan.size());
    for (const CPortBehaviour& port : plan) {
        CUniqueFd socket = ListenLoopback(port.m_nPort, error);
        if (!socket.IsValid()) {
            std::fprintf(stderr, "proxy_farm: %s (%s)\n", error.c_str(),
                         std::string(BehaviourName(port.m_behaviour)).c_str());
            return 1;
        }
        listeners.push_back(CListener{
            port, std::move(socket),
            std::make_unique<CRequestLog>(RequestLogPath(options.m_strStateDir, port.m_nPort))});
    }
    if (!WritePidFile(options.m_strPidFile.c_str())) {
        std::fprintf(stderr, "proxy_farm: cannot write %s\n", options.m_strPidFile.c_str());
        return 1;
    }
    std::printf("proxy_farm: %zu ports ready, state in %s, lifetime %d s\n", listeners.size(),
                options.m_strStateDir.c_str(), options.m_nLifetimeSeconds);
    std::fflush(stdout);

    std::vector<pollfd> polls;
    for (const CListener& l : listeners) {
        polls.push_back(pollfd{l.m_socket.Get(), POLLIN, 0});
    }
    CConnectionSet connections;
    const auto end =
        std::chrono::steady_clock::now() + std::chrono::seconds(options.m_nLifetimeSeconds);
    while (!StopRequested() && std::chrono::steady_clock::now() < end) {
        const int n = poll(polls.data(), polls.size(), kAcceptPollMs);
        if (n <= 0) {
            continue;
        }
        for (std::size_t i = 0; i < polls.size(); ++i) {
            if ((polls[i].revents & POLLIN) != 0) {
                AcceptPending(listeners[i], connections);
            }
        }
    }
    const bool by_signal = StopRequested();
    RequestStop();
    // The logs stay: connection threads may still write to them until WaitIdle.
    for (CListener& l : listeners) {
        l.m_socket.Reset();
    }
    connections.ShutdownAll();
    if (!connections.WaitIdle(kShutdownWaitMs)) {
        std::fprintf(stderr, "proxy_farm: %zu connections did not end; exiting anyway\n",
                     connections.Active());
        std::fflush(nullptr);
        _exit(0);
    }
    std::printf("proxy_farm: stopped (%s)\n", by_signal ? "signal" : "lifetime over");
    return 0;
}

} // namespace
} // namespace standins

int main(int argc, char** argv) {
    standins::InstallStopSignals();
    standins::RaiseOpenFileLimit();
    const std::vector<std::string> args(argv + 1, argv + argc);
    standins::CFarmOptions options;
    std::string error;
    if (!standins::ParseFarmOptions(args, options, error)) {
        std::fprintf(stderr, "proxy_farm: %s\n", error.c_str());
        return 2;
    }
    try {
        return standins::Run(options);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "proxy_farm: %s\n", e.what());
        return 1;
    }
}
