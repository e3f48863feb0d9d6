// update_server: the vendor's server on one loopback port. Serves "/test.txt"
// ("OK") and the files of its root; in error mode every path gets a
// browser-style error page; in down mode nothing listens. The mode can be
// flipped at run time through <state>/mode-<port>.
#include "tools/standins/connection_set.h"
#include "tools/standins/posix_socket.h"
#include "tools/standins/request_log.h"
#include "tools/standins/request_reader.h"
#include "tools/standins/stop_signal.h"
#include "tools/standins/standin_options.h"
#include "tools/standins/tls_server.h"
#include "tools/standins/update_pages.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace standins {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kModeCheckMs = 250;
constexpr int kAcceptPollMs = 100;
constexpr int kIdleMs = 120000;
constexpr int kLingerMs = 2000;
constexpr int kShutdownWaitMs = 5000;
constexpr int kMaxRequestsPerConnection = 100000;
constexpr std::size_t kMaxFileSize = 64 * 1024 * 1024;

// The mode in force: the mode file when it holds a valid mode, else the command line's.
class CModeSource {
public:
    CModeSource(ServerMode fallback, std::string path)
        : m_fallback(fallback), m_strPath(std::move(path)) {}

    ServerMode Current() const {
        std::ifstream file(m_strPath, std::ios::binary);
        if (!file) {
            return m_fallback;
        }
        char text[64] = {};
        file.read(text, sizeof text - 1);
        const std::optional<ServerMode> mode =
            ParseServerMode(std::string_view(text, static_cast<std::size_t>(file.gcount())));
        return mode ? *mode : m_fallback;
    }

private:
    ServerMode m_fallback;
    std::string m_strPath;
};

bool ReadRegularFile(const std::string& path, std::string& out) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::size_t>(info.st_size) > kMaxFileSize) {
        return false;
    }
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return false;
    }
    out.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    return !file.bad();
}

std::string Page(int status) {
    const std::string title = std::to_string(status) + " " + std::string(ReasonPhrase(status));
    return "<html><head><title>" + title + "</title></head><body><h1>" + title +
           "</h1></body></html>";
}

std::string Answer(const CUpdateServerOptions& options, ServerMode mode,
                   const CIncomingRequest& request, const std::string& peer) {
    const CRoute route = RouteRequest(mode, request.m_head.m_strMethod, request.m_head.m_strTarget);
    const bool head_only = request.m_head.m_strMethod == "HEAD";
    const bool keep = request.m_bKeepAlive;
    const Headers no_cache = {{"Cache-Control", "no-cache"}};
    const auto with = [&](std::string_view type) {
        Headers h = no_cache;
        h.push_back(CHeader{"Content-Type", std::string(type)});
        return h;
    };
    switch (route.m_kind) {
    case CRoute::Kind::kTestFile:
        return BuildResponse(200, with("text/plain"), kTestFileBody, keep, head_only);
    case CRoute::Kind::kJudge:
        return BuildResponse(200, with("text/plain"), JudgePage(peer, request.m_head.m_headers),
                             keep, head_only);
    case CRoute::Kind::kErrorPage:
        return BuildResponse(200, with("text/html"), *route.m_pPage, keep, head_only);
    case CRoute::Kind::kFile: {
        std::string body;
        if (ReadRegularFile(options.m_strRoot + "/" + route.m_strFile, body)) {
            return BuildResponse(200, with(ContentTypeFor(route.m_strFile)), body, keep, head_only);
        }
        break;
    }
    case CRoute::Kind::kBadMethod: {
        Headers h = with("text/html");
        h.push_back(CHeader{"Allow", "GET, HEAD"});
        return BuildResponse(405, h, Page(405), keep, head_only);
    }
    case CRoute::Kind::kNotFound:
        break;
    }
    return BuildResponse(404, with("text/html"), Page(404), keep, head_only);
}

// `peer` is the client's address, taken from the accepted socket: over TLS
// `fd` is the plain end of a socket pair, which has no peer of its own.
void ServeConnection(int fd, const std::string& peer, const CUpdateServerOptions& options,
                     const CModeSource& modes, CRequestLog& log) {
    std::string buffer;
    for (int served = 0; served < kMaxRequestsPerConnection; ++served) {
        CIncomingRequest request;
        if (ReadRequest(fd, buffer, kIdleMs, log, request) != ReadOutcome::kRequest) {
            return;
        }
        const ServerMode mode = modes.Current();
        if (mode == ServerMode::kDown) {
            return;
        }
        if (SendAll(fd, Answer(options, mode, request, peer), kSendTimeoutMs) != Io::kOk) {
            return;
        }
        if (!request.m_bKeepAlive) {
            shutdown(fd, SHUT_WR);
            WaitForPeerClose(fd, kLingerMs);
            return;
        }
    }
}

class CUpdateServer {
public:
    CUpdateServer(const CUpdateServerOptions& options)
        : m_options(options),
          m_modes(options.m_mode, ModeFilePath(options.m_strStateDir, options.m_nPort)),
          m_log(RequestLogPath(options.m_strStateDir, options.m_nPort)) {}

