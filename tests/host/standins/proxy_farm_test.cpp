// The proxy farm as a process, on shifted ports, talked to with plain sockets.
#include "tests/host/standins/standin_harness.h"
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

class ProxyFarm : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        std::vector<int> ports = {kUpdateServerPort, kClosedPort,      kLateOkPort,
                                  kExtraOkPort,      kExtraOkPort + 1, kExtraOkPort + 2};
        for (int p = kFarmFirstPort; p <= kFarmLastPort; ++p) {
            ports.push_back(p);
        }
        offset_ = FindFreeOffset(ports);
        ASSERT_NE(offset_, 0) << "no free block of loopback ports";
        dir_ = std::make_unique<ScratchDir>();
        ASSERT_TRUE(WriteFile(dir_->path() + "/www-dummy", ""));
        farm_ = std::make_unique<ChildProcess>();
        ASSERT_TRUE(farm_->Start({STANDINS_PROXY_FARM, "--state", dir_->path(), "--port-offset",
                                  std::to_string(offset_), "--lifetime-seconds", "120", "--extra",
                                  "late_ok:1:" + std::to_string(kLateOkPort) + ":1", "--extra",
                                  "ok:" + std::to_string(kExtraOkPort) + ":3"},
                                 dir_->path() + "/farm.out"));
        origin_ = std::make_unique<ChildProcess>();
        ASSERT_TRUE(origin_->Start({STANDINS_UPDATE_SERVER, "--port",
                                    std::to_string(Port(kUpdateServerPort)), "--root", dir_->path(),
                                    "--state", dir_->path(), "--lifetime-seconds", "120"},
                                   dir_->path() + "/origin.out"));
        ASSERT_TRUE(WaitUntilAccepting(Port(kFarmRelay), 10000))
            << ReadFile(dir_->path() + "/farm.out");
        ASSERT_TRUE(WaitUntilAccepting(Port(kExtraOkPort + 2), 10000));
        ASSERT_TRUE(WaitUntilAccepting(Port(kUpdateServerPort), 10000));
    }

    static void TearDownTestSuite() {
        for (ChildProcess* p : {farm_.get(), origin_.get()}) {
            if (p != nullptr) {
                p->Signal(SIGTERM);
                EXPECT_EQ(p->WaitExit(8000), 0);
            }
        }
        farm_.reset();
        origin_.reset();
        dir_.reset();
    }

    static int Port(int fixed) { return fixed + offset_; }
    static std::string LogOf(int fixed) {
        return ReadFile(dir_->path() + "/requests-" + std::to_string(Port(fixed)) + ".log");
    }
    static std::string LogPathOf(int fixed) {
        return dir_->path() + "/requests-" + std::to_string(Port(fixed)) + ".log";
    }
    std::string TestUrl() const {
        return "http://127.0.0.1:" + std::to_string(Port(kUpdateServerPort)) + "/test.txt";
    }

    static int offset_;
    static std::unique_ptr<ScratchDir> dir_;
    static std::unique_ptr<ChildProcess> farm_;
    static std::unique_ptr<ChildProcess> origin_;
};

int ProxyFarm::offset_ = 0;
std::unique_ptr<ScratchDir> ProxyFarm::dir_;
std::unique_ptr<ChildProcess> ProxyFarm::farm_;
std::unique_ptr<ChildProcess> ProxyFarm::origin_;

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
        const std::optional<Reply> reply = Fetch(Port(c.port), GetRequest(TestUrl()));
        ASSERT_TRUE(reply) << c.port;
        EXPECT_EQ(reply->head.status, c.status) << c.port;
        EXPECT_EQ(reply->body, c.body) << c.port;
    }
}

