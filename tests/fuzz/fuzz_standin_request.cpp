// The stand-ins' request reading over a real socket pair: the input is what a
// client sends before it half-closes. Reading never crashes, ends, and never
// makes up more than it was sent; what it returns is well formed. Targets
// are split as the relay splits them.
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "tests/fuzz/fuzz_check.h"
#include "tools/standins/absolute_uri.h"
#include "tools/standins/http_head.h"
#include "tools/standins/posix_socket.h"
#include "tools/standins/request_reader.h"

namespace {

using namespace standins;

// Past the head limit, so the refusal of a head too large is reached too.
constexpr std::size_t kLongStream = kRequestHeadLimit + 4096;
constexpr int kSocketBuffer = 1024 * 1024;
constexpr int kTimeoutMs = 2000;

bool IsToken(std::string_view text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u >= 0x7f ||
            std::string_view("\"(),/:;<=>?@[\\]{}").find(c) != std::string_view::npos) {
            return false;
        }
    }
    return true;
}

void CheckTarget(const std::string& target) {
    CAbsoluteUri uri;
    if (SplitAbsoluteUri(target, uri)) {
        FUZZ_CHECK(!uri.m_strHost.empty() && uri.m_strHost.size() < target.size());
        FUZZ_CHECK(uri.m_nPort >= 1 && uri.m_nPort <= 65535);
        FUZZ_CHECK(!uri.m_strPath.empty() && uri.m_strPath[0] == '/');
        FUZZ_CHECK(uri.m_strPath.find('#') == std::string::npos);
        FUZZ_CHECK(uri.m_strPath.size() <= target.size());
    }
    const std::string path = RequestPath(target);
    FUZZ_CHECK(path.find_first_of("?#") == std::string::npos);
    FUZZ_CHECK(path.size() <= target.size());
}

void CheckRequest(const CIncomingRequest& request) {
    const CRequestHead& head = request.m_head;
    FUZZ_CHECK(IsToken(head.m_strMethod));
    FUZZ_CHECK(!head.m_strTarget.empty() && head.m_strTarget.find(' ') == std::string::npos);
    FUZZ_CHECK(head.m_strVersion.size() == 8 && head.m_strVersion.compare(0, 5, "HTTP/") == 0);
    for (const CHeader& header : head.m_headers) {
        FUZZ_CHECK(IsToken(header.m_strName));
        FUZZ_CHECK(header.m_strValue.find('\n') == std::string::npos);
    }
    FUZZ_CHECK(!FindHeader(head.m_headers, "Transfer-Encoding"));
    std::size_t length = 0;
    const LengthStatus status = ContentLength(head.m_headers, length);
    FUZZ_CHECK(status != LengthStatus::kInvalid);
    FUZZ_CHECK(request.m_strBody.size() == (status == LengthStatus::kValid ? length : 0));
    FUZZ_CHECK(request.m_strBody.size() <= kRequestBodyLimit);
    FUZZ_CHECK(request.m_bKeepAlive == WantsKeepAlive(head));
    CheckTarget(head.m_strTarget);
}

// Sends `stream`, half-closes, and reads requests until the reader stops.
void ReadAll(std::string_view stream) {
    int fds[2];
    FUZZ_CHECK(socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, fds) == 0);
    CUniqueFd reader(fds[0]);
    CUniqueFd client(fds[1]);
    setsockopt(client.Get(), SOL_SOCKET, SO_SNDBUF, &kSocketBuffer, sizeof kSocketBuffer);
    setsockopt(reader.Get(), SOL_SOCKET, SO_RCVBUF, &kSocketBuffer, sizeof kSocketBuffer);
    fcntl(reader.Get(), F_SETFL, O_NONBLOCK);
    fcntl(client.Get(), F_SETFL, O_NONBLOCK);
    // What does not fit in the pair's buffers is simply not sent.
    std::string_view rest = stream;
    while (!rest.empty()) {
        const ssize_t sent = send(client.Get(), rest.data(), rest.size(), MSG_NOSIGNAL);
        if (sent <= 0) {
            break;
        }
        rest.remove_prefix(static_cast<std::size_t>(sent));
    }
    const std::size_t sentBytes = stream.size() - rest.size();
    shutdown(client.Get(), SHUT_WR);

    CRequestLog log("/dev/null");
    std::string buffer;
    std::size_t taken = 0;
    for (std::size_t count = 0;; ++count) {
        // Each request takes at least "A / HTTP/1.1\n\n": the loop must end.
        FUZZ_CHECK(count <= sentBytes / 14);
        CIncomingRequest request;
        const ReadOutcome outcome = ReadRequest(reader.Get(), buffer, kTimeoutMs, log, request);
        FUZZ_CHECK(buffer.size() <= sentBytes);
        if (outcome != ReadOutcome::kRequest) {
            break;
        }
        CheckRequest(request);
        taken += request.m_head.m_strMethod.size() + request.m_head.m_strTarget.size() +
                 request.m_strBody.size();
        FUZZ_CHECK(taken <= sentBytes);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    CResponseHead response;
    if (ParseResponseHead(input, response)) {
        FUZZ_CHECK(response.m_nStatus >= 0 && response.m_nStatus <= 999);
    }
    ReadAll(input);

    // A stream that runs past the head limit: the input over and over.
    if (size > 0 && data[size - 1] == 0xff) {
        std::string stream;
        while (stream.size() < kLongStream) {
            stream.append(input);
        }
        ReadAll(stream);
    }
    return 0;
}
