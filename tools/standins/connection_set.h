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

class CConnectionSet {
public:
    CConnectionSet() = default;
    CConnectionSet(const CConnectionSet&) = delete;
    CConnectionSet& operator=(const CConnectionSet&) = delete;
    // Callers wait for WaitIdle() first; threads still running then keep
    // the process from returning normally (it ends with _exit instead).
    ~CConnectionSet() = default;

    // Runs serve(fd) on a thread of its own; the set owns the socket and
    // closes it when serve returns. False (socket closed) when no thread starts.
    bool Start(CUniqueFd socket, std::function<void(int)> serve);

    // Shuts every live socket down both ways, so blocked reads and writes end.
    void ShutdownAll();

    // True once no connection thread is left, false when time ran out first.
    bool WaitIdle(int timeout_ms);

    std::size_t Active() const;

private:
    void Finish(std::uint64_t id);

    mutable std::mutex m_mutex;
    std::condition_variable m_idle;
    std::map<std::uint64_t, int> m_sockets;
    std::uint64_t m_nNextId = 0;
};

} // namespace standins
