#include "tools/standins/farm_connection.h"

#include "tools/standins/posix_socket.h"
#include "tools/standins/relay.h"
#include "tools/standins/request_reader.h"
#include "tools/standins/stop_signal.h"

#include <chrono>
#include <cerrno>
#include <sys/socket.h>

namespace standins {
namespace {

bool PeerHasGone(int fd) {
    // Anything the client sends is of no interest here; only its end matters.
    char discard[4096];
    const ssize_t n = recv(fd, discard, sizeof discard, MSG_DONTWAIT);
    if (n == 0) {
        return true;
    }
    return n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR;
}

void Trickle(int fd) {
    const auto started = std::chrono::steady_clock::now();
    for (std::size_t i = 0;; ++i) {
        if (!SleepUnlessStopped(kTrickleGapMs) || PeerHasGone(fd)) {
            return;
        }
        if (std::chrono::steady_clock::now() - started >
            std::chrono::milliseconds(kFarmHoldLimitMs)) {
            return;
        }
        const char byte = TrickleByte(i);
        if (SendAll(fd, std::string_view(&byte, 1), kSendTimeoutMs) != Io::kOk) {
            return;
        }
    }
}

// Half-closes, then lets the client read to the end: closing with unread
// input would send RST and could cost the client the tail of the reply.
void CloseGracefully(int fd) {
    shutdown(fd, SHUT_WR);
    WaitForPeerClose(fd, kFarmLingerMs);
}

// Plays one scripted reply; true when the connection may carry another request.
bool PlayScript(int fd, const CScript& script) {
    for (const CPiece& piece : script.m_pieces) {
        if (piece.m_nDelayMs > 0 && !SleepUnlessStopped(piece.m_nDelayMs)) {
            return false;
        }
        if (SendAll(fd, piece.m_strBytes, kSendTimeoutMs) != Io::kOk) {
            return false;
        }
    }
    switch (script.m_ending) {
    case Ending::kKeepAlive:
        return true;
    case Ending::kClose:
        CloseGracefully(fd);
        return false;
    case Ending::kReset: {
        // The connection set closes the socket; with linger {1, 0} that close sends RST.
        const linger abort_close{1, 0};
        setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort_close, sizeof abort_close);
        return false;
    }
    case Ending::kHold:
        WaitForPeerClose(fd, kFarmHoldLimitMs);
        return false;
    case Ending::kTrickle:
        Trickle(fd);
        return false;
    }
    return false;
}

} // namespace

void ServeFarmConnection(int fd, const CPortBehaviour& port, CRequestLog& log) {
    std::string buffer;
    for (int served = 0; served < kFarmMaxRequestsPerConnection; ++served) {
        CIncomingRequest request;
        if (ReadRequest(fd, buffer, kFarmIdleMs, log, request) != ReadOutcome::kRequest) {
            return;
        }
        bool again = false;
        if (IsScripted(port.m_behaviour)) {
            again = PlayScript(fd, ScriptFor(port.m_behaviour, port.m_nDelaySeconds,
                                             request.m_head.m_strMethod == "HEAD",
                                             request.m_bKeepAlive));
        } else {
            const ConnectPolicy connect = port.m_behaviour == Behaviour::kRelay
                                              ? ConnectPolicy::kTunnel
                                              : ConnectPolicy::kRefuse;
            again = RelayRequest(fd, request.m_head, request.m_strBody, request.m_bKeepAlive,
                                 connect, buffer);
            if (!again) {
                CloseGracefully(fd);
            }
        }
        if (!again) {
            return;
        }
    }
}

} // namespace standins
