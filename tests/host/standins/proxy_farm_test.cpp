// The proxy farm as a process, on shifted ports, talked to with plain sockets.
#include "checker/checker_judge_rules.h"
#include "tests/host/standins/standin_harness.h"
#include "tools/standins/judge_lies.h"
#include "tools/standins/relay_manner.h"
#include "tools/standins/standin_ports.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <memory>
#include <poll.h>
#include <sys/socket.h>

namespace standins::testing {
namespace {

using Clock = std::chrono::steady_clock;

long MsSince(Clock::time_point start) {
    return static_cast<long>(
        std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count());
}

// Extra ports of the shared farm, before the offset.
constexpr int kLateOkPort = kFarmLastPort + 6;
constexpr int kExtraOkPort = kFarmLastPort + 7; // and the next two
constexpr int kNoConnectPort = kFarmLastPort + 10;

class ProxyFarm : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::vector<int> ports = {kUpdateServerPort, kClosedPort,      kLateOkPort,   kExtraOkPort,
                                  kExtraOkPort + 1,  kExtraOkPort + 2, kNoConnectPort};
        for (int p = kFarmFirstPort; p <= kFarmLastPort; ++p) {
            ports.push_back(p);
        }
        s_nOffset = FindFreeOffset(ports);
        ASSERT_NE(s_nOffset, 0) << "no free block of loopback ports";
        s_pDir = std::make_unique<CScratchDir>();
        ASSERT_TRUE(WriteFile(s_pDir->Path() + "/www-dummy", ""));
        s_pFarm = std::make_unique<CChildProcess>();
        ASSERT_TRUE(
            s_pFarm->Start({STANDINS_PROXY_FARM, "--state", s_pDir->Path(), "--port-offset",
                            std::to_string(s_nOffset), "--lifetime-seconds", "120", "--extra",
                            "late_ok:1:" + std::to_string(kLateOkPort) + ":1", "--extra",
                            "ok:" + std::to_string(kExtraOkPort) + ":3", "--extra",
                            "relay_no_connect:" + std::to_string(kNoConnectPort) + ":1"},
                           s_pDir->Path() + "/farm.out"));
        s_pOrigin = std::make_unique<CChildProcess>();
        ASSERT_TRUE(s_pOrigin->Start(
            {STANDINS_UPDATE_SERVER, "--port", std::to_string(Port(kUpdateServerPort)), "--root",
             s_pDir->Path(), "--state", s_pDir->Path(), "--lifetime-seconds", "120"},
            s_pDir->Path() + "/origin.out"));
        ASSERT_TRUE(WaitUntilAccepting(Port(kFarmRelay), 10000))
            << ReadFile(s_pDir->Path() + "/farm.out");
        ASSERT_TRUE(WaitUntilAccepting(Port(kExtraOkPort + 2), 10000));
        ASSERT_TRUE(WaitUntilAccepting(Port(kUpdateServerPort), 10000));
    }

    static void TearDownTestSuite() {
        for (CChildProcess* p : {s_pFarm.get(), s_pOrigin.get()}) {
            if (p != nullptr) {
                p->Signal(SIGTERM);
                EXPECT_EQ(p->WaitExit(8000), 0);
            }
        }
        s_pFarm.reset();
        s_pOrigin.reset();
        s_pDir.reset();
    }

    static int Port(int fixed) { return fixed + s_nOffset; }
    static std::string LogOf(int fixed) {
        return ReadFile(s_pDir->Path() + "/requests-" + std::to_string(Port(fixed)) + ".log");
    }
    static std::string LogPathOf(int fixed) {
        return s_pDir->Path() + "/requests-" + std::to_string(Port(fixed)) + ".log";
    }
    std::string TestUrl() const {
        return "http://127.0.0.1:" + std::to_string(Port(kUpdateServerPort)) + "/test.txt";
    }

    static int s_nOffset;
    static std::unique_ptr<CScratchDir> s_pDir;
    static std::unique_ptr<CChildProcess> s_pFarm;
    static std::unique_ptr<CChildProcess> s_pOrigin;
};

int ProxyFarm::s_nOffset = 0;
std::unique_ptr<CScratchDir> ProxyFarm::s_pDir;
std::unique_ptr<CChildProcess> ProxyFarm::s_pFarm;
std::unique_ptr<CChildProcess> ProxyFarm::s_pOrigin;

