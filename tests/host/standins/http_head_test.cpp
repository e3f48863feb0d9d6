#include "tools/standins/http_head.h"

#include <gtest/gtest.h>

namespace standins {
namespace {

TEST(HeadEnd, FoundAfterTheFirstEmptyLineWithEitherLineEnd) {
    EXPECT_EQ(FindHeadEnd("GET / HTTP/1.1\r\nHost: a\r\n\r\nrest"), 27u);
    EXPECT_EQ(FindHeadEnd("GET / HTTP/1.1\nHost: a\n\nrest"), 24u);
    EXPECT_EQ(FindHeadEnd("GET / HTTP/1.1\r\nHost: a\n\r\n"), 26u);
}

TEST(HeadEnd, MissingWhileTheHeadIsIncomplete) {
    EXPECT_FALSE(FindHeadEnd(""));
    EXPECT_FALSE(FindHeadEnd("GET / HTTP/1.1\r\nHost: a\r\n"));
    EXPECT_FALSE(FindHeadEnd("GET / HTTP/1.1\r\nHost: a\r\n\r"));
}

TEST(RequestHead, SplitsRequestLineAndHeaders) {
    CRequestHead head;
    ASSERT_TRUE(ParseRequestHead("GET http://127.0.0.1:18080/test.txt HTTP/1.1\r\n"
                                 "Host: 127.0.0.1:18080\r\n"
                                 "User-Agent:  Vettor \r\n"
                                 "X-Empty:\r\n\r\n",
                                 head));
    EXPECT_EQ(head.m_strMethod, "GET");
    EXPECT_EQ(head.m_strTarget, "http://127.0.0.1:18080/test.txt");
    EXPECT_EQ(head.m_strVersion, "HTTP/1.1");
    ASSERT_EQ(head.m_headers.size(), 3u);
    EXPECT_EQ(head.m_headers[1].m_strName, "User-Agent");
    EXPECT_EQ(head.m_headers[1].m_strValue, "Vettor");
    EXPECT_EQ(head.m_headers[2].m_strValue, "");
}

TEST(RequestHead, RefusesMalformedHeads) {
    CRequestHead head;
    EXPECT_FALSE(ParseRequestHead("\r\n", head));
    EXPECT_FALSE(ParseRequestHead("GET /\r\n\r\n", head));
    EXPECT_FALSE(ParseRequestHead("GET / HTTP/1.1 extra\r\n\r\n", head));
    EXPECT_FALSE(ParseRequestHead("GET / FTP/1.0\r\n\r\n", head));
    EXPECT_FALSE(ParseRequestHead("G(T / HTTP/1.1\r\n\r\n", head));
    EXPECT_FALSE(ParseRequestHead("GET / HTTP/1.1\r\nno colon here\r\n\r\n", head));
    EXPECT_FALSE(ParseRequestHead("GET / HTTP/1.1\r\n: no name\r\n\r\n", head));
    EXPECT_FALSE(ParseRequestHead("GET / HTTP/1.1\r\nBad Name: x\r\n\r\n", head));
}

TEST(RequestHead, LinesAreKeptWithoutTheirLineEnds) {
    const std::vector<std::string> lines =
        SplitHeadLines("GET / HTTP/1.1\r\nA: 1\nB:  2 \r\n\r\nbody\r\n");
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "GET / HTTP/1.1");
    EXPECT_EQ(lines[1], "A: 1");
    EXPECT_EQ(lines[2], "B:  2 ");
}

TEST(ResponseHead, ParsesStatusReasonAndHeaders) {
    CResponseHead head;
    ASSERT_TRUE(
        ParseResponseHead("HTTP/1.0 407 Proxy Authentication Required\r\nA: b\r\n\r\n", head));
    EXPECT_EQ(head.m_strVersion, "HTTP/1.0");
    EXPECT_EQ(head.m_nStatus, 407);
    EXPECT_EQ(head.m_strReason, "Proxy Authentication Required");
    ASSERT_EQ(head.m_headers.size(), 1u);
    ASSERT_TRUE(ParseResponseHead("HTTP/1.1 204\r\n\r\n", head));
    EXPECT_EQ(head.m_nStatus, 204);
    EXPECT_EQ(head.m_strReason, "");
    EXPECT_FALSE(ParseResponseHead("HTTP/1.1 20x OK\r\n\r\n", head));
    EXPECT_FALSE(ParseResponseHead("HTTP/1.1 2000 OK\r\n\r\n", head));
    EXPECT_FALSE(ParseResponseHead("ICY 200 OK\r\n\r\n", head));
}

TEST(Headers, LookupIgnoresCaseAndRemoveTakesEveryCopy) {
    Headers headers = {{"Content-Length", "2"}, {"X-A", "1"}, {"content-length", "2"}};
    ASSERT_TRUE(FindHeader(headers, "CONTENT-LENGTH"));
    EXPECT_EQ(*FindHeader(headers, "x-a"), "1");
    EXPECT_FALSE(FindHeader(headers, "X-B"));
    RemoveHeader(headers, "Content-length");
    ASSERT_EQ(headers.size(), 1u);
    EXPECT_EQ(headers[0].m_strName, "X-A");
}

TEST(Headers, TokensAreFoundInCommaLists) {
    EXPECT_TRUE(HasToken("Keep-Alive", "keep-alive"));
    EXPECT_TRUE(HasToken("TE, close", "close"));
    EXPECT_FALSE(HasToken("closed", "close"));
    EXPECT_FALSE(HasToken("", "close"));
}

TEST(ContentLengthHeader, ValidAbsentOrInvalid) {
    std::size_t length = 99;
    EXPECT_EQ(ContentLength({}, length), LengthStatus::kAbsent);
    EXPECT_EQ(ContentLength({{"Content-Length", "6144"}}, length), LengthStatus::kValid);
    EXPECT_EQ(length, 6144u);
    EXPECT_EQ(ContentLength({{"Content-Length", "2"}, {"Content-Length", "2"}}, length),
              LengthStatus::kValid);
    EXPECT_EQ(ContentLength({{"Content-Length", "2"}, {"Content-Length", "3"}}, length),
              LengthStatus::kInvalid);
    EXPECT_EQ(ContentLength({{"Content-Length", "-1"}}, length), LengthStatus::kInvalid);
    EXPECT_EQ(ContentLength({{"Content-Length", ""}}, length), LengthStatus::kInvalid);
    EXPECT_EQ(ContentLength({{"Content-Length", "9999999999999999"}}, length),
              LengthStatus::kInvalid);
}

CRequestHead Head(const std::string& version, Headers headers) {
    CRequestHead head;
    head.m_strMethod = "GET";
    head.m_strTarget = "/";
    head.m_strVersion = version;
    head.m_headers = std::move(headers);
    return head;
}

TEST(KeepAlive, Http11KeepsUnlessToldToClose) {
    EXPECT_TRUE(WantsKeepAlive(Head("HTTP/1.1", {})));
    EXPECT_FALSE(WantsKeepAlive(Head("HTTP/1.1", {{"Connection", "close"}})));
    EXPECT_FALSE(WantsKeepAlive(Head("HTTP/1.1", {{"Proxy-Connection", "Close"}})));
}

TEST(KeepAlive, Http10ClosesUnlessAskedToKeep) {
    EXPECT_FALSE(WantsKeepAlive(Head("HTTP/1.0", {})));
    EXPECT_TRUE(WantsKeepAlive(Head("HTTP/1.0", {{"Connection", "keep-alive"}})));
    EXPECT_TRUE(WantsKeepAlive(Head("HTTP/1.0", {{"Proxy-Connection", "Keep-Alive"}})));
}

TEST(Response, CarriesTheBodyLengthAndClosesOnRequest) {
    const std::string kept = BuildResponse(200, {{"Content-Type", "text/plain"}}, "OK", true);
    EXPECT_EQ(kept, "HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 2\r\n\r\nOK");
    const std::string closing = BuildResponse(404, {{"Content-Length", "7"}}, "", false);
    EXPECT_EQ(closing, "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\nConnection: close\r\n\r\n");
}

TEST(Response, HeadAnswerKeepsTheLengthButNotTheBody) {
    const std::string head_only = BuildResponse(200, {}, "abc", true, true);
    EXPECT_EQ(head_only, "HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\n");
}

} // namespace
} // namespace standins
