#include "tools/standins/request_reader.h"

#include "tools/standins/posix_socket.h"

#include <sys/socket.h>

namespace standins {

void SendErrorStatus(int fd, int status) {
    const std::string title = std::to_string(status) + " " + std::string(ReasonPhrase(status));
    const std::string body =
        "<html><head><title>" + title + "</title></head><body><h1>" + title + "</h1></body></html>";
    SendAll(fd, BuildResponse(status, {{"Content-Type", "text/html"}}, body, false),
            kSendTimeoutMs);
    // Closing with unread input would send RST, which can destroy the answer
    // before the client reads it: half-close and let the client go first.
    shutdown(fd, SHUT_WR);
    WaitForPeerClose(fd, kRejectLingerMs);
}

ReadOutcome ReadRequest(int fd, std::string& buffer, int timeout_ms, CRequestLog& log,
                        CIncomingRequest& out) {
    std::size_t head_end = 0;
    const Io got = ReceiveHead(fd, buffer, kRequestHeadLimit, timeout_ms, head_end);
    if (got == Io::kTooLarge) {
        log.Append(SplitHeadLines(buffer));
        SendErrorStatus(fd, 431);
        return ReadOutcome::kRejected;
    }
    if (got != Io::kOk) {
        return ReadOutcome::kEnd;
    }
    const std::string_view head_text(buffer.data(), head_end);
    log.Append(SplitHeadLines(head_text));
    CIncomingRequest request;
    if (!ParseRequestHead(head_text, request.m_head)) {
        SendErrorStatus(fd, 400);
        return ReadOutcome::kRejected;
    }
    buffer.erase(0, head_end);
    if (const std::optional<std::string_view> te =
            FindHeader(request.m_head.m_headers, "Transfer-Encoding")) {
        // Neither stand-in takes uploads; a chunked body cannot be skipped safely.
        SendErrorStatus(fd, 411);
        return ReadOutcome::kRejected;
    }
    std::size_t length = 0;
    switch (ContentLength(request.m_head.m_headers, length)) {
    case LengthStatus::kInvalid:
        SendErrorStatus(fd, 400);
        return ReadOutcome::kRejected;
    case LengthStatus::kAbsent:
        length = 0;
        break;
    case LengthStatus::kValid:
        if (length > kRequestBodyLimit) {
            SendErrorStatus(fd, 413);
            return ReadOutcome::kRejected;
        }
        break;
    }
    if (length > 0) {
        if (ReceiveAtLeast(fd, buffer, length, timeout_ms) != Io::kOk) {
            return ReadOutcome::kEnd;
        }
        request.m_strBody = buffer.substr(0, length);
        buffer.erase(0, length);
    }
    request.m_bKeepAlive = WantsKeepAlive(request.m_head);
    out = std::move(request);
    return ReadOutcome::kRequest;
}

} // namespace standins