TEST_F(ProxyFarm, WellBehavedPortsAnswerTheirScriptedStatusAndBody) {
    const struct {
        int port;
        int status;
        const char* body;
    } cases[] = {
        {kFarmOk, 200, "OK"},      {kFarmOkLineEnd, 200, "OK\r\n"}, {kFarmOkLower, 200, "ok"},
        {kFarmEmpty, 200, ""},     {kFarmPartial, 206, "OK"},       {kFarmSplitBody, 200, "OK"},
        {kExtraOkPort, 200, "OK"}, {kExtraOkPort + 2, 200, "OK"},
    };
    for (const auto& c : cases) {
        const std::optional<CReply> reply = Fetch(Port(c.port), GetRequest(TestUrl()));
        ASSERT_TRUE(reply) << c.port;
        EXPECT_EQ(reply->m_head.m_nStatus, c.status) << c.port;
        EXPECT_EQ(reply->m_strBody, c.body) << c.port;
    }
}

TEST_F(ProxyFarm, RefusingPortsSendTheirStatusAndChallenge) {
    const std::optional<CReply> proxy_auth = Fetch(Port(kFarmAuth407), GetRequest(TestUrl()));
    ASSERT_TRUE(proxy_auth);
    EXPECT_EQ(proxy_auth->m_head.m_nStatus, 407);
    EXPECT_TRUE(FindHeader(proxy_auth->m_head.m_headers, "Proxy-Authenticate"));
    EXPECT_GE(proxy_auth->m_strBody.size(), 4096u);
    const std::optional<CReply> auth = Fetch(Port(kFarmAuth401), GetRequest(TestUrl()));
    ASSERT_TRUE(auth);
    EXPECT_EQ(auth->m_head.m_nStatus, 401);
    EXPECT_TRUE(FindHeader(auth->m_head.m_headers, "WWW-Authenticate"));
    const std::optional<CReply> forbidden = Fetch(Port(kFarmForbidden), GetRequest(TestUrl()));
    ASSERT_TRUE(forbidden);
    EXPECT_EQ(forbidden->m_head.m_nStatus, 403);
    const std::optional<CReply> failed = Fetch(Port(kFarmServerError), GetRequest(TestUrl()));
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->m_head.m_nStatus, 500);
}

TEST_F(ProxyFarm, KeptConnectionServesSeveralRequestsIncludingPipelinedOnes) {
    for (int port : {kFarmOk, kFarmAuth407, kFarmSplitBody}) {
        CClient client;
        ASSERT_TRUE(client.Connect(Port(port)));
        ASSERT_TRUE(client.Send(GetRequest(TestUrl())));
        ASSERT_TRUE(client.Read()) << port;
        ASSERT_TRUE(client.Send(GetRequest(TestUrl()) + GetRequest(TestUrl())));
        ASSERT_TRUE(client.Read()) << port;
        ASSERT_TRUE(client.Read()) << port;
    }
}

TEST_F(ProxyFarm, ConnectionCloseIsHonouredAfterTheReply) {
    CClient client;
    ASSERT_TRUE(client.Connect(Port(kFarmOk)));
    ASSERT_TRUE(client.Send(GetRequest(TestUrl(), {"Connection: close"})));
    const std::optional<std::string> all = client.ReadToEnd(3000);
    ASSERT_TRUE(all) << "the farm must close the connection";
    EXPECT_NE(all->find("Connection: close\r\n"), std::string::npos);
    EXPECT_EQ(all->substr(all->size() - 2), "OK");
}

TEST_F(ProxyFarm, SilentPortReadsTheRequestButNeverAnswers) {
    CClient client;
    ASSERT_TRUE(client.Connect(Port(kFarmSilent)));
    ASSERT_TRUE(client.Send(GetRequest(TestUrl(), {"X-Probe: silent"})));
    EXPECT_EQ(client.ReadFor(1500), "");
    EXPECT_NE(LogOf(kFarmSilent).find("X-Probe: silent\n"), std::string::npos);
}

TEST_F(ProxyFarm, ResetPortResetsTheConnectionAfterTheRequest) {
    CClient client;
    ASSERT_TRUE(client.Connect(Port(kFarmReset)));
    ASSERT_TRUE(client.Send(GetRequest(TestUrl())));
    pollfd p{client.Fd(), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 3000), 1);
    char byte = 0;
    const ssize_t n = recv(client.Fd(), &byte, 1, 0);
    EXPECT_EQ(n, -1);
    EXPECT_EQ(errno, ECONNRESET);
}