TEST_F(ProxyFarm, RefusingPortsSendTheirStatusAndChallenge) {
    const std::optional<Reply> proxy_auth = Fetch(Port(kFarmAuth407), GetRequest(TestUrl()));
    ASSERT_TRUE(proxy_auth);
    EXPECT_EQ(proxy_auth->head.status, 407);
    EXPECT_TRUE(FindHeader(proxy_auth->head.headers, "Proxy-Authenticate"));
    EXPECT_GE(proxy_auth->body.size(), 4096u);
    const std::optional<Reply> auth = Fetch(Port(kFarmAuth401), GetRequest(TestUrl()));
    ASSERT_TRUE(auth);
    EXPECT_EQ(auth->head.status, 401);
    EXPECT_TRUE(FindHeader(auth->head.headers, "WWW-Authenticate"));
    const std::optional<Reply> forbidden = Fetch(Port(kFarmForbidden), GetRequest(TestUrl()));
    ASSERT_TRUE(forbidden);
    EXPECT_EQ(forbidden->head.status, 403);
    const std::optional<Reply> failed = Fetch(Port(kFarmServerError), GetRequest(TestUrl()));
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->head.status, 500);
}

TEST_F(ProxyFarm, KeptConnectionServesSeveralRequestsIncludingPipelinedOnes) {
    for (int port : {kFarmOk, kFarmAuth407, kFarmSplitBody}) {
        Client client;
        ASSERT_TRUE(client.Connect(Port(port)));
        ASSERT_TRUE(client.Send(GetRequest(TestUrl())));
        ASSERT_TRUE(client.Read()) << port;
        ASSERT_TRUE(client.Send(GetRequest(TestUrl()) + GetRequest(TestUrl())));
        ASSERT_TRUE(client.Read()) << port;
        ASSERT_TRUE(client.Read()) << port;
    }
}

TEST_F(ProxyFarm, ConnectionCloseIsHonouredAfterTheReply) {
    Client client;
    ASSERT_TRUE(client.Connect(Port(kFarmOk)));
    ASSERT_TRUE(client.Send(GetRequest(TestUrl(), {"Connection: close"})));
    const std::optional<std::string> all = client.ReadToEnd(3000);
    ASSERT_TRUE(all) << "the farm must close the connection";
    EXPECT_NE(all->find("Connection: close\r\n"), std::string::npos);
    EXPECT_EQ(all->substr(all->size() - 2), "OK");
}

TEST_F(ProxyFarm, SilentPortReadsTheRequestButNeverAnswers) {
    Client client;
    ASSERT_TRUE(client.Connect(Port(kFarmSilent)));
    ASSERT_TRUE(client.Send(GetRequest(TestUrl(), {"X-Probe: silent"})));
    EXPECT_EQ(client.ReadFor(1500), "");
    EXPECT_NE(LogOf(kFarmSilent).find("X-Probe: silent\n"), std::string::npos);
}

TEST_F(ProxyFarm, ResetPortResetsTheConnectionAfterTheRequest) {
    Client client;
    ASSERT_TRUE(client.Connect(Port(kFarmReset)));
    ASSERT_TRUE(client.Send(GetRequest(TestUrl())));
    pollfd p{client.fd(), POLLIN, 0};
    ASSERT_EQ(poll(&p, 1, 3000), 1);
    char byte = 0;
    const ssize_t n = recv(client.fd(), &byte, 1, 0);
    EXPECT_EQ(n, -1);
    EXPECT_EQ(errno, ECONNRESET);
}

TEST_F(ProxyFarm, SlowPortTricklesItsHeadOverAboutTwoSeconds) {
    Client client;
    ASSERT_TRUE(client.Connect(Port(kFarmSlowPieces)));
    const Clock::time_point start = Clock::now();
    ASSERT_TRUE(client.Send(GetRequest(TestUrl())));
    std::string got;
    long first_piece_ms = -1;
    int pieces = 0;
    while (!FindHeadEnd(got) && MsSince(start) < 5000) {
        ASSERT_EQ(ReceiveSome(client.fd(), got, 4096, 5000), Io::kOk);
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
    ASSERT_EQ(ReceiveAtLeast(client.fd(), got, *head_end + 2, 1000), Io::kOk);
    EXPECT_EQ(got.substr(*head_end), "OK");
}

TEST_F(ProxyFarm, SplitBodyPortSendsKAfterAPause) {
    Client client;
    ASSERT_TRUE(client.Connect(Port(kFarmSplitBody)));
    ASSERT_TRUE(client.Send(GetRequest(TestUrl())));
    const std::string first = client.ReadFor(200);
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(first.back(), 'O');
    const std::string rest = client.ReadFor(400);
    EXPECT_EQ(rest, "K");
}

TEST_F(ProxyFarm, EndlessPortNeverFinishesItsHead) {
    Client client;
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
    const std::optional<Reply> reply = Fetch(Port(kLateOkPort), GetRequest(TestUrl()));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->body, "OK");
    EXPECT_GE(MsSince(start), 900);
}

