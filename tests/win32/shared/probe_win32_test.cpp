// The liveness probe through the loopback proxy farm: each behaviour's result
// and exact trace, what the proxy received, and the hard bound.
#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "build_config.h"
#include "shared/probe_rules.h"
#include "shared/proxy_address_data.h"
#include "tests/support/debug_output_capture.h"
#include "tests/support/message_pump.h"
#include "tests/support/process_snapshot.h"
#include "tests/support/standins_env.h"
#include "tools/standins/standin_ports.h"

namespace {

const char* const kExeName = "probe_win32_test";
constexpr unsigned kShortBoundMs = 3000;
// Wine's thread start-up and scheduling on a shared machine.
constexpr DWORD kSlackMs = 1500;

std::string Proxy(int port) {
    return "127.0.0.1:" + std::to_string(port);
}

struct ProbeRun {
    int result = -1;
    DWORD elapsedMs = 0;
    std::vector<std::string> traces;
};

class ProbeFarm : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_capture.IsListening()) << "another debug viewer runs"; }

    ProbeRun Probe(int port, unsigned boundMs = SULVANTIX_PROBE_BOUND_MS) {
        CProxyAddressData data;
        data.m_nProbeBoundMs = boundMs;
        return Probe(data, Proxy(port));
    }

    ProbeRun Probe(CProxyAddressData& data, const std::string& proxy) {
        EXPECT_TRUE(m_capture.Sync());
        m_capture.Clear();
        ProbeRun run;
        const DWORD start = ::GetTickCount();
        run.result = data.ProbeProxyString(proxy);
        run.elapsedMs = ::GetTickCount() - start;
        EXPECT_TRUE(m_capture.Sync());
        run.traces = m_capture.Texts();
        return run;
    }

    CDebugOutputCapture m_capture;
};

using Traces = std::vector<std::string>;

// "Failed in call to HttpSendRequest, Error:<n> -> <proxy>" with n > 0.
bool IsSendFailure(const std::string& trace, const std::string& proxy, long* error = nullptr) {
    const std::string head = "Failed in call to HttpSendRequest, Error:";
    const std::string tail = " -> " + proxy;
    if (trace.size() <= head.size() + tail.size() || trace.compare(0, head.size(), head) != 0 ||
        trace.compare(trace.size() - tail.size(), tail.size(), tail) != 0) {
        return false;
    }
    const std::string number = trace.substr(head.size(), trace.size() - head.size() - tail.size());
    if (number.find_first_not_of("0123456789") != std::string::npos) {
        return false;
    }
    const long value = std::stol(number);
    if (error != nullptr) {
        *error = value;
    }
    return value > 0;
}

TEST_F(ProbeFarm, OkBodyIsAliveAndTracesValid) {
    const ProbeRun run = Probe(standins::kFarmOk);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.traces, Traces{"Valid ->127.0.0.1:18100"});
}

TEST_F(ProbeFarm, ProbeProxyJoinsAddressAndPort) {
    CProxyAddressData data;
    EXPECT_TRUE(data.ProbeProxy("127.0.0.1", standins::kFarmOk));
    EXPECT_FALSE(data.ProbeProxy("127.0.0.1", standins::kFarmOkLower));
}

TEST_F(ProbeFarm, OkWithLineEndIsNotAliveAndSilent) {
    const ProbeRun run = Probe(standins::kFarmOkLineEnd);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.traces, Traces{});
}

TEST_F(ProbeFarm, LowerCaseOkIsNotAliveAndSilent) {
    const ProbeRun run = Probe(standins::kFarmOkLower);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.traces, Traces{});
}

TEST_F(ProbeFarm, EmptyBodyIsAlive) {
    const ProbeRun run = Probe(standins::kFarmEmpty);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.traces, Traces{"Valid ->127.0.0.1:18103"});
}

TEST_F(ProbeFarm, PartialContentWithOkIsAlive) {
    const ProbeRun run = Probe(standins::kFarmPartial);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.traces, Traces{"Valid ->127.0.0.1:18104"});
}

TEST_F(ProbeFarm, ProxyAuthenticationNamesStatusAndProxy) {
    const ProbeRun run = Probe(standins::kFarmAuth407);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.traces,
              Traces{"Failed to retrieve a HTTP OK or partial content status, Status Code:407 -> "
                     "127.0.0.1:18105"});
}

