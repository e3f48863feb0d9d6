// The forwarding proxy's rewriting of requests and responses, as plain text
// transformations.
#pragma once

#include "tools/standins/absolute_uri.h"
#include "tools/standins/http_head.h"

#include <string>
#include <string_view>

namespace standins {

// Where a proxy request may be forwarded or tunnelled, or why not.
struct CRelayDecision {
    enum class Kind { kForward, kTunnel, kBadRequest, kRefusedHost, kNotImplemented };
    Kind m_kind = Kind::kBadRequest;
    CAbsoluteUri m_uri; // kTunnel: host and port only
};

// Whether the relay opens CONNECT tunnels (to loopback origins only) or
// answers every CONNECT as not implemented.
enum class ConnectPolicy { kRefuse, kTunnel };

CRelayDecision DecideRelay(const CRequestHead& head,
                           ConnectPolicy connect = ConnectPolicy::kRefuse);

// The request as the origin gets it: origin-form target, the client's
// headers less the hop-by-hop ones, "Connection: close" so the end of the
// answer is the end of the connection, then the body. `marks` are the
// relay's own headers, added after the client's; an X-Forwarded-For among
// them extends the client's own list instead of repeating the header.
std::string BuildOriginRequest(const CRequestHead& head, const CAbsoluteUri& uri,
                               std::string_view body, const Headers& marks = {});

// Turns the origin's complete answer (read until it closed) into one that the
// client can frame on a kept connection: hop-by-hop headers dropped, a body
// without length gets a Content-Length. `body_prefix` goes in front of any
// body (as a chunk of its own in a chunked one), the length counting it.
// False when the answer is no HTTP response.
bool ReframeOriginResponse(std::string_view raw, bool head_request, bool keep_alive,
                           std::string& out, std::string_view body_prefix = {});

} // namespace standins
