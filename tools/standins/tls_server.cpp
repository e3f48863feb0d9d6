#include "tools/standins/tls_server.h"

#include "tools/standins/posix_socket.h"
#include "tools/standins/stop_signal.h"

#include <openssl/err.h>

#include <cerrno>
#include <chrono>
#include <memory>
#include <poll.h>
#include <string_view>
#include <sys/socket.h>
#include <thread>

namespace standins {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kHandshakeTimeoutMs = 30000;
constexpr int kTlsSendTimeoutMs = 30000;
constexpr int kTlsIdleMs = 120000;
constexpr int kCarrySliceMs = 200;
constexpr std::size_t kChunk = 16 * 1024;

struct CSslFree {
    void operator()(SSL* ssl) const { SSL_free(ssl); }
};
using CSslOwner = std::unique_ptr<SSL, CSslFree>;

std::string LastTlsError(const char* what) {
    char text[256] = {};
    ERR_error_string_n(ERR_get_error(), text, sizeof text);
    return std::string(what) + ": " + text;
}

// Waits for what the TLS call that returned `ret` needs from the socket.
Io WaitForTls(SSL* ssl, int ret, int fd, int timeout_ms) {
    switch (SSL_get_error(ssl, ret)) {
    case SSL_ERROR_WANT_READ:
        return WaitForSocket(fd, POLLIN, timeout_ms);
    case SSL_ERROR_WANT_WRITE:
        return WaitForSocket(fd, POLLOUT, timeout_ms);
    case SSL_ERROR_ZERO_RETURN:
        return Io::kClosed;
    default:
        return Io::kError;
    }
}

bool Handshake(SSL* ssl, int fd) {
    const Clock::time_point deadline =
        Clock::now() + std::chrono::milliseconds(kHandshakeTimeoutMs);
    for (;;) {
        const int ret = SSL_accept(ssl);
        if (ret == 1) {
            return true;
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || WaitForTls(ssl, ret, fd, static_cast<int>(left)) != Io::kOk) {
            return false;
        }
    }
}

bool WriteTls(SSL* ssl, int fd, std::string_view data) {
    while (!data.empty()) {
        std::size_t written = 0;
        // A retry after WANT_* must offer the same bytes again, which this does.
        const int ret = SSL_write_ex(ssl, data.data(), data.size(), &written);
        if (ret == 1) {
            data.remove_prefix(written);
            continue;
        }
        if (WaitForTls(ssl, ret, fd, kTlsSendTimeoutMs) != Io::kOk) {
            return false;
        }
    }
    return true;
}

// Carries bytes between the TLS layer and the plain end until the server's
// side closes (its close becomes the client's close_notify), either fails,
// nothing moves for a long time, or the process stops. The client's end is
// passed on to the server as a half-close.
void Carry(SSL* ssl, int tls_fd, int plain_fd) {
    bool client_done = false;
    Clock::time_point last_moved = Clock::now();
    char buffer[kChunk];
    while (!StopRequested() && Clock::now() - last_moved < std::chrono::milliseconds(kTlsIdleMs)) {
        bool moved = false;
        short tls_events = POLLIN;
        if (!client_done) {
            std::size_t got = 0;
            const int ret = SSL_read_ex(ssl, buffer, sizeof buffer, &got);
            if (ret == 1) {
                if (SendAll(plain_fd, std::string_view(buffer, got), kTlsSendTimeoutMs) !=
                    Io::kOk) {
                    return;
                }
                moved = true;
            } else {
                const int error = SSL_get_error(ssl, ret);
                if (error == SSL_ERROR_WANT_WRITE) {
                    tls_events = POLLOUT;
                } else if (error != SSL_ERROR_WANT_READ) {
                    client_done = true;
                    shutdown(plain_fd, SHUT_WR);
                }
            }
        }
        const ssize_t n = recv(plain_fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n > 0) {
            if (!WriteTls(ssl, tls_fd, std::string_view(buffer, static_cast<std::size_t>(n)))) {
                return;
            }
            moved = true;
        } else if (n == 0) {
            SSL_shutdown(ssl);
            return;
        } else if (errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) {
            return;
        }
        if (moved) {
            last_moved = Clock::now();
            continue;
        }
        pollfd fds[2] = {{client_done ? -1 : tls_fd, tls_events, 0}, {plain_fd, POLLIN, 0}};
        if (poll(fds, 2, kCarrySliceMs) < 0 && errno != EINTR) {
            return;
        }
    }
}

} // namespace

CTlsServerContext::CTlsServerContext(const std::string& cert_file, const std::string& key_file,
                                     std::string& error) {
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    if (context == nullptr) {
        error = LastTlsError("SSL_CTX_new");
        return;
    }
    if (SSL_CTX_set_min_proto_version(context, TLS1_2_VERSION) != 1 ||
        SSL_CTX_use_certificate_chain_file(context, cert_file.c_str()) != 1 ||
        SSL_CTX_use_PrivateKey_file(context, key_file.c_str(), SSL_FILETYPE_PEM) != 1 ||
        SSL_CTX_check_private_key(context) != 1) {
        error = LastTlsError(("loading " + cert_file + " and " + key_file).c_str());
        SSL_CTX_free(context);
        return;
    }
    m_pContext = context;
}

CTlsServerContext::~CTlsServerContext() {
    SSL_CTX_free(m_pContext);
}

void ServeOverTls(int fd, const CTlsServerContext& context,
                  const std::function<void(int)>& serve_plain) {
    CSslOwner ssl(SSL_new(context.Get()));
    if (!ssl || SSL_set_fd(ssl.get(), fd) != 1 || !Handshake(ssl.get(), fd)) {
        return;
    }
    int pair[2] = {-1, -1};
    if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, pair) != 0) {
        return;
    }
    CUniqueFd ours(pair[0]);
    // The server's end outlives its thread: it is closed after the join.
    CUniqueFd theirs(pair[1]);
    std::thread server;
    try {
        server = std::thread([&serve_plain, plain = theirs.Get()] {
            try {
                serve_plain(plain);
            } catch (...) {
                // The connection just ends; the stand-in goes on.
            }
        });
    } catch (...) {
        return;
    }
    Carry(ssl.get(), fd, ours.Get());
    // Closing our end ends any read the server is still waiting in.
    ours.Reset();
    server.join();
}

} // namespace standins
