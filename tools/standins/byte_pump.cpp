#include "tools/standins/byte_pump.h"

#include "tools/standins/posix_socket.h"
#include "tools/standins/stop_signal.h"

#include <cerrno>
#include <chrono>
#include <poll.h>
#include <string_view>
#include <sys/socket.h>

namespace standins {
namespace {

constexpr int kPumpSliceMs = 200;
constexpr int kPumpSendTimeoutMs = 30000;

enum class Step { kMoved, kEnded, kFailed };

// One read from `from` passed on to `to`; kEnded when `from` has no more to say.
Step MoveOnce(int from, int to) {
    char chunk[16 * 1024];
    const ssize_t n = recv(from, chunk, sizeof chunk, MSG_DONTWAIT);
    if (n > 0) {
        return SendAll(to, std::string_view(chunk, static_cast<std::size_t>(n)),
                       kPumpSendTimeoutMs) == Io::kOk
                   ? Step::kMoved
                   : Step::kFailed;
    }
    if (n == 0) {
        shutdown(to, SHUT_WR);
        return Step::kEnded;
    }
    return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR ? Step::kMoved : Step::kFailed;
}

} // namespace

void PumpBothWays(int a, int b, int idle_ms) {
    using Clock = std::chrono::steady_clock;
    // A negative descriptor is one poll leaves alone: that direction has ended.
    pollfd fds[2] = {{a, POLLIN, 0}, {b, POLLIN, 0}};
    const int peers[2] = {b, a};
    Clock::time_point last_moved = Clock::now();
    while ((fds[0].fd >= 0 || fds[1].fd >= 0) && !StopRequested()) {
        if (Clock::now() - last_moved > std::chrono::milliseconds(idle_ms)) {
            return;
        }
        const int n = poll(fds, 2, kPumpSliceMs);
        if (n < 0 && errno != EINTR) {
            return;
        }
        for (int i = 0; i < 2 && n > 0; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) {
                continue;
            }
            switch (MoveOnce(fds[i].fd, peers[i])) {
            case Step::kMoved:
                last_moved = Clock::now();
                break;
            case Step::kEnded:
                fds[i].fd = -1;
                break;
            case Step::kFailed:
                return;
            }
        }
    }
}

} // namespace standins