TEST_F(ProxyFarm, SlowPortTricklesItsHeadOverAboutTwoSeconds) {
    CClient client;
    ASSERT_TRUE(client.Connect(Port(kFarmSlowPieces)));
    const Clock::time_point start = Clock::now();
    ASSERT_TRUE(client.Send(GetRequest(TestUrl())));
    std::string got;
    long first_piece_ms = -1;
    int pieces = 0;
    while (!FindHeadEnd(got) && MsSince(start) < 5000) {
        ASSERT_EQ(ReceiveSome(client.Fd(), got, 4096, 5000), Io::kOk);
        first_piece_ms = first_piece_ms < 0 ? MsSince(start) : first_piece_ms;
        ++pieces;
    }
    const long head_ms = MsSince(start);
    const std::optional<std::size_t> head_end = FindHeadEnd(got);
    ASSERT_TRUE(head_end);
    EXPECT_LT(first_piece_ms, 500);
    EXPECT_GE(head_ms, 1500);
    EXPECT_LE(head_ms, 3500);
    EXPECT_GE(pieces, 5);
    ASSERT_EQ(ReceiveAtLeast(client.Fd(), got, *head_end + 2, 1000), Io::kOk);
    EXPECT_EQ(got.substr(*head_end), "OK");
}

TEST_F(ProxyFarm, SplitBodyPortSendsKAfterAPause) {
    CClient client;
    ASSERT_TRUE(client.Connect(Port(kFarmSplitBody)));
    ASSERT_TRUE(client.Send(GetRequest(TestUrl())));
    const std::string first = client.ReadFor(200);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.back(), 'O');
    const std::string rest = client.ReadFor(400);
    EXPECT_EQ(rest, "K");
}

TEST_F(ProxyFarm, EndlessPortNeverFinishesItsHead) {
    CClient client;
    ASSERT_TRUE(client.Connect(Port(kFarmEndlessHeaders)));
    ASSERT_TRUE(client.Send(GetRequest(TestUrl())));
    const std::string got = client.ReadFor(2600);
    ASSERT_EQ(got.rfind("HTTP/1.1 200 OK\r\n", 0), 0u) << got;
    const std::size_t trickled = got.size() - 17;
    EXPECT_GE(trickled, 1u);
    EXPECT_LE(trickled, 4u);
    EXPECT_FALSE(FindHeadEnd(got));
}

TEST_F(ProxyFarm, LatePortAnswersOnlyAfterItsDelay) {
    const Clock::time_point start = Clock::now();
    const std::optional<CReply> reply = Fetch(Port(kLateOkPort), GetRequest(TestUrl()));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->m_strBody, "OK");
    EXPECT_GE(MsSince(start), 900);
}

TEST_F(ProxyFarm, RelayFetchesFromALoopbackOrigin) {
    CClient client;
    ASSERT_TRUE(client.Connect(Port(kFarmRelay)));
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(client.Send(
            GetRequest(TestUrl(), {"Proxy-Connection: Keep-Alive", "X-Relay-Test: 1"})));
        const std::optional<CReply> reply = client.Read();
        ASSERT_TRUE(reply) << i;
        EXPECT_EQ(reply->m_head.m_nStatus, 200);
        EXPECT_EQ(reply->m_strBody, "OK");
        EXPECT_FALSE(FindHeader(reply->m_head.m_headers, "Connection"));
    }
    const std::string origin_log = LogOf(kUpdateServerPort);
    EXPECT_NE(origin_log.find("GET /test.txt HTTP/1.1\nHost: 127.0.0.1\nX-Relay-Test: 1\n"
                              "Connection: close\n\n"),
              std::string::npos)
        << origin_log;
    EXPECT_EQ(origin_log.find("Proxy-Connection"), std::string::npos);
}