TEST_F(ProbeFarm, ServerAuthenticationNamesOnlyTheStatus) {
    const ProbeRun run = Probe(standins::kFarmAuth401);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(run.traces,
              Traces{"Failed to retrieve a HTTP OK or partial content status, Status Code:401\n"});
}

TEST_F(ProbeFarm, ForbiddenAndServerErrorNameOnlyTheStatus) {
    const ProbeRun forbidden = Probe(standins::kFarmForbidden);
    EXPECT_EQ(forbidden.result, 0);
    EXPECT_EQ(forbidden.traces,
              Traces{"Failed to retrieve a HTTP OK or partial content status, Status Code:403\n"});
    const ProbeRun serverError = Probe(standins::kFarmServerError);
    EXPECT_EQ(serverError.result, 0);
    EXPECT_EQ(serverError.traces,
              Traces{"Failed to retrieve a HTTP OK or partial content status, Status Code:500\n"});
}

TEST_F(ProbeFarm, ResetConnectionIsNotAliveAndSaysWhereItFailed) {
    const ProbeRun run = Probe(standins::kFarmReset);
    EXPECT_EQ(run.result, 0);
    ASSERT_EQ(run.traces.size(), 1u);
    // The reset races the library's send: it fails the send (naming the
    // proxy), or the send has completed and no status line ever came.
    EXPECT_TRUE(IsSendFailure(run.traces[0], Proxy(standins::kFarmReset)) ||
                run.traces[0] == "Failed to retrieve a HTTP OK or partial content status, "
                                 "Status Code:0\n")
        << run.traces[0];
}

TEST_F(ProbeFarm, ClosedProxyPortFailsTheSend) {
    const ProbeRun run = Probe(standins::kClosedPort);
    EXPECT_EQ(run.result, 0);
    ASSERT_EQ(run.traces.size(), 1u);
    long error = 0;
    EXPECT_TRUE(IsSendFailure(run.traces[0], Proxy(standins::kClosedPort), &error))
        << run.traces[0];
    EXPECT_EQ(error, ERROR_INTERNET_CANNOT_CONNECT);
}

TEST_F(ProbeFarm, HeadersTrickledOverSecondsStillGiveAlive) {
    const ProbeRun run = Probe(standins::kFarmSlowPieces);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.traces, Traces{"Valid ->127.0.0.1:18111"});
}

// The body rule judges each read on its own, but a read is the library's
// InternetReadFile, not a network piece: a synchronous read waits until it
// has the body's whole length (2 bytes here), so "O" and "K" sent 300 ms apart
// come back as one read "OK".
TEST_F(ProbeFarm, BodySplitOnTheWireIsOneReadAndAlive) {
    const ProbeRun run = Probe(standins::kFarmSplitBody);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.traces, Traces{"Valid ->127.0.0.1:18112"});
    EXPECT_GE(run.elapsedMs + 50, 300u) << "the read did not wait for the second piece";
}

TEST_F(ProbeFarm, RealForwardingProxyIsAlive) {
    const ProbeRun run = Probe(standins::kFarmRelay);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.traces, Traces{"Valid ->127.0.0.1:18114"});
}

// The checker's form: the same rules and traces on the calling thread, and
// the send reported once it has returned.
TEST_F(ProbeFarm, OnTheCallingThreadGivesTheSameVerdictsAndReportsTheSend) {
    struct Case {
        int port;
        int result;
        bool sent;
    };
    for (const Case& c :
         {Case{standins::kFarmOk, 1, true}, Case{standins::kFarmForbidden, 0, true},
          Case{standins::kClosedPort, 0, true}, Case{standins::kFarmOkLower, 0, true}}) {
        EXPECT_TRUE(m_capture.Sync());
        m_capture.Clear();
        CProxyAddressData data;
        std::atomic<bool> sent{false};
        const DWORD before = ::GetCurrentThreadId();
        EXPECT_EQ(data.ProbeProxyStringOnThisThread(Proxy(c.port), &sent), c.result) << c.port;
        EXPECT_EQ(sent.load(), c.sent) << c.port;
        EXPECT_EQ(::GetCurrentThreadId(), before);
        EXPECT_TRUE(m_capture.Sync());
        const ProbeRun bounded = Probe(c.port);
        EXPECT_EQ(bounded.result, c.result);
        // The bounded form's traces for the same proxy are the same texts.
        m_capture.Clear();
        data.ProbeProxyStringOnThisThread(Proxy(c.port));
        EXPECT_TRUE(m_capture.Sync());
        EXPECT_EQ(m_capture.Texts(), bounded.traces) << c.port;
    }
}

