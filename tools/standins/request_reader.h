// Reading one request from a client connection, recording it on the way.
#pragma once

#include "tools/standins/http_head.h"
#include "tools/standins/request_log.h"

#include <cstddef>
#include <string>
#include <vector>

namespace standins {

constexpr std::size_t kRequestHeadLimit = 64 * 1024;
constexpr std::size_t kRequestBodyLimit = 1024 * 1024;
constexpr int kSendTimeoutMs = 30000;
constexpr int kRejectLingerMs = 2000;

struct CIncomingRequest {
    CRequestHead m_head;
    std::string m_strBody;
    bool m_bKeepAlive = false;
};

enum class ReadOutcome {
    kRequest,  // a whole request is in `out`
    kEnd,      // the peer closed, went quiet, or the process stops
    kRejected, // answered with an error status already; close the connection
};

// Reads the next request from `buffer` plus the socket. Every complete head
// is appended to `log` before anything is answered, even one that does not parse.
ReadOutcome ReadRequest(int fd, std::string& buffer, int timeout_ms, CRequestLog& log,
                        CIncomingRequest& out);

// A short HTML answer with status `status`; the connection is then closing.
void SendErrorStatus(int fd, int status);

} // namespace standins