// The request through the tunnel is sent with the CONNECT, before the answer:
// bytes read past the CONNECT's head still reach the origin.
TEST_F(ProxyFarm, RelayTunnelsConnectToLoopbackOnlyAndItsTwinRefuses) {
    const std::string origin = "127.0.0.1:" + std::to_string(Port(kUpdateServerPort));
    const std::string connect = "CONNECT " + origin + " HTTP/1.1\r\nHost: " + origin + "\r\n\r\n";
    CClient client;
    ASSERT_TRUE(client.Connect(Port(kFarmRelay)));
    ASSERT_TRUE(client.Send(connect + GetRequest("/test.txt?tunnel", {"Connection: close"})));
    const std::optional<std::string> all = client.ReadToEnd();
    ASSERT_TRUE(all);
    EXPECT_EQ(all->rfind("HTTP/1.1 200 Connection established\r\n\r\nHTTP/1.1 200 OK\r\n", 0), 0u)
        << *all;
    EXPECT_EQ(all->substr(all->size() - 4), "\r\nOK") << *all;
    EXPECT_NE(LogOf(kUpdateServerPort).find("GET /test.txt?tunnel HTTP/1.1"), std::string::npos);

    const std::optional<CReply> elsewhere =
        Fetch(Port(kFarmRelay), "CONNECT 192.0.2.1:443 HTTP/1.1\r\nHost: 192.0.2.1:443\r\n\r\n");
    ASSERT_TRUE(elsewhere);
    EXPECT_EQ(elsewhere->m_head.m_nStatus, 502);
    const std::optional<CReply> refused = Fetch(Port(kNoConnectPort), connect);
    ASSERT_TRUE(refused);
    EXPECT_EQ(refused->m_head.m_nStatus, 501);
    // The twin still forwards plain requests.
    const std::optional<CReply> plain = Fetch(Port(kNoConnectPort), GetRequest(TestUrl()));
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->m_strBody, "OK");
}

TEST_F(ProxyFarm, RelayRefusesEveryOtherHostWithoutTryingIt) {
    for (const char* target :
         {"http://192.0.2.1/test.txt", "http://example.com/", "http://10.0.0.1:18080/"}) {
        const Clock::time_point start = Clock::now();
        const std::optional<CReply> reply = Fetch(Port(kFarmRelay), GetRequest(target));
        ASSERT_TRUE(reply) << target;
        EXPECT_EQ(reply->m_head.m_nStatus, 502) << target;
        EXPECT_LT(MsSince(start), 1000) << target;
    }
}

TEST_F(ProxyFarm, RelayReportsAnOriginThatIsNotThere) {
    const std::optional<CReply> reply =
        Fetch(Port(kFarmRelay),
              GetRequest("http://127.0.0.1:" + std::to_string(Port(kClosedPort)) + "/"));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->m_head.m_nStatus, 502);
}

TEST_F(ProxyFarm, RelayNeedsAnAbsoluteUri) {
    const std::optional<CReply> reply = Fetch(Port(kFarmRelay), GetRequest("/test.txt"));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->m_head.m_nStatus, 400);
}

// The judge as the checker reads it: one fetch through `port` with a token of its own.
judge::Anonymity JudgeThrough(int port, const std::string& judge_url, std::string& remote) {
    const std::string token = "token-" + std::to_string(port);
    const std::optional<CReply> reply =
        Fetch(port, GetRequest(judge_url, {"X-Vettor-Token: " + token}));
    judge::CJudgePage page;
    if (!reply || !judge::ParseJudgePage(reply->m_strBody, page)) {
        return judge::Anonymity::Unknown;
    }
    remote = page.m_strRemoteAddress;
    return judge::Classify(page, token, {"127.0.0.1"});
}

TEST_F(ProxyFarm, JudgeSeesEachProxyFromItsOwnAddressAndAsItsBehaviourSays) {
    const std::string judge_url =
        "http://127.0.0.1:" + std::to_string(Port(kUpdateServerPort)) + "/judge?n=1";
    const std::pair<int, judge::Anonymity> cases[] = {
        {kFarmTransparent, judge::Anonymity::Transparent},
        {kFarmAnonymous, judge::Anonymity::Anonymous},
        {kFarmElite, judge::Anonymity::Elite},
        {kFarmRelay, judge::Anonymity::Elite},
        {kNoConnectPort, judge::Anonymity::Elite},
        {kFarmJudgeCache, judge::Anonymity::Unknown},
    };
    for (const auto& [port, verdict] : cases) {
        std::string remote;
        EXPECT_EQ(JudgeThrough(Port(port), judge_url, remote), verdict) << port;
        EXPECT_EQ(remote, OnwardAddress(Port(port))) << port;
    }
    const std::optional<CReply> rewritten =
        Fetch(Port(kFarmJudgeRewrite), GetRequest(judge_url, {"X-Vettor-Token: fresh"}));
    ASSERT_TRUE(rewritten);
    EXPECT_EQ(rewritten->m_strBody.rfind(JudgeBanner(), 0), 0u) << rewritten->m_strBody;
    EXPECT_NE(rewritten->m_strBody.find("X-Vettor-Token: fresh\r\n"), std::string::npos);
}

