#include "tools/standins/absolute_uri.h"
#include "tools/standins/relay_rules.h"

#include <gtest/gtest.h>

namespace standins {
namespace {

TEST(AbsoluteUriSplit, HostPortAndPath) {
    CAbsoluteUri uri;
    ASSERT_TRUE(SplitAbsoluteUri("http://127.0.0.1:18080/test.txt", uri));
    EXPECT_EQ(uri.m_strHost, "127.0.0.1");
    EXPECT_EQ(uri.m_nPort, 18080);
    EXPECT_EQ(uri.m_strPath, "/test.txt");
    ASSERT_TRUE(SplitAbsoluteUri("HTTP://LocalHost/a/b?x=1#frag", uri));
    EXPECT_EQ(uri.m_strHost, "LocalHost");
    EXPECT_EQ(uri.m_nPort, 80);
    EXPECT_EQ(uri.m_strPath, "/a/b?x=1");
}

TEST(AbsoluteUriSplit, EmptyPathBecomesRoot) {
    CAbsoluteUri uri;
    ASSERT_TRUE(SplitAbsoluteUri("http://127.0.0.1:8080", uri));
    EXPECT_EQ(uri.m_strPath, "/");
    ASSERT_TRUE(SplitAbsoluteUri("http://127.0.0.1?q", uri));
    EXPECT_EQ(uri.m_strPath, "/?q");
}

TEST(AbsoluteUriSplit, RefusesWhatIsNoPlainHttpUri) {
    CAbsoluteUri uri;
    EXPECT_FALSE(SplitAbsoluteUri("/test.txt", uri));
    EXPECT_FALSE(SplitAbsoluteUri("https://127.0.0.1/", uri));
    EXPECT_FALSE(SplitAbsoluteUri("http:///x", uri));
    EXPECT_FALSE(SplitAbsoluteUri("http://user@127.0.0.1/", uri));
    EXPECT_FALSE(SplitAbsoluteUri("http://127.0.0.1:0/", uri));
    EXPECT_FALSE(SplitAbsoluteUri("http://127.0.0.1:65536/", uri));
    EXPECT_FALSE(SplitAbsoluteUri("http://127.0.0.1:8o/", uri));
    EXPECT_FALSE(SplitAbsoluteUri("http://127.0.0.1:/", uri));
}

TEST(AbsoluteUriSplit, BracketedAddressKeepsItsColons) {
    CAbsoluteUri uri;
    ASSERT_TRUE(SplitAbsoluteUri("http://[::1]:81/x", uri));
    EXPECT_EQ(uri.m_strHost, "::1");
    EXPECT_EQ(uri.m_nPort, 81);
    ASSERT_TRUE(SplitAbsoluteUri("http://[::1]/x", uri));
    EXPECT_EQ(uri.m_strHost, "::1");
    EXPECT_EQ(uri.m_nPort, 80);
}

TEST(Loopback, OnlyTheLoopbackAddressAndItsName) {
    EXPECT_TRUE(IsLoopbackHost("127.0.0.1"));
    EXPECT_TRUE(IsLoopbackHost("LOCALHOST"));
    EXPECT_FALSE(IsLoopbackHost("127.0.0.2"));
    EXPECT_FALSE(IsLoopbackHost("::1"));
    EXPECT_FALSE(IsLoopbackHost("localhost.example.com"));
    EXPECT_FALSE(IsLoopbackHost("example.com"));
    EXPECT_FALSE(IsLoopbackHost(""));
}

TEST(RequestPathOf, BothTargetFormsWithoutQuery) {
    EXPECT_EQ(RequestPath("/Proxylist.txt?x=1"), "/Proxylist.txt");
    EXPECT_EQ(RequestPath("http://127.0.0.1:18080/test.txt#f"), "/test.txt");
    EXPECT_EQ(RequestPath("http://127.0.0.1:18080"), "/");
}

CRequestHead Head(const std::string& method, const std::string& target, Headers headers = {}) {
    CRequestHead head;
    head.m_strMethod = method;
    head.m_strTarget = target;
    head.m_strVersion = "HTTP/1.1";
    head.m_headers = std::move(headers);
    return head;
}

TEST(RelayDecisionFor, ForwardsOnlyToLoopback) {
    EXPECT_EQ(DecideRelay(Head("GET", "http://127.0.0.1:18080/test.txt")).m_kind,
              CRelayDecision::Kind::kForward);
    EXPECT_EQ(DecideRelay(Head("GET", "http://localhost/")).m_kind, CRelayDecision::Kind::kForward);
    EXPECT_EQ(DecideRelay(Head("GET", "http://192.0.2.1/")).m_kind,
              CRelayDecision::Kind::kRefusedHost);
    EXPECT_EQ(DecideRelay(Head("GET", "http://example.com/")).m_kind,
              CRelayDecision::Kind::kRefusedHost);
    EXPECT_EQ(DecideRelay(Head("GET", "/test.txt")).m_kind, CRelayDecision::Kind::kBadRequest);
    EXPECT_EQ(DecideRelay(Head("CONNECT", "127.0.0.1:443")).m_kind,
              CRelayDecision::Kind::kNotImplemented);
}

TEST(OriginRequest, OriginFormWithoutHopByHopHeaders) {
    const CRequestHead head = Head("GET", "http://127.0.0.1:18080/test.txt",
                                   {{"Host", "127.0.0.1:18080"},
                                    {"User-Agent", "Vettor"},
                                    {"Proxy-Connection", "Keep-Alive"},
                                    {"Proxy-Authorization", "Basic eDp5"},
                                    {"Connection", "X-Hop"},
                                    {"X-Hop", "1"},
                                    {"Pragma", "no-cache"}});
    CAbsoluteUri uri;
    ASSERT_TRUE(SplitAbsoluteUri(head.m_strTarget, uri));
    EXPECT_EQ(BuildOriginRequest(head, uri, ""), "GET /test.txt HTTP/1.1\r\n"
                                                 "Host: 127.0.0.1:18080\r\n"
                                                 "User-Agent: Vettor\r\n"
                                                 "Pragma: no-cache\r\n"
                                                 "Connection: close\r\n\r\n");
}

TEST(OriginRequest, AddsHostAndBodyLength) {
    const CRequestHead head = Head("POST", "http://localhost:81/form", {{"Content-Length", "9"}});
    CAbsoluteUri uri;
    ASSERT_TRUE(SplitAbsoluteUri(head.m_strTarget, uri));
    EXPECT_EQ(BuildOriginRequest(head, uri, "a=1"), "POST /form HTTP/1.1\r\n"
                                                    "Host: localhost:81\r\n"
                                                    "Content-Length: 3\r\n"
                                                    "Connection: close\r\n\r\na=1");
}

TEST(OriginResponse, ReadUntilCloseGetsALength) {
    std::string out;
    ASSERT_TRUE(ReframeOriginResponse("HTTP/1.0 200 OK\r\nConnection: close\r\nServer: s\r\n\r\nOK",
                                      false, true, out));
    EXPECT_EQ(out, "HTTP/1.1 200 OK\r\nServer: s\r\nContent-Length: 2\r\n\r\nOK");
}

TEST(OriginResponse, ExtraBytesPastTheLengthAreDropped) {
    std::string out;
    ASSERT_TRUE(ReframeOriginResponse("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nOKjunk", false,
                                      false, out));
    EXPECT_EQ(out, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nOK");
}

TEST(OriginResponse, ChunkedBodyPassesAsItCame) {
    std::string out;
    const std::string chunked =
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nOK\r\n0\r\n\r\n";
    ASSERT_TRUE(ReframeOriginResponse(chunked, false, true, out));
    EXPECT_EQ(out, chunked);
}

TEST(OriginResponse, HeadAnswerHasNoBody) {
    std::string out;
    ASSERT_TRUE(
        ReframeOriginResponse("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n", true, true, out));
    EXPECT_EQ(out, "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\n");
}

TEST(OriginResponse, NoHttpAnswerIsRefused) {
    std::string out;
    EXPECT_FALSE(ReframeOriginResponse("", false, true, out));
    EXPECT_FALSE(ReframeOriginResponse("garbage\r\n\r\n", false, true, out));
    EXPECT_FALSE(
        ReframeOriginResponse("HTTP/1.1 200 OK\r\nContent-Length: 2\r\n", false, true, out));
}

} // namespace
} // namespace standins
