#include "tools/standins/relay.h"

#include "tools/standins/byte_pump.h"
#include "tools/standins/posix_socket.h"
#include "tools/standins/relay_rules.h"

#include <string>

namespace standins {
namespace {

constexpr std::size_t kMaxOriginResponse = 32 * 1024 * 1024;

std::string RelayError(int status, std::string_view why, bool keep_alive) {
    std::string body = "<html><head><title>" + std::to_string(status) + " " +
                       std::string(ReasonPhrase(status)) + "</title></head><body><p>" +
                       std::string(why) + "</p></body></html>";
    return BuildResponse(status, {{"Content-Type", "text/html"}}, body, keep_alive);
}

bool Answer(int client_fd, const std::string& response, bool keep_alive) {
    return SendAll(client_fd, response, kRelayTimeoutMs) == Io::kOk && keep_alive;
}

// Joins the client to the origin until either side is done; the connection
// ends with the tunnel.
void Tunnel(int client_fd, int origin_fd, std::string& pending) {
    if (SendAll(client_fd, "HTTP/1.1 200 Connection established\r\n\r\n", kRelayTimeoutMs) !=
        Io::kOk) {
        return;
    }
    if (!pending.empty() && SendAll(origin_fd, pending, kRelayTimeoutMs) != Io::kOk) {
        return;
    }
    pending.clear();
    PumpBothWays(client_fd, origin_fd, kRelayTimeoutMs);
}

} // namespace

bool RelayRequest(int client_fd, const CRequestHead& head, std::string_view body, bool keep_alive,
                  const CRelayManner& manner, std::string& pending) {
    const CRelayDecision decision = DecideRelay(head, manner.m_connect);
    switch (decision.m_kind) {
    case CRelayDecision::Kind::kBadRequest:
        return Answer(client_fd, RelayError(400, "The relay needs an absolute http URI.", false),
                      false);
    case CRelayDecision::Kind::kNotImplemented:
        return Answer(client_fd, RelayError(501, "The relay does not tunnel.", keep_alive),
                      keep_alive);
    case CRelayDecision::Kind::kRefusedHost:
        return Answer(client_fd,
                      RelayError(502, "The relay forwards to 127.0.0.1 only.", keep_alive),
                      keep_alive);
    case CRelayDecision::Kind::kForward:
    case CRelayDecision::Kind::kTunnel:
        break;
    }
    Io status = Io::kOk;
    CUniqueFd origin =
        ConnectLoopback(decision.m_uri.m_nPort, kRelayTimeoutMs, status, manner.m_strOnwardAddress);
    if (!origin.IsValid()) {
        if (status == Io::kStopped) {
            return false;
        }
        const int code = status == Io::kTimeout ? 504 : 502;
        return Answer(client_fd, RelayError(code, "The origin cannot be reached.", keep_alive),
                      keep_alive);
    }
    if (decision.m_kind == CRelayDecision::Kind::kTunnel) {
        Tunnel(client_fd, origin.Get(), pending);
        return false;
    }
    status = SendAll(origin.Get(), BuildOriginRequest(head, decision.m_uri, body, manner.m_marks),
                     kRelayTimeoutMs);
    std::string raw;
    if (status == Io::kOk) {
        status = ReceiveToEnd(origin.Get(), raw, kMaxOriginResponse, kRelayTimeoutMs);
    }
    if (status == Io::kStopped) {
        return false;
    }
    std::string response;
    if (status == Io::kTimeout) {
        response = RelayError(504, "The origin did not answer in time.", keep_alive);
    } else if (status != Io::kOk ||
               !ReframeOriginResponse(raw, head.m_strMethod == "HEAD", keep_alive, response,
                                      BodyPrefixFor(manner, head))) {
        response = RelayError(502, "The origin's answer is no HTTP response.", keep_alive);
    }
    return Answer(client_fd, response, keep_alive);
}

} // namespace standins
