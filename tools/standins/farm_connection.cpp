#include "tools/standins/farm_connection.h"

#include "tools/standins/judge_lies.h"
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

// One piece of the trickle (a byte or a line) a second until the peer goes.
void Trickle(int fd, Ending ending) {
    const auto started = std::chrono::steady_clock::now();
    for (std::size_t i = 0;; ++i) {
        if (!SleepUnlessStopped(kTrickleGapMs) || PeerHasGone(fd)) {
            return;
        }
        if (std::chrono::steady_clock::now() - started >
            std::chrono::milliseconds(kFarmHoldLimitMs)) {
            return;
        }
        const std::string piece =
            ending == Ending::kTrickleLines ? TrickleLine(i) : std::string(1, TrickleByte(i));
        if (SendAll(fd, piece, kSendTimeoutMs) != Io::kOk) {
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
    case Ending::kTrickleLines:
        Trickle(fd, script.m_ending);
        return false;
    }
    return false;
}

// Answers one request by the port's behaviour; true when the connection may
// carry another request.
bool Answer(int fd, const CPortBehaviour& port, const std::string& client,
            const CIncomingRequest& request, std::string& buffer) {
    const CRequestHead& head = request.m_head;
    const bool head_only = head.m_strMethod == "HEAD";
    const bool keep_alive = request.m_bKeepAlive;
    switch (RoleOf(port.m_behaviour)) {
    case Role::kScripted:
        return PlayScript(fd,
                          ScriptFor(port.m_behaviour, port.m_nDelaySeconds, head_only, keep_alive));
    case Role::kHostileJudge:
        return PlayScript(fd, HostileJudgeScript(port.m_behaviour, head, port.m_nPort, keep_alive));
    case Role::kRelaying:
        break;
    }
    if (port.m_behaviour == Behaviour::kJudgeCache && IsJudgeRequest(head)) {
        return PlayScript(fd, CachedJudgeScript(port.m_nPort, head_only, keep_alive));
    }
    const CRelayManner manner = RelayMannerFor(port.m_behaviour, port.m_nPort, client);
    if (RelayRequest(fd, head, request.m_strBody, keep_alive, manner, buffer)) {
        return true;
    }
    CloseGracefully(fd);
    return false;
}

} // namespace

void ServeFarmConnection(int fd, const CPortBehaviour& port, CRequestLog& log) {
    const std::string client = PeerAddress(fd);
    std::string buffer;
    for (int served = 0; served < kFarmMaxRequestsPerConnection; ++served) {
        CIncomingRequest request;
        if (ReadRequest(fd, buffer, kFarmIdleMs, log, request) != ReadOutcome::kRequest ||
            !Answer(fd, port, client, request, buffer)) {
            return;
        }
    }
}

} // namespace standins