class ProbeRequest : public ProbeFarm {
protected:
    // The heads the port logged since `before` heads were there.
    static std::vector<std::vector<std::string>> NewRequests(int port, std::size_t before) {
        auto all = standins_env::LoggedRequests(port);
        if (all.size() <= before) {
            return {};
        }
        return std::vector<std::vector<std::string>>(all.begin() + before, all.end());
    }

    static bool HasHeader(const std::vector<std::string>& head, const std::string& line) {
        for (std::size_t i = 1; i < head.size(); ++i) {
            if (head[i] == line) {
                return true;
            }
        }
        return false;
    }

    // The head of the one request with this agent among the new ones.
    static std::vector<std::string> RequestWithAgent(int port, std::size_t before,
                                                     const std::string& agent) {
        std::vector<std::vector<std::string>> matching;
        for (const auto& head : NewRequests(port, before)) {
            if (HasHeader(head, "User-Agent: " + agent)) {
                matching.push_back(head);
            }
        }
        EXPECT_EQ(matching.size(), 1u) << "requests with agent " << agent;
        return matching.empty() ? std::vector<std::string>() : matching.front();
    }
};

TEST_F(ProbeRequest, ProxyGetsTheAbsoluteTestUrlWithoutCacheAndTheProgramName) {
    const std::size_t before = standins_env::LoggedRequests(standins::kFarmOk).size();
    ASSERT_EQ(Probe(standins::kFarmOk).result, 1);
    const std::vector<std::string> head = RequestWithAgent(standins::kFarmOk, before, kExeName);
    ASSERT_FALSE(head.empty());
    EXPECT_EQ(head[0], "GET " SULVANTIX_TEST_URL " HTTP/1.1");
    EXPECT_TRUE(HasHeader(head, "Pragma: no-cache"));
    EXPECT_TRUE(HasHeader(head, "Host: 127.0.0.1:18080"));
}

TEST_F(ProbeRequest, AgentMemberWinsOverTheProgramName) {
    const std::size_t before = standins_env::LoggedRequests(standins::kFarmOk).size();
    CProxyAddressData data;
    data.m_strUserAgent = "ProbeAgentMember";
    ASSERT_EQ(Probe(data, Proxy(standins::kFarmOk)).result, 1);
    const std::vector<std::string> head =
        RequestWithAgent(standins::kFarmOk, before, "ProbeAgentMember");
    ASSERT_FALSE(head.empty());
    EXPECT_EQ(head[0], "GET " SULVANTIX_TEST_URL " HTTP/1.1");
}

// Every probe is a fresh fetch through the proxy: a second probe reaches it too.
TEST_F(ProbeRequest, EachProbeReachesTheProxy) {
    const std::size_t before = standins_env::LoggedRequests(standins::kFarmOkLower).size();
    ASSERT_EQ(Probe(standins::kFarmOkLower).result, 0);
    ASSERT_EQ(Probe(standins::kFarmOkLower).result, 0);
    std::size_t ours = 0;
    for (const auto& head : NewRequests(standins::kFarmOkLower, before)) {
        ours += HasHeader(head, std::string("User-Agent: ") + kExeName) ? 1 : 0;
    }
    EXPECT_EQ(ours, 2u);
}

TEST(ProbeSetup, BoundDefaultsToTheBuildsSetting) {
    CProxyAddressData data;
    EXPECT_EQ(data.m_nProbeBoundMs, static_cast<unsigned>(SULVANTIX_PROBE_BOUND_MS));
    EXPECT_TRUE(data.m_strUserAgent.empty());
}

