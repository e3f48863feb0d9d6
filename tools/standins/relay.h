// The farm's forwarding proxy: one request, forwarded to a loopback origin.
#pragma once

#include "tools/standins/http_head.h"
#include "tools/standins/relay_manner.h"

#include <string>
#include <string_view>

namespace standins {

constexpr int kRelayTimeoutMs = 30000;

// Answers one proxy request on `client_fd`: forwarded to a 127.0.0.1 origin
// and its answer relayed, a CONNECT tunnel to such an origin (when the
// manner allows) carrying the connection from then on, or 400/501/502/504
// from the relay itself; either way onward from the manner's own address.
// `pending` holds what the client sent after the request; a tunnel passes it
// on first. True when the connection may carry another request.
bool RelayRequest(int client_fd, const CRequestHead& head, std::string_view body, bool keep_alive,
                  const CRelayManner& manner, std::string& pending);

} // namespace standins
