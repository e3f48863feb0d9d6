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
#include "tools/standins/update_pages.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iterator>
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
class ModeSource {
public:
    ModeSource(ServerMode fallback, std::string path)
        : fallback_(fallback), path_(std::move(path)) {}

    ServerMode Current() const {
        std::ifstream file(path_, std::ios::binary);
        if (!file) {
            return fallback_;
        }
        char text[64] = {};
        file.read(text, sizeof text - 1);
        const std::optional<ServerMode> mode =
            ParseServerMode(std::string_view(text, static_cast<std::size_t>(file.gcount())));
        return mode ? *mode : fallback_;
    }

private:
    ServerMode fallback_;
    std::string path_;
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

std::string Answer(const UpdateServerOptions& options, ServerMode mode,
                   const IncomingRequest& request) {
    const Route route = RouteRequest(mode, request.head.method, request.head.target);
    const bool head_only = request.head.method == "HEAD";
    const bool keep = request.keep_alive;
    const Headers no_cache = {{"Cache-Control", "no-cache"}};
    const auto with = [&](std::string_view type) {
        Headers h = no_cache;
        h.push_back(Header{"Content-Type", std::string(type)});
        return h;
    };
    switch (route.kind) {
    case Route::Kind::kTestFile:
        return BuildResponse(200, with("text/plain"), kTestFileBody, keep, head_only);
    case Route::Kind::kErrorPage:
        return BuildResponse(200, with("text/html"), *route.page, keep, head_only);
    case Route::Kind::kFile: {
        std::string body;
        if (ReadRegularFile(options.root + "/" + route.file, body)) {
            return BuildResponse(200, with(ContentTypeFor(route.file)), body, keep, head_only);
        }
        break;
    }
    case Route::Kind::kBadMethod: {
        Headers h = with("text/html");
        h.push_back(Header{"Allow", "GET, HEAD"});
        return BuildResponse(405, h, Page(405), keep, head_only);
    }
    case Route::Kind::kNotFound:
        break;
    }
    return BuildResponse(404, with("text/html"), Page(404), keep, head_only);
}

void ServeConnection(int fd, const UpdateServerOptions& options, const ModeSource& modes,
                     RequestLog& log) {
    std::string buffer;
    for (int served = 0; served < kMaxRequestsPerConnection; ++served) {
        IncomingRequest request;
        if (ReadRequest(fd, buffer, kIdleMs, log, request) != ReadOutcome::kRequest) {
            return;
        }
        const ServerMode mode = modes.Current();
        if (mode == ServerMode::kDown) {
            return;
        }
        if (SendAll(fd, Answer(options, mode, request), kSendTimeoutMs) != Io::kOk) {
            return;
        }
        if (!request.keep_alive) {
            shutdown(fd, SHUT_WR);
            WaitForPeerClose(fd, kLingerMs);
            return;
        }
    }
}

class Server {
public:
    Server(const UpdateServerOptions& options)
        : options_(options), modes_(options.mode, ModeFilePath(options.state_dir, options.port)),
          log_(RequestLogPath(options.state_dir, options.port)) {}

    int Run() {
        mode_ = modes_.Current();
        if (mode_ != ServerMode::kDown && !Listen(true)) {
            return 1;
        }
        if (!WritePidFile(options_.pid_file.c_str())) {
            std::fprintf(stderr, "update_server: cannot write %s\n", options_.pid_file.c_str());
            return 1;
        }
        std::printf("update_server: port %d, root %s, state %s, mode %s, lifetime %d s\n",
                    options_.port, options_.root.c_str(), options_.state_dir.c_str(),
                    std::string(ServerModeName(mode_)).c_str(), options_.lifetime_seconds);
        std::fflush(stdout);
        const Clock::time_point end =
            Clock::now() + std::chrono::seconds(options_.lifetime_seconds);
        Clock::time_point next_check = Clock::now();
        while (!StopRequested() && Clock::now() < end) {
            if (Clock::now() >= next_check) {
                Apply(modes_.Current());
                next_check = Clock::now() + std::chrono::milliseconds(kModeCheckMs);
            }
            if (!listener_.valid()) {
                SleepUnlessStopped(kAcceptPollMs);
                continue;
            }
            pollfd p{listener_.get(), POLLIN, 0};
            if (poll(&p, 1, kAcceptPollMs) > 0 && (p.revents & POLLIN) != 0) {
                AcceptPending();
            }
        }
        const bool by_signal = StopRequested();
        RequestStop();
        listener_.reset();
        connections_.ShutdownAll();
        if (!connections_.WaitIdle(kShutdownWaitMs)) {
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
        listener_ = ListenLoopback(options_.port, error);
        if (!listener_.valid() && report) {
            std::fprintf(stderr, "update_server: %s\n", error.c_str());
        }
        return listener_.valid();
    }

    void Apply(ServerMode mode) {
        if (mode != mode_) {
            std::printf("update_server: mode %s\n", std::string(ServerModeName(mode)).c_str());
            std::fflush(stdout);
        }
        mode_ = mode;
        if (mode == ServerMode::kDown) {
            if (listener_.valid()) {
                listener_.reset();
                // Down means down: live keep-alive connections go too.
                connections_.ShutdownAll();
            }
        } else if (!listener_.valid()) {
            // Retried every check while the port is still taken.
            Listen(false);
        }
    }

    void AcceptPending() {
        for (int i = 0; i < 256 && listener_.valid(); ++i) {
            UniqueFd client = AcceptConnection(listener_.get());
            if (!client.valid()) {
                return;
            }
            // A test may have just flipped the mode; the connection sees the new one.
            Apply(modes_.Current());
            if (mode_ == ServerMode::kDown) {
                return;
            }
            connections_.Start(std::move(client),
                               [this](int fd) { ServeConnection(fd, options_, modes_, log_); });
        }
    }

    const UpdateServerOptions& options_;
    ModeSource modes_;
    RequestLog log_;
    ServerMode mode_ = ServerMode::kOk;
    UniqueFd listener_;
    ConnectionSet connections_;
};

} // namespace
} // namespace standins

int main(int argc, char** argv) {
    standins::InstallStopSignals();
    standins::RaiseOpenFileLimit();
    const std::vector<std::string> args(argv + 1, argv + argc);
    standins::UpdateServerOptions options;
    std::string error;
    if (!standins::ParseUpdateServerOptions(args, options, error)) {
        std::fprintf(stderr, "update_server: %s\n", error.c_str());
        return 2;
    }
    try {
        standins::Server server(options);
        return server.Run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "update_server: %s\n", e.what());
        return 1;
    }
}