TEST_F(ProxyFarm, TunnelThroughAMarkingProxyLeavesTheRequestAloneButNotTheAddress) {
    const std::string origin = "127.0.0.1:" + std::to_string(Port(kUpdateServerPort));
    CClient client;
    ASSERT_TRUE(client.Connect(Port(kFarmTransparent)));
    ASSERT_TRUE(client.Send("CONNECT " + origin + " HTTP/1.1\r\nHost: " + origin + "\r\n\r\n" +
                            GetRequest("/judge", {"Connection: close"})));
    const std::optional<std::string> all = client.ReadToEnd();
    ASSERT_TRUE(all);
    EXPECT_NE(all->find("REMOTE_ADDR: " + OnwardAddress(Port(kFarmTransparent)) + "\r\n"),
              std::string::npos)
        << *all;
    EXPECT_EQ(all->find("Via:"), std::string::npos) << *all;
}

TEST_F(ProxyFarm, LyingProxiesStillPassTheTestFileAndTheEndlessJudgeNeverEnds) {
    for (int port = kFarmTransparent; port <= kFarmJudgeEndless; ++port) {
        const std::optional<CReply> reply = Fetch(Port(port), GetRequest(TestUrl()));
        ASSERT_TRUE(reply) << port;
        EXPECT_EQ(reply->m_strBody, "OK") << port;
    }
    CClient client;
    ASSERT_TRUE(client.Connect(Port(kFarmJudgeEndless)));
    ASSERT_TRUE(client.Send(GetRequest("http://127.0.0.1/judge", {"X-Vettor-Token: t"})));
    const std::string got = client.ReadFor(2200);
    EXPECT_NE(got.find("\r\n\r\nREMOTE_ADDR: " + OnwardAddress(Port(kFarmJudgeEndless))),
              std::string::npos)
        << got;
    EXPECT_NE(got.find("X-Vettor-Token: t\r\nX-Trickle-0: "), std::string::npos) << got;
    EXPECT_EQ(got.find("Content-Length"), std::string::npos);
}

TEST_F(ProxyFarm, EveryRequestIsLoggedAsReceivedInOrder) {
    CClient client;
    ASSERT_TRUE(client.Connect(Port(kFarmPartial)));
    const std::string first = "GET " + TestUrl() +
                              " HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: Vettor\r\n"
                              "Pragma:   no-cache\r\nProxy-Connection: Keep-Alive\r\n\r\n";
    ASSERT_TRUE(client.Send(first));
    ASSERT_TRUE(client.Read());
    ASSERT_TRUE(client.Send("GET /second HTTP/1.0\nX-Bare-Line-End: yes\n\n"));
    ASSERT_TRUE(client.Read());
    const std::string expected = "GET " + TestUrl() +
                                 " HTTP/1.1\nHost: 127.0.0.1\nUser-Agent: Vettor\n"
                                 "Pragma:   no-cache\nProxy-Connection: Keep-Alive\n\n"
                                 "GET /second HTTP/1.0\nX-Bare-Line-End: yes\n\n";
    EXPECT_NE(LogOf(kFarmPartial).find(expected), std::string::npos) << LogOf(kFarmPartial);
}

TEST_F(ProxyFarm, MalformedAndOversizedRequestsAreRefusedAndLogged) {
    const std::optional<CReply> bad = Fetch(Port(kFarmOk), "NOT A REQUEST LINE HERE\r\n\r\n");
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->m_head.m_nStatus, 400);
    EXPECT_NE(LogOf(kFarmOk).find("NOT A REQUEST LINE HERE\n\n"), std::string::npos);
    const std::string huge = "GET / HTTP/1.1\r\nX-Big: " + std::string(70 * 1024, 'a') + "\r\n\r\n";
    const std::optional<CReply> too_large = Fetch(Port(kFarmForbidden), huge);
    ASSERT_TRUE(too_large);
    EXPECT_EQ(too_large->m_head.m_nStatus, 431);
}

TEST_F(ProxyFarm, ManyConcurrentConnectionsAreAllServed) {
    constexpr int kClients = 300;
    std::vector<CClient> clients(kClients);
    for (int i = 0; i < kClients; ++i) {
        const int port = Port(i % 2 == 0 ? kFarmOk : kExtraOkPort + 1);
        ASSERT_TRUE(clients[i].Connect(port)) << i;
        ASSERT_TRUE(clients[i].Send(GetRequest(TestUrl())));
    }
    int answered = 0;
    for (CClient& c : clients) {
        const std::optional<CReply> reply = c.Read(10000);
        answered += reply && reply->m_strBody == "OK" ? 1 : 0;
    }
    EXPECT_EQ(answered, kClients);
}