TEST_F(ProxyFarm, RelayFetchesFromALoopbackOrigin) {
    Client client;
    ASSERT_TRUE(client.Connect(Port(kFarmRelay)));
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(client.Send(
            GetRequest(TestUrl(), {"Proxy-Connection: Keep-Alive", "X-Relay-Test: 1"})));
        const std::optional<Reply> reply = client.Read();
        ASSERT_TRUE(reply) << i;
        EXPECT_EQ(reply->head.status, 200);
        EXPECT_EQ(reply->body, "OK");
        EXPECT_FALSE(FindHeader(reply->head.headers, "Connection"));
    }
    const std::string origin_log = LogOf(kUpdateServerPort);
    EXPECT_NE(origin_log.find("GET /test.txt HTTP/1.1\nHost: 127.0.0.1\nX-Relay-Test: 1\n"
                              "Connection: close\n\n"),
              std::string::npos)
        << origin_log;
    EXPECT_EQ(origin_log.find("Proxy-Connection"), std::string::npos);
}

TEST_F(ProxyFarm, RelayRefusesEveryOtherHostWithoutTryingIt) {
    for (const char* target :
         {"http://192.0.2.1/test.txt", "http://example.com/", "http://10.0.0.1:18080/"}) {
        const Clock::time_point start = Clock::now();
        const std::optional<Reply> reply = Fetch(Port(kFarmRelay), GetRequest(target));
        ASSERT_TRUE(reply) << target;
        EXPECT_EQ(reply->head.status, 502) << target;
        EXPECT_LT(MsSince(start), 1000) << target;
    }
}

TEST_F(ProxyFarm, RelayReportsAnOriginThatIsNotThere) {
    const std::optional<Reply> reply =
        Fetch(Port(kFarmRelay),
              GetRequest("http://127.0.0.1:" + std::to_string(Port(kClosedPort)) + "/"));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->head.status, 502);
}

TEST_F(ProxyFarm, RelayNeedsAnAbsoluteUri) {
    const std::optional<Reply> reply = Fetch(Port(kFarmRelay), GetRequest("/test.txt"));
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->head.status, 400);
}

TEST_F(ProxyFarm, EveryRequestIsLoggedAsReceivedInOrder) {
    Client client;
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
    const std::optional<Reply> bad = Fetch(Port(kFarmOk), "NOT A REQUEST LINE HERE\r\n\r\n");
    ASSERT_TRUE(bad);
    EXPECT_EQ(bad->head.status, 400);
    EXPECT_NE(LogOf(kFarmOk).find("NOT A REQUEST LINE HERE\n\n"), std::string::npos);
    const std::string huge = "GET / HTTP/1.1\r\nX-Big: " + std::string(70 * 1024, 'a') + "\r\n\r\n";
    const std::optional<Reply> too_large = Fetch(Port(kFarmForbidden), huge);
    ASSERT_TRUE(too_large);
    EXPECT_EQ(too_large->head.status, 431);
}

TEST_F(ProxyFarm, ManyConcurrentConnectionsAreAllServed) {
    constexpr int kClients = 300;
    std::vector<Client> clients(kClients);
    for (int i = 0; i < kClients; ++i) {
        const int port = Port(i % 2 == 0 ? kFarmOk : kExtraOkPort + 1);
        ASSERT_TRUE(clients[i].Connect(port)) << i;
        ASSERT_TRUE(clients[i].Send(GetRequest(TestUrl())));
    }
    int answered = 0;
    for (Client& c : clients) {
        const std::optional<Reply> reply = c.Read(10000);
        answered += reply && reply->body == "OK" ? 1 : 0;
    }
    EXPECT_EQ(answered, kClients);
}