TEST(ProbeSetup, RequestFlagsAreTheLibrarysNamedFlags) {
    EXPECT_EQ(probe::kRequestFlagsHttp,
              static_cast<unsigned long>(INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                                         INTERNET_FLAG_KEEP_CONNECTION |
                                         INTERNET_FLAG_PRAGMA_NOCACHE));
    EXPECT_EQ(probe::kRequestFlagsHttps,
              static_cast<unsigned long>(probe::kRequestFlagsHttp | INTERNET_FLAG_SECURE |
                                         INTERNET_FLAG_IGNORE_CERT_CN_INVALID |
                                         INTERNET_FLAG_IGNORE_CERT_DATE_INVALID));
    EXPECT_EQ(probe::kStatusQuery,
              static_cast<unsigned long>(HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER));
    EXPECT_EQ(probe::kTimeoutError, static_cast<unsigned long>(ERROR_INTERNET_TIMEOUT));
}

// The send's failure at the bound: the caller's give-up and the library's
// own time-out on Windows both say ERROR_INTERNET_TIMEOUT; Wine's receive
// time-out fails the send with ERROR_INTERNET_CONNECTION_ABORTED instead.
// The library's time-out is the bound too, so either may come first.
bool IsTimeoutTrace(const std::string& trace, const std::string& proxy) {
    long error = 0;
    return IsSendFailure(trace, proxy, &error) &&
           (error == ERROR_INTERNET_TIMEOUT || error == ERROR_INTERNET_CONNECTION_ABORTED);
}

class ProbeBound : public ProbeFarm {
protected:
    void ExpectEndsAtTheBound(int port) {
        const ProbeRun run = Probe(port, kShortBoundMs);
        EXPECT_EQ(run.result, 0);
        // It waited for the bound, and not much longer.
        EXPECT_GE(run.elapsedMs + 50, kShortBoundMs);
        EXPECT_LE(run.elapsedMs, kShortBoundMs + kSlackMs);
        ASSERT_EQ(run.traces.size(), 1u);
        EXPECT_TRUE(IsTimeoutTrace(run.traces[0], Proxy(port))) << run.traces[0];
    }
};

TEST_F(ProbeBound, SilentProxyEndsAtTheBound) {
    ExpectEndsAtTheBound(standins::kFarmSilent);
}

TEST_F(ProbeBound, EndlessHeadersEndAtTheBound) {
    ExpectEndsAtTheBound(standins::kFarmEndlessHeaders);
}

// A bound longer than the answer takes changes nothing.
TEST_F(ProbeBound, ShortBoundLeavesQuickAnswersAlone) {
    const ProbeRun run = Probe(standins::kFarmSlowPieces, kShortBoundMs);
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(run.traces, Traces{"Valid ->127.0.0.1:18111"});
}

// Many probes at once, as the checker runs them: the stuck ones all end at the
// bound while the live ones still answer.
TEST_F(ProbeBound, ManyConcurrentProbesEachKeepTheBound) {
    constexpr int kEach = 60;
    std::atomic<int> alive{0};
    std::atomic<int> stuckEndedInTime{0};
    std::atomic<int> stuckReportedAlive{0};
    std::vector<std::thread> callers;
    ASSERT_TRUE(m_capture.Sync());
    m_capture.Clear();
    for (int i = 0; i < kEach; ++i) {
        callers.emplace_back([&] {
            CProxyAddressData data;
            data.m_nProbeBoundMs = kShortBoundMs;
            alive += data.ProbeProxyString(Proxy(standins::kFarmOk));
        });
        callers.emplace_back([&, i] {
            CProxyAddressData data;
            data.m_nProbeBoundMs = kShortBoundMs;
            const int port = i % 2 == 0 ? standins::kFarmSilent : standins::kFarmEndlessHeaders;
            const DWORD start = ::GetTickCount();
            stuckReportedAlive += data.ProbeProxyString(Proxy(port));
            stuckEndedInTime += (::GetTickCount() - start <= kShortBoundMs + kSlackMs) ? 1 : 0;
        });
    }
    for (std::thread& caller : callers) {
        caller.join();
    }
    EXPECT_EQ(alive.load(), kEach);
    EXPECT_EQ(stuckReportedAlive.load(), 0);
    EXPECT_EQ(stuckEndedInTime.load(), kEach);
    ASSERT_TRUE(m_capture.Sync());
    int valid = 0;
    int timedOut = 0;
    for (const std::string& trace : m_capture.Texts()) {
        valid += trace == "Valid ->127.0.0.1:18100" ? 1 : 0;
        timedOut += IsTimeoutTrace(trace, Proxy(standins::kFarmSilent)) ||
                            IsTimeoutTrace(trace, Proxy(standins::kFarmEndlessHeaders))
                        ? 1
                        : 0;
    }
    EXPECT_EQ(valid, kEach);
    EXPECT_EQ(timedOut, kEach);
}

