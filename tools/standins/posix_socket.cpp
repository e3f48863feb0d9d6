#include "tools/standins/posix_socket.h"

#include "tools/standins/http_head.h"
#include "tools/standins/stop_signal.h"

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace standins {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kPollSliceMs = 200;
constexpr int kListenBacklog = 4096;
constexpr std::size_t kReadChunk = 16 * 1024;

sockaddr_in LoopbackAddress(int port) {
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<uint16_t>(port));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return addr;
}

// Waits for `events` on fd until the deadline, in slices so a stop is seen.
Io WaitFor(int fd, short events, Clock::time_point deadline) {
    while (true) {
        if (StopRequested()) {
            return Io::kStopped;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) {
            return Io::kTimeout;
        }
        pollfd p{fd, events, 0};
        const int slice = left < kPollSliceMs ? static_cast<int>(left) : kPollSliceMs;
        const int n = poll(&p, 1, slice);
        if (n < 0 && errno != EINTR) {
            return Io::kError;
        }
        if (n > 0) {
            return Io::kOk;
        }
    }
}

Clock::time_point DeadlineIn(int timeout_ms) {
    return Clock::now() + std::chrono::milliseconds(timeout_ms);
}

// One recv into the buffer's tail; kClosed on end of stream.
Io ReceiveOnce(int fd, std::string& buffer, std::size_t max_bytes, Clock::time_point deadline) {
    while (true) {
        const Io waited = WaitFor(fd, POLLIN, deadline);
        if (waited != Io::kOk) {
            return waited;
        }
        char chunk[kReadChunk];
        const std::size_t want = max_bytes < sizeof chunk ? max_bytes : sizeof chunk;
        const ssize_t n = recv(fd, chunk, want, 0);
        if (n > 0) {
            buffer.append(chunk, static_cast<std::size_t>(n));
            return Io::kOk;
        }
        if (n == 0) {
            return Io::kClosed;
        }
        if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            return errno == ECONNRESET ? Io::kClosed : Io::kError;
        }
    }
}

// Binds an outgoing socket to `address`, port left to connect: with the port
// chosen at bind time every source address would draw on one shared pool.
bool BindSource(int fd, std::string_view address) {
    sockaddr_in source{};
    source.sin_family = AF_INET;
    const std::string text(address);
    if (inet_pton(AF_INET, text.c_str(), &source.sin_addr) != 1) {
        return false;
    }
#ifdef IP_BIND_ADDRESS_NO_PORT
    const int on = 1;
    setsockopt(fd, IPPROTO_IP, IP_BIND_ADDRESS_NO_PORT, &on, sizeof on);
#endif
    return bind(fd, reinterpret_cast<const sockaddr*>(&source), sizeof source) == 0;
}

} // namespace

void CUniqueFd::Reset(int fd) {
    if (m_nFd >= 0) {
        close(m_nFd);
    }
    m_nFd = fd;
}

CUniqueFd ListenLoopback(int port, std::string& error) {
    CUniqueFd fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd.IsValid()) {
        error = std::string("socket: ") + std::strerror(errno);
        return CUniqueFd();
    }
    const int on = 1;
    setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const sockaddr_in addr = LoopbackAddress(port);
    if (bind(fd.Get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) != 0) {
        error = "bind 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
        return CUniqueFd();
    }
    if (listen(fd.Get(), kListenBacklog) != 0) {
        error = "listen 127.0.0.1:" + std::to_string(port) + ": " + std::strerror(errno);
        return CUniqueFd();
    }
    return fd;
}

CUniqueFd AcceptConnection(int listen_fd) {
    return CUniqueFd(accept4(listen_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK));
}

