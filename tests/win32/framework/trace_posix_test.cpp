// Host traces: each text reaches stderr whole, with nothing added.
#include "framework/trace.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

namespace {

// Points stderr at a pipe for the life of the object.
class StderrCapture {
public:
    StderrCapture() {
        std::fflush(stderr);
        m_saved = ::dup(STDERR_FILENO);
        if (::pipe(m_pipe) == 0) {
            ::fcntl(m_pipe[0], F_SETFL, O_NONBLOCK);
            ::dup2(m_pipe[1], STDERR_FILENO);
        }
    }
    ~StderrCapture() {
        Restore();
        ::close(m_pipe[0]);
    }
    std::string Take() {
        Restore();
        std::string out;
        char buffer[4096];
        for (;;) {
            ssize_t n = ::read(m_pipe[0], buffer, sizeof buffer);
            if (n <= 0) {
                break;
            }
            out.append(buffer, static_cast<size_t>(n));
        }
        return out;
    }

private:
    void Restore() {
        if (m_saved >= 0) {
            std::fflush(stderr);
            ::dup2(m_saved, STDERR_FILENO);
            ::close(m_saved);
            ::close(m_pipe[1]);
            m_saved = -1;
        }
    }
    int m_pipe[2] = {-1, -1};
    int m_saved = -1;
};

TEST(HostTrace, WritesTheTextAsGivenWithoutALineEnd) {
    StderrCapture capture;
    TraceText("ok -> ");
    TraceText(std::string("1.2.3.4:80"));
    TraceText("Total count upto :3\n");
    EXPECT_EQ(capture.Take(), "ok -> 1.2.3.4:80Total count upto :3\n");
}

TEST(HostTrace, NullAndEmptyTextsWriteNothing) {
    StderrCapture capture;
    TraceText(nullptr);
    TraceText("");
    EXPECT_EQ(capture.Take(), "");
}

TEST(HostTrace, ConcurrentTextsAreNeverSplit) {
    StderrCapture capture;
    const std::string a(200, 'a');
    const std::string b(200, 'b');
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) {
        threads.emplace_back([&, i] {
            for (int k = 0; k < 25; ++k) {
                TraceText(i % 2 == 0 ? a : b);
            }
        });
    }
    for (std::thread& t : threads) {
        t.join();
    }
    std::string out = capture.Take();
    ASSERT_EQ(out.size(), 100u * 200u);
    for (size_t pos = 0; pos < out.size(); pos += 200) {
        std::string chunk = out.substr(pos, 200);
        EXPECT_TRUE(chunk == a || chunk == b) << "split trace at " << pos;
    }
}

} // namespace