// Farms of their own, for the ways a farm ends.
class FarmLifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        m_nPort = 18100 + FindFreeOffset({18100, 18101});
        ASSERT_NE(m_nPort, 18100);
    }
    bool Start(const std::vector<std::string>& extra_args) {
        std::vector<std::string> args = {STANDINS_PROXY_FARM, "--state", m_dir.Path(),
                                         "--no-fixed-ports"};
        args.insert(args.end(), extra_args.begin(), extra_args.end());
        return m_farm.Start(args, m_dir.Path() + "/farm.out") && WaitUntilAccepting(m_nPort, 10000);
    }
    CScratchDir m_dir;
    CChildProcess m_farm;
    int m_nPort = 0;
};

TEST_F(FarmLifecycle, EndsByItselfWhenItsLifetimeIsOver) {
    const Clock::time_point start = Clock::now();
    ASSERT_TRUE(
        Start({"--lifetime-seconds", "1", "--extra", "ok:" + std::to_string(m_nPort) + ":1"}));
    EXPECT_EQ(m_farm.WaitExit(5000), 0);
    EXPECT_GE(MsSince(start), 900);
    EXPECT_NE(ReadFile(m_dir.Path() + "/farm.out").find("lifetime over"), std::string::npos);
    EXPECT_TRUE(WaitUntilRefused(m_nPort, 1000));
}

TEST_F(FarmLifecycle, SigtermEndsItPromptlyEvenWithHeldConnections) {
    ASSERT_TRUE(Start({"--extra", "silent:" + std::to_string(m_nPort) + ":1", "--extra",
                       "endless_headers:" + std::to_string(m_nPort + 1) + ":1", "--pid-file",
                       m_dir.Path() + "/farm.pid"}));
    // The ports accept a moment before the pid file is written.
    EXPECT_TRUE(
        WaitForFileText(m_dir.Path() + "/farm.pid", std::to_string(m_farm.Pid()) + "\n", 3000));
    EXPECT_EQ(ReadFile(m_dir.Path() + "/farm.pid"), std::to_string(m_farm.Pid()) + "\n");
    CClient silent;
    CClient endless;
    ASSERT_TRUE(silent.Connect(m_nPort));
    ASSERT_TRUE(silent.Send(GetRequest("http://127.0.0.1/")));
    ASSERT_TRUE(endless.Connect(m_nPort + 1));
    ASSERT_TRUE(endless.Send(GetRequest("http://127.0.0.1/")));
    ASSERT_TRUE(WaitForFileText(m_dir.Path() + "/requests-" + std::to_string(m_nPort + 1) + ".log",
                                "GET", 3000));
    const Clock::time_point start = Clock::now();
    ASSERT_TRUE(m_farm.Signal(SIGTERM));
    EXPECT_EQ(m_farm.WaitExit(5000), 0);
    EXPECT_LT(MsSince(start), 3000);
}

TEST_F(FarmLifecycle, TakenPortFailsTheStartWithItsNumber) {
    std::string error;
    const CUniqueFd taken = ListenLoopback(m_nPort, error);
    ASSERT_TRUE(taken.IsValid()) << error;
    ASSERT_TRUE(m_farm.Start({STANDINS_PROXY_FARM, "--state", m_dir.Path(), "--no-fixed-ports",
                              "--extra", "ok:" + std::to_string(m_nPort) + ":1"},
                             m_dir.Path() + "/farm.out"));
    const std::optional<int> status = m_farm.WaitExit(5000);
    ASSERT_TRUE(status);
    EXPECT_NE(*status, 0);
    EXPECT_NE(ReadFile(m_dir.Path() + "/farm.out").find(std::to_string(m_nPort)),
              std::string::npos);
}

TEST_F(FarmLifecycle, BadCommandLineExitsWithUsageError) {
    ASSERT_TRUE(
        m_farm.Start({STANDINS_PROXY_FARM, "--extra", "bogus:1:1"}, m_dir.Path() + "/farm.out"));
    EXPECT_EQ(m_farm.WaitExit(5000), 2);
    EXPECT_NE(ReadFile(m_dir.Path() + "/farm.out").find("unknown behaviour"), std::string::npos);
}

} // namespace
} // namespace standins::testing