// Farms of their own, for the ways a farm ends.
class FarmLifecycle : public ::testing::Test {
protected:
    void SetUp() override {
        port_ = 18100 + FindFreeOffset({18100, 18101});
        ASSERT_NE(port_, 18100);
    }
    bool Start(const std::vector<std::string>& extra_args) {
        std::vector<std::string> args = {STANDINS_PROXY_FARM, "--state", dir_.path(),
                                         "--no-fixed-ports"};
        args.insert(args.end(), extra_args.begin(), extra_args.end());
        return farm_.Start(args, dir_.path() + "/farm.out") && WaitUntilAccepting(port_, 10000);
    }
    ScratchDir dir_;
    ChildProcess farm_;
    int port_ = 0;
};

TEST_F(FarmLifecycle, EndsByItselfWhenItsLifetimeIsOver) {
    const Clock::time_point start = Clock::now();
    ASSERT_TRUE(
        Start({"--lifetime-seconds", "1", "--extra", "ok:" + std::to_string(port_) + ":1"}));
    EXPECT_EQ(farm_.WaitExit(5000), 0);
    EXPECT_GE(MsSince(start), 900);
    EXPECT_NE(ReadFile(dir_.path() + "/farm.out").find("lifetime over"), std::string::npos);
    EXPECT_TRUE(WaitUntilRefused(port_, 1000));
}

TEST_F(FarmLifecycle, SigtermEndsItPromptlyEvenWithHeldConnections) {
    ASSERT_TRUE(Start({"--extra", "silent:" + std::to_string(port_) + ":1", "--extra",
                       "endless_headers:" + std::to_string(port_ + 1) + ":1", "--pid-file",
                       dir_.path() + "/farm.pid"}));
    // The ports accept a moment before the pid file is written.
    EXPECT_TRUE(
        WaitForFileText(dir_.path() + "/farm.pid", std::to_string(farm_.pid()) + "\n", 3000));
    EXPECT_EQ(ReadFile(dir_.path() + "/farm.pid"), std::to_string(farm_.pid()) + "\n");
    Client silent;
    Client endless;
    ASSERT_TRUE(silent.Connect(port_));
    ASSERT_TRUE(silent.Send(GetRequest("http://127.0.0.1/")));
    ASSERT_TRUE(endless.Connect(port_ + 1));
    ASSERT_TRUE(endless.Send(GetRequest("http://127.0.0.1/")));
    ASSERT_TRUE(WaitForFileText(dir_.path() + "/requests-" + std::to_string(port_ + 1) + ".log",
                                "GET", 3000));
    const Clock::time_point start = Clock::now();
    ASSERT_TRUE(farm_.Signal(SIGTERM));
    EXPECT_EQ(farm_.WaitExit(5000), 0);
    EXPECT_LT(MsSince(start), 3000);
}

TEST_F(FarmLifecycle, TakenPortFailsTheStartWithItsNumber) {
    std::string error;
    const UniqueFd taken = ListenLoopback(port_, error);
    ASSERT_TRUE(taken.valid()) << error;
    ASSERT_TRUE(farm_.Start({STANDINS_PROXY_FARM, "--state", dir_.path(), "--no-fixed-ports",
                             "--extra", "ok:" + std::to_string(port_) + ":1"},
                            dir_.path() + "/farm.out"));
    const std::optional<int> status = farm_.WaitExit(5000);
    ASSERT_TRUE(status);
    EXPECT_NE(*status, 0);
    EXPECT_NE(ReadFile(dir_.path() + "/farm.out").find(std::to_string(port_)), std::string::npos);
}

TEST_F(FarmLifecycle, BadCommandLineExitsWithUsageError) {
    ASSERT_TRUE(
        farm_.Start({STANDINS_PROXY_FARM, "--extra", "bogus:1:1"}, dir_.path() + "/farm.out"));
    EXPECT_EQ(farm_.WaitExit(5000), 2);
    EXPECT_NE(ReadFile(dir_.path() + "/farm.out").find("unknown behaviour"), std::string::npos);
}

} // namespace
} // namespace standins::testing