// The library's own time-outs end the call itself: on the calling thread, as
// the checker's workers probe, with nothing else to give up on it, a proxy
// that accepts and never answers holds the thread for the bound only.
TEST_F(ProbeBound, SilentProxyEndsTheCallOnTheCallingThreadAtTheBound) {
    struct Outcome {
        std::atomic<bool> sent{false};
        std::atomic<int> result{-1};
        std::atomic<DWORD> elapsedMs{0};
        HANDLE done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        ~Outcome() { ::CloseHandle(done); }
    };
    ASSERT_TRUE(m_capture.Sync());
    m_capture.Clear();
    auto outcome = std::make_shared<Outcome>();
    ASSERT_NE(outcome->done, nullptr);
    // On a thread of its own only so that a call that never returns fails
    // this test instead of hanging the program.
    std::thread([outcome] {
        CProxyAddressData data;
        data.m_nProbeBoundMs = kShortBoundMs;
        const DWORD start = ::GetTickCount();
        outcome->result =
            data.ProbeProxyStringOnThisThread(Proxy(standins::kFarmSilent), &outcome->sent);
        outcome->elapsedMs = ::GetTickCount() - start;
        ::SetEvent(outcome->done);
    }).detach();
    ASSERT_EQ(::WaitForSingleObject(outcome->done, kShortBoundMs + 15000), WAIT_OBJECT_0)
        << "the call still waits on the silent proxy";
    // Read before any failure below, which gtest writes to the same stream.
    ASSERT_TRUE(m_capture.Sync());
    const Traces traces = m_capture.Texts();
    EXPECT_EQ(outcome->result.load(), 0);
    EXPECT_GE(outcome->elapsedMs + 50, kShortBoundMs);
    EXPECT_LE(outcome->elapsedMs.load(), kShortBoundMs + kSlackMs);
    // The send itself returned, failing, so the worker traced it and no
    // give-up has to.
    EXPECT_TRUE(outcome->sent.load());
    ASSERT_EQ(traces.size(), 1u);
    EXPECT_TRUE(IsTimeoutTrace(traces[0], Proxy(standins::kFarmSilent))) << traces[0];
}

// The time-outs cut nothing short: a proxy that answers late, but within the
// bound, is alive.
TEST_F(ProbeBound, OnTheCallingThreadAnAnswerWithinTheBoundIsAlive) {
    CProxyAddressData data;
    data.m_nProbeBoundMs = (standins::kFarmLateOkSeconds + 4) * 1000;
    const DWORD start = ::GetTickCount();
    EXPECT_EQ(data.ProbeProxyStringOnThisThread(Proxy(standins::kFarmLateOkPort)), 1);
    EXPECT_GE(::GetTickCount() - start + 50, standins::kFarmLateOkSeconds * 1000u);
}

// The worker that the bounded form gave up at the bound ends by the
// library's time-out soon after, instead of waiting on the proxy for ever.
TEST_F(ProbeBound, WorkerGivenUpAtTheBoundEndsSoonAfter) {
    // Whatever threads the library keeps for itself exist from here on.
    ASSERT_EQ(Probe(standins::kFarmOk, kShortBoundMs).result, 1);
    const unsigned before = ThreadCount();
    ASSERT_GT(before, 0u);
    const ProbeRun run = Probe(standins::kFarmSilent, kShortBoundMs);
    EXPECT_EQ(run.result, 0);
    EXPECT_TRUE(PumpMessagesUntil([&] { return ThreadCount() <= before; }, 5000))
        << ThreadCount() << " threads, " << before << " before the probe";
}

} // namespace
