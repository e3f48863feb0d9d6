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

struct Listener {
    PortBehaviour port;
    UniqueFd socket;
    std::unique_ptr<RequestLog> log;
};

void AcceptPending(Listener& listener, ConnectionSet& connections) {
    // Bounded: a burst larger than this waits for the next poll round.
    for (int i = 0; i < 256; ++i) {
        UniqueFd client = AcceptConnection(listener.socket.get());
        if (!client.valid()) {
            return;
        }
        const PortBehaviour port = listener.port;
        RequestLog* log = listener.log.get();
        connections.Start(std::move(client),
                          [port, log](int fd) { ServeFarmConnection(fd, port, *log); });
    }
}

int Run(const FarmOptions& options) {
    std::vector<PortBehaviour> plan;
    std::string error;
    if (!PlanFarmPorts(options, plan, error)) {
        std::fprintf(stderr, "proxy_farm: %s\n", error.c_str());
        return 2;
    }
    std::vector<Listener> listeners;
    listeners.reserve(plan.size());
    for (const PortBehaviour& port : plan) {
        UniqueFd socket = ListenLoopback(port.port, error);
        if (!socket.valid()) {
            std::fprintf(stderr, "proxy_farm: %s (%s)\n", error.c_str(),
                         std::string(BehaviourName(port.behaviour)).c_str());
            return 1;
        }
        listeners.push_back(
            Listener{port, std::move(socket),
                     std::make_unique<RequestLog>(RequestLogPath(options.state_dir, port.port))});
    }
    if (!WritePidFile(options.pid_file.c_str())) {
        std::fprintf(stderr, "proxy_farm: cannot write %s\n", options.pid_file.c_str());
        return 1;
    }
    std::printf("proxy_farm: %zu ports ready, state in %s, lifetime %d s\n", listeners.size(),
                options.state_dir.c_str(), options.lifetime_seconds);
    std::fflush(stdout);

    std::vector<pollfd> polls;
    for (const Listener& l : listeners) {
        polls.push_back(pollfd{l.socket.get(), POLLIN, 0});
    }
    ConnectionSet connections;
    const auto end =
        std::chrono::steady_clock::now() + std::chrono::seconds(options.lifetime_seconds);
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
    for (Listener& l : listeners) {
        l.socket.reset();
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
    standins::FarmOptions options;
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