CUniqueFd ConnectLoopback(int port, int timeout_ms, Io& status, std::string_view from_address) {
    CUniqueFd fd(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (!fd.IsValid() || (!from_address.empty() && !BindSource(fd.Get(), from_address))) {
        status = Io::kError;
        return CUniqueFd();
    }
    const sockaddr_in addr = LoopbackAddress(port);
    if (connect(fd.Get(), reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0) {
        status = Io::kOk;
        return fd;
    }
    if (errno != EINPROGRESS) {
        status = errno == ECONNREFUSED ? Io::kClosed : Io::kError;
        return CUniqueFd();
    }
    status = WaitFor(fd.Get(), POLLOUT, DeadlineIn(timeout_ms));
    if (status != Io::kOk) {
        return CUniqueFd();
    }
    int so_error = 0;
    socklen_t len = sizeof so_error;
    if (getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &so_error, &len) != 0 || so_error != 0) {
        status = so_error == ECONNREFUSED ? Io::kClosed : Io::kError;
        return CUniqueFd();
    }
    return fd;
}

Io SendAll(int fd, std::string_view data, int timeout_ms) {
    const Clock::time_point deadline = DeadlineIn(timeout_ms);
    while (!data.empty()) {
        const ssize_t n = send(fd, data.data(), data.size(), MSG_NOSIGNAL);
        if (n > 0) {
            data.remove_prefix(static_cast<std::size_t>(n));
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) {
            const Io waited = WaitFor(fd, POLLOUT, deadline);
            if (waited != Io::kOk) {
                return waited;
            }
            continue;
        }
        return (errno == EPIPE || errno == ECONNRESET) ? Io::kClosed : Io::kError;
    }
    return Io::kOk;
}

Io WaitForSocket(int fd, short events, int timeout_ms) {
    return WaitFor(fd, events, DeadlineIn(timeout_ms));
}

Io ReceiveSome(int fd, std::string& buffer, std::size_t max_bytes, int timeout_ms) {
    return ReceiveOnce(fd, buffer, max_bytes, DeadlineIn(timeout_ms));
}

Io ReceiveHead(int fd, std::string& buffer, std::size_t limit, int timeout_ms,
               std::size_t& head_end) {
    const Clock::time_point deadline = DeadlineIn(timeout_ms);
    while (true) {
        const std::size_t first = buffer.find_first_not_of("\r\n");
        buffer.erase(0, first == std::string::npos ? buffer.size() : first);
        if (const std::optional<std::size_t> end = FindHeadEnd(buffer)) {
            head_end = *end;
            return Io::kOk;
        }
        if (buffer.size() >= limit) {
            return Io::kTooLarge;
        }
        const Io got = ReceiveOnce(fd, buffer, limit - buffer.size(), deadline);
        if (got != Io::kOk) {
            return got;
        }
    }
}

Io ReceiveAtLeast(int fd, std::string& buffer, std::size_t size, int timeout_ms) {
    const Clock::time_point deadline = DeadlineIn(timeout_ms);
    while (buffer.size() < size) {
        const Io got = ReceiveOnce(fd, buffer, size - buffer.size(), deadline);
        if (got != Io::kOk) {
            return got;
        }
    }
    return Io::kOk;
}

Io ReceiveToEnd(int fd, std::string& buffer, std::size_t limit, int timeout_ms) {
    const Clock::time_point deadline = DeadlineIn(timeout_ms);
    while (true) {
        if (buffer.size() >= limit) {
            return Io::kTooLarge;
        }
        const Io got = ReceiveOnce(fd, buffer, limit - buffer.size(), deadline);
        if (got == Io::kClosed) {
            return Io::kOk;
        }
        if (got != Io::kOk) {
            return got;
        }
    }
}

Io WaitForPeerClose(int fd, int timeout_ms) {
    const Clock::time_point deadline = DeadlineIn(timeout_ms);
    while (true) {
        std::string discard;
        const Io got = ReceiveOnce(fd, discard, kReadChunk, deadline);
        if (got != Io::kOk) {
            return got;
        }
    }
}

std::string PeerAddress(int fd) {
    sockaddr_in peer{};
    socklen_t size = sizeof peer;
    char text[INET_ADDRSTRLEN] = {};
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &size) != 0 ||
        peer.sin_family != AF_INET ||
        inet_ntop(AF_INET, &peer.sin_addr, text, sizeof text) == nullptr) {
        return std::string();
    }
    return text;
}

void CloseWithReset(CUniqueFd fd) {
    if (!fd.IsValid()) {
        return;
    }
    const linger abort_close{1, 0};
    setsockopt(fd.Get(), SOL_SOCKET, SO_LINGER, &abort_close, sizeof abort_close);
    fd.Reset();
}

} // namespace standins