    int Run() {
        if (!m_options.m_strTlsCertFile.empty()) {
            std::string error;
            m_pTls = std::make_unique<CTlsServerContext>(m_options.m_strTlsCertFile,
                                                         m_options.m_strTlsKeyFile, error);
            if (!m_pTls->Valid()) {
                std::fprintf(stderr, "update_server: %s\n", error.c_str());
                return 1;
            }
        }
        m_mode = m_modes.Current();
        if (m_mode != ServerMode::kDown && !Listen(true)) {
            return 1;
        }
        if (!WritePidFile(m_options.m_strPidFile.c_str())) {
            std::fprintf(stderr, "update_server: cannot write %s\n",
                         m_options.m_strPidFile.c_str());
            return 1;
        }
        std::printf("update_server: port %d%s, root %s, state %s, mode %s, lifetime %d s\n",
                    m_options.m_nPort, m_pTls ? " (TLS)" : "", m_options.m_strRoot.c_str(),
                    m_options.m_strStateDir.c_str(), std::string(ServerModeName(m_mode)).c_str(),
                    m_options.m_nLifetimeSeconds);
        std::fflush(stdout);
        const Clock::time_point end =
            Clock::now() + std::chrono::seconds(m_options.m_nLifetimeSeconds);
        Clock::time_point next_check = Clock::now();
        while (!StopRequested() && Clock::now() < end) {
            if (Clock::now() >= next_check) {
                Apply(m_modes.Current());
                next_check = Clock::now() + std::chrono::milliseconds(kModeCheckMs);
            }
            if (!m_listener.IsValid()) {
                SleepUnlessStopped(kAcceptPollMs);
                continue;
            }
            pollfd p{m_listener.Get(), POLLIN, 0};
            if (poll(&p, 1, kAcceptPollMs) > 0 && (p.revents & POLLIN) != 0) {
                AcceptPending();
            }
        }
        const bool by_signal = StopRequested();
        RequestStop();
        m_listener.Reset();
        m_connections.ShutdownAll();
        if (!m_connections.WaitIdle(kShutdownWaitMs)) {
            std::fprintf(stderr, "update_server: connections did not end; exiting anyway\n");
            std::fflush(nullptr);
            _exit(0);
        }
        std::printf("update_server: stopped (%s)\n", by_signal ? "signal" : "lifetime over");
        return 0;
    }

private:
    bool Listen(bool report) {
        std::string error;
        m_listener = ListenLoopback(m_options.m_nPort, error);
        if (!m_listener.IsValid() && report) {
            std::fprintf(stderr, "update_server: %s\n", error.c_str());
        }
        return m_listener.IsValid();
    }

    void Apply(ServerMode mode) {
        if (mode != m_mode) {
            std::printf("update_server: mode %s\n", std::string(ServerModeName(mode)).c_str());
            std::fflush(stdout);
        }
        m_mode = mode;
        if (mode == ServerMode::kDown) {
            if (m_listener.IsValid()) {
                m_listener.Reset();
                // Down means down: live keep-alive connections go too.
                m_connections.ShutdownAll();
            }
        } else if (!m_listener.IsValid()) {
            // Retried every check while the port is still taken.
            Listen(false);
        }
    }

    void AcceptPending() {
        for (int i = 0; i < 256 && m_listener.IsValid(); ++i) {
            CUniqueFd client = AcceptConnection(m_listener.Get());
            if (!client.IsValid()) {
                return;
            }
            // A test may have just flipped the mode; the connection sees the new one.
            Apply(m_modes.Current());
            if (m_mode == ServerMode::kDown) {
                return;
            }
            const auto serve_plain = [this, peer = PeerAddress(client.Get())](int fd) {
                ServeConnection(fd, peer, m_options, m_modes, m_log);
            };
            if (m_pTls) {
                m_connections.Start(std::move(client), [this, serve_plain](int fd) {
                    ServeOverTls(fd, *m_pTls, serve_plain);
                });
            } else {
                m_connections.Start(std::move(client), serve_plain);
            }
        }
    }

    const CUpdateServerOptions& m_options;
    CModeSource m_modes;
    CRequestLog m_log;
    std::unique_ptr<CTlsServerContext> m_pTls; // set in TLS mode
    ServerMode m_mode = ServerMode::kOk;
    CUniqueFd m_listener;
    CConnectionSet m_connections;
};

} // namespace
} // namespace standins

int main(int argc, char** argv) {
    standins::InstallStopSignals();
    standins::RaiseOpenFileLimit();
    const std::vector<std::string> args(argv + 1, argv + argc);
    standins::CUpdateServerOptions options;
    std::string error;
    if (!standins::ParseUpdateServerOptions(args, options, error)) {
        std::fprintf(stderr, "update_server: %s\n", error.c_str());
        return 2;
    }
    try {
        standins::CUpdateServer server(options);
        return server.Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "update_server: %s\n", e.what());
        return 1;
    }
}
