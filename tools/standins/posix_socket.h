// Loopback TCP sockets for the stand-ins: an owning descriptor and I/O calls
// that never block past their time limit and give up early on a stop request.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace standins {

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { reset(); }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    int release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }
    void reset(int fd = -1);

private:
    int fd_ = -1;
};

enum class Io { kOk, kClosed, kTimeout, kStopped, kError, kTooLarge };

// A non-blocking listening socket on 127.0.0.1:port.
UniqueFd ListenLoopback(int port, std::string& error);

// The next pending connection as a non-blocking socket, or an invalid one.
UniqueFd AcceptConnection(int listen_fd);

// Connects to 127.0.0.1:port. `status` is kClosed when the connection is refused.
UniqueFd ConnectLoopback(int port, int timeout_ms, Io& status);

Io SendAll(int fd, std::string_view data, int timeout_ms);

// Appends whatever arrives first (at most `max_bytes`) to `buffer`.
Io ReceiveSome(int fd, std::string& buffer, std::size_t max_bytes, int timeout_ms);

// Receives until `buffer` holds a whole message head (leading empty lines are
// dropped); `head_end` is then the offset just past it.
Io ReceiveHead(int fd, std::string& buffer, std::size_t limit, int timeout_ms,
               std::size_t& head_end);

// Receives until `buffer` holds at least `size` bytes.
Io ReceiveAtLeast(int fd, std::string& buffer, std::size_t size, int timeout_ms);

// Receives until the peer closes; kOk then.
Io ReceiveToEnd(int fd, std::string& buffer, std::size_t limit, int timeout_ms);

// Discards anything the peer sends until it closes (kClosed) or time is up.
Io WaitForPeerClose(int fd, int timeout_ms);

// Closes so that the peer gets RST instead of FIN.
void CloseWithReset(UniqueFd fd);

} // namespace standins
