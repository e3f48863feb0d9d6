// The farm's anonymity behaviours as plain values: where relays connect from,
// what they add, and the lying judge pages.
#include "tests/host/standins/script_bytes.h"
#include "tools/standins/judge_lies.h"
#include "tools/standins/relay_manner.h"
#include "tools/standins/standin_ports.h"

#include <gtest/gtest.h>

namespace standins {
namespace {

CRequestHead JudgeRequest(const std::string& target) {
    return CRequestHead{"GET", target, "HTTP/1.1", {{"Host", "127.0.0.1:18080"}, {"X-T", "tok"}}};
}

TEST(OnwardAddress, EveryPortGetsAnAddressOfItsOwnBeside127001) {
    for (int port = 1; port <= 65535; ++port) {
        const int n = OnwardHostNumber(port);
        ASSERT_TRUE(n >= 2 && n <= 251) << port;
        ASSERT_NE(n, OnwardHostNumber(port + 1)) << port;
    }
    EXPECT_EQ(OnwardAddress(kFarmRelay), "127.0.0.116");
}

TEST(RelayManner, EachBehaviourMarksRequestsItsOwnWay) {
    const CRelayManner transparent = RelayMannerFor(Behaviour::kTransparent, 18115, "127.0.0.1");
    ASSERT_EQ(transparent.m_marks.size(), 2u);
    EXPECT_EQ(*FindHeader(transparent.m_marks, "X-Forwarded-For"), "127.0.0.1");
    // The Via alone must leave the user's address unseen.
    EXPECT_EQ(FindHeader(transparent.m_marks, "Via")->find("127.0.0.1"), std::string::npos);
    const CRelayManner anonymous = RelayMannerFor(Behaviour::kAnonymous, 18116, "127.0.0.1");
    ASSERT_EQ(anonymous.m_marks.size(), 1u);
    EXPECT_EQ(anonymous.m_marks[0].m_strName, "Via");
    for (Behaviour quiet : {Behaviour::kElite, Behaviour::kRelay, Behaviour::kJudgeCache}) {
        EXPECT_TRUE(RelayMannerFor(quiet, 18117, "127.0.0.1").m_marks.empty());
    }
    EXPECT_EQ(RelayMannerFor(Behaviour::kRelayNoConnect, 18141, "").m_connect,
              ConnectPolicy::kRefuse);
    const CRelayManner rewrite = RelayMannerFor(Behaviour::kJudgeRewrite, 18119, "127.0.0.1");
    EXPECT_EQ(BodyPrefixFor(rewrite, JudgeRequest("http://127.0.0.1:18080/judge?x=1")),
              JudgeBanner());
    EXPECT_EQ(BodyPrefixFor(rewrite, JudgeRequest("http://127.0.0.1:18080/test.txt")), "");
}

TEST(RelayManner, ForwardedForExtendsTheClientsOwnList) {
    const CRequestHead head = {"GET", "http://127.0.0.1/", "HTTP/1.1", {{"X-Forwarded-For", "a"}}};
    CAbsoluteUri uri;
    ASSERT_TRUE(SplitAbsoluteUri(head.m_strTarget, uri));
    const std::string sent = BuildOriginRequest(head, uri, "", {{"X-Forwarded-For", "b"}});
    EXPECT_NE(sent.find("\r\nX-Forwarded-For: a, b\r\n"), std::string::npos) << sent;
    EXPECT_EQ(sent.find("X-Forwarded-For", sent.find("a, b")), std::string::npos) << sent;
}

TEST(RelayManner, BannerInFrontOfTheBodyKeepsTheFramingRight) {
    std::string out;
    ASSERT_TRUE(ReframeOriginResponse("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOK", false, true,
                                      out, "<b>"));
    EXPECT_EQ(out, "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n<b>OK");
    ASSERT_TRUE(ReframeOriginResponse("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n", true, true,
                                      out, "<b>"));
    EXPECT_EQ(out, "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n");
    ASSERT_TRUE(ReframeOriginResponse(
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nOK\r\n0\r\n\r\n", false, true,
        out, std::string(16, 'x')));
    EXPECT_NE(out.find("\r\n\r\n10\r\nxxxxxxxxxxxxxxxx\r\n2\r\nOK\r\n0\r\n\r\n"),
              std::string::npos);
}

TEST(JudgeLies, CachedPageLooksEliteButCarriesAStaleToken) {
    EXPECT_EQ(CachedJudgePage(18118), "REMOTE_ADDR: 127.0.0.120\r\nHost: 127.0.0.1:18080\r\n"
                                      "X-Vettor-Token: " +
                                          std::string(kStaleJudgeToken) + "\r\n");
}

TEST(JudgeLies, HostilePagesEchoTheRequestThenBreakTheBounds) {
    const std::string start =
        "\r\n\r\nREMOTE_ADDR: 127.0.0.122\r\nHost: 127.0.0.1:18080\r\nX-T: tok\r\n";
    const CRequestHead judge = JudgeRequest("http://127.0.0.1:18080/judge?t=1");
    const std::string huge = Joined(HostileJudgeScript(Behaviour::kJudgeHuge, judge, 18120, true));
    EXPECT_NE(huge.find(start), std::string::npos);
    EXPECT_GE(huge.size(), kJudgeHugeFillerBytes);
    EXPECT_NE(huge.find("Content-Length: " + std::to_string(huge.size() - huge.find(start) - 4)),
              std::string::npos);
    const std::string binary =
        Joined(HostileJudgeScript(Behaviour::kJudgeBinary, judge, 18120, true));
    EXPECT_NE(binary.find(start), std::string::npos);
    EXPECT_NE(binary.find('\0', binary.find(start)), std::string::npos);
    const CScript endless = HostileJudgeScript(Behaviour::kJudgeEndless, judge, 18120, true);
    EXPECT_EQ(endless.m_ending, Ending::kTrickleLines);
    EXPECT_EQ(Joined(endless).find("Content-Length"), std::string::npos);
    EXPECT_NE(Joined(endless).find(start), std::string::npos);
    const std::string test_file = Joined(
        HostileJudgeScript(Behaviour::kJudgeHuge, JudgeRequest("http://h/test.txt"), 1, true));
    EXPECT_EQ(test_file.substr(test_file.size() - 6), "\r\n\r\nOK");
}

} // namespace
} // namespace standins
