// One thread per accepted connection, with no fixed cap, and a clean way to
// end them all: the set can wake every blocked socket and wait for the
// threads to finish.
#pragma once

#include "tools/standins/posix_socket.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>

namespace standins {

class ConnectionSet {
public:
    ConnectionSet() = default;
    ConnectionSet(const ConnectionSet&) = delete;
    ConnectionSet& operator=(const ConnectionSet&) = delete;
    // Callers wait for WaitIdle() first; threads still running then keep
    // the process from returning normally (it ends with _exit instead).
    ~ConnectionSet() = default;

    // Runs serve(fd) on a thread of its own; the set owns the socket and
    // closes it when serve returns. False (socket closed) when no thread starts.
    bool Start(UniqueFd socket, std::function<void(int)> serve);

    // Shuts every live socket down both ways, so blocked reads and writes end.
    void ShutdownAll();

    // True once no connection thread is left, false when time ran out first.
    bool WaitIdle(int timeout_ms);

    std::size_t Active() const;

private:
    void Finish(std::uint64_t id);

    mutable std::mutex mutex_;
    std::condition_variable idle_;
    std::map<std::uint64_t, int> sockets_;
    std::uint64_t next_id_ = 0;
};

} // namespace standins
