#include "tools/standins/connection_set.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace standins {

bool CConnectionSet::Start(CUniqueFd socket, std::function<void(int)> serve) {
    std::uint64_t id = 0;
    const int fd = socket.Get();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        id = m_nNextId++;
        m_sockets[id] = fd;
    }
    // The thread takes the socket over; until it runs, the map entry keeps it reachable.
    socket.Release();
    try {
        std::thread([this, id, fd, serve = std::move(serve)]() mutable {
            try {
                // Destroyed before Finish, so nothing of the thread outlives the set's count.
                const std::function<void(int)> run = std::move(serve);
                run(fd);
            } catch (const std::exception& e) {
                std::fprintf(stderr, "connection thread: %s\n", e.what());
            } catch (...) {
                std::fprintf(stderr, "connection thread: unknown exception\n");
            }
            Finish(id);
        }).detach();
        return true;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "cannot start a connection thread: %s\n", e.what());
        Finish(id);
        return false;
    }
}

void CConnectionSet::Finish(std::uint64_t id) {
    const std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_sockets.find(id);
    if (it != m_sockets.end()) {
        // Closed under the lock, so ShutdownAll never touches a reused descriptor.
        close(it->second);
        m_sockets.erase(it);
    }
    if (m_sockets.empty()) {
        m_idle.notify_all();
    }
}

void CConnectionSet::ShutdownAll() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& entry : m_sockets) {
        shutdown(entry.second, SHUT_RDWR);
    }
}

bool CConnectionSet::WaitIdle(int timeout_ms) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_idle.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                           [this] { return m_sockets.empty(); });
}

std::size_t CConnectionSet::Active() const {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_sockets.size();
}

} // namespace standins
