#include "tools/standins/connection_set.h"

#include <chrono>
#include <cstdio>
#include <exception>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace standins {

bool ConnectionSet::Start(UniqueFd socket, std::function<void(int)> serve) {
    std::uint64_t id = 0;
    const int fd = socket.get();
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        id = next_id_++;
        sockets_[id] = fd;
    }
    // The thread takes the socket over; until it runs, the map entry keeps it reachable.
    socket.release();
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

void ConnectionSet::Finish(std::uint64_t id) {
    const std::lock_guard<std::mutex> lock(mutex_);
    const auto it = sockets_.find(id);
    if (it != sockets_.end()) {
        // Closed under the lock, so ShutdownAll never touches a reused descriptor.
        close(it->second);
        sockets_.erase(it);
    }
    if (sockets_.empty()) {
        idle_.notify_all();
    }
}

void ConnectionSet::ShutdownAll() {
    const std::lock_guard<std::mutex> lock(mutex_);
    for (const auto& entry : sockets_) {
        shutdown(entry.second, SHUT_RDWR);
    }
}

bool ConnectionSet::WaitIdle(int timeout_ms) {
    std::unique_lock<std::mutex> lock(mutex_);
    return idle_.wait_for(lock, std::chrono::milliseconds(timeout_ms),
                          [this] { return sockets_.empty(); });
}

std::size_t ConnectionSet::Active() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return sockets_.size();
}

} // namespace standins
