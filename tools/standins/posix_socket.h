// Loopback TCP sockets for the stand-ins: an owning descriptor and I/O calls
// that never block past their time limit and give up early on a stop request.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace standins {

class CUniqueFd {
public:
    CUniqueFd() = default;
    explicit CUniqueFd(int fd) : m_nFd(fd) {}
    ~CUniqueFd() { Reset(); }
    CUniqueFd(const CUniqueFd&) = delete;
    CUniqueFd& operator=(const CUniqueFd&) = delete;
    CUniqueFd(CUniqueFd&& other) noexcept : m_nFd(other.Release()) {}
    CUniqueFd& operator=(CUniqueFd&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }

    int Get() const { return m_nFd; }
    bool IsValid() const { return m_nFd >= 0; }
    int Release() {
        const int fd = m_nFd;
        m_nFd = -1;
        return fd;
    }
    void Reset(int fd = -1);

private:
    int m_nFd = -1;
};

enum class Io { kOk, kClosed, kTimeout, kStopped, kError, kTooLarge };

// A non-blocking listening socket on 127.0.0.1:port.
CUniqueFd ListenLoopback(int port, std::string& error);

// The next pending connection as a non-blocking socket, or an invalid one.
CUniqueFd AcceptConnection(int listen_fd);

// Connects to 127.0.0.1:port, from `from_address` (another loopback address,
// "127.0.0.N") when one is given. `status` is kClosed when the connection is refused.
CUniqueFd ConnectLoopback(int port, int timeout_ms, Io& status, std::string_view from_address = {});

// The IPv4 address the connection on fd comes from, or "" when unknown.
std::string PeerAddress(int fd);

Io SendAll(int fd, std::string_view data, int timeout_ms);

// Waits until poll reports one of `events` (POLLIN, POLLOUT) on fd.
Io WaitForSocket(int fd, short events, int timeout_ms);

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
void CloseWithReset(CUniqueFd fd);

} // namespace standins
