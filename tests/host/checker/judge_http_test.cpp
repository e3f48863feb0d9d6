// The judge's request, and the reading of whatever answer comes back.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "checker/checker_judge_rules.h"
#include "checker/judge_http.h"

namespace {

using judge::CAnswerReader;
using State = CAnswerReader::State;

// Feeds `answer` in pieces of `piece` bytes, then the close when `close`.
CAnswerReader ReadInPieces(const std::string& answer, std::size_t piece, bool close) {
    CAnswerReader reader;
    for (std::size_t at = 0; at < answer.size() && reader.Current() == State::kMore; at += piece) {
        reader.Feed(std::string_view(answer).substr(at, piece));
    }
    if (close) {
        reader.Closed();
    }
    return reader;
}

TEST(JudgeHttp, TheRequestGoesToTheServerOrThroughAProxyWithTheToken) {
    ParsedUrl url;
    ASSERT_TRUE(ParseUrl("http://judge.example:8080/judge?x=1", url));
    const std::string direct = judge::RequestText(url, false, "t0k", "Vettor");
    EXPECT_EQ(direct.substr(0, direct.find("\r\n")), "GET /judge?x=1 HTTP/1.1");
    const std::string proxied = judge::RequestText(url, true, "t0k", "Vettor");
    EXPECT_EQ(proxied.substr(0, proxied.find("\r\n")),
              "GET http://judge.example:8080/judge?x=1 HTTP/1.1");
    for (const std::string& request : {direct, proxied}) {
        EXPECT_NE(request.find("\r\nHost: judge.example:8080\r\n"), std::string::npos);
        EXPECT_NE(request.find("\r\nX-Vettor-Token: t0k\r\n"), std::string::npos);
        EXPECT_EQ(request.substr(request.size() - 23), "\r\nConnection: close\r\n\r\n");
    }
}

TEST(JudgeHttp, AnswersOfEveryFramingReadWholeInAnyPieces) {
    const std::string page = "REMOTE_ADDR: 127.0.0.9\r\nX-Vettor-Token: t\r\n";
    const std::string sized = "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(page.size()) +
                              "\r\n\r\n" + page + "trailing bytes are no part of it";
    std::string chunkedWhole = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
    char size[16];
    std::snprintf(size, sizeof size, "%zx", page.size() - 5);
    chunkedWhole += "5;ext=1\r\n" + page.substr(0, 5) + "\r\n" + size + "\r\n" + page.substr(5) +
                    "\r\n0\r\nX-Trailer: 1\r\n\r\n";
    const std::string closeEnded = "HTTP/1.0 404 Not Found\r\nServer: x\r\n\r\n" + page;
    for (std::size_t piece : {std::size_t{1}, std::size_t{7}, std::size_t{4096}}) {
        const CAnswerReader a = ReadInPieces(sized, piece, false);
        EXPECT_EQ(a.Current(), State::kWhole) << piece;
        EXPECT_EQ(a.Body(), page);
        const CAnswerReader b = ReadInPieces(chunkedWhole, piece, false);
        EXPECT_EQ(b.Current(), State::kWhole) << piece;
        EXPECT_EQ(b.Body(), page);
        const CAnswerReader c = ReadInPieces(closeEnded, piece, true);
        EXPECT_EQ(c.Current(), State::kWhole);
        EXPECT_EQ(c.Status(), 404u);
    }
    // Without the close the last answer is not known to be whole.
    EXPECT_EQ(ReadInPieces(closeEnded, 9, false).Current(), State::kMore);
    // A body cut off by the close is no answer.
    EXPECT_EQ(ReadInPieces(sized.substr(0, sized.size() - 40), 9, true).Current(), State::kBroken);
    EXPECT_EQ(ReadInPieces(chunkedWhole.substr(0, 60), 3, true).Current(), State::kBroken);
}

TEST(JudgeHttp, HostileAnswersEndInABoundedReadAndJudgeNothing) {
    // Too big by its length, by its chunks, by the close, or by an endless head.
    const std::string big = std::to_string(judge::kMaxPageBytes + 1);
    EXPECT_EQ(
        ReadInPieces("HTTP/1.1 200 OK\r\nContent-Length: " + big + "\r\n\r\n", 64, false).Current(),
        State::kBroken);
    EXPECT_EQ(ReadInPieces("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nffffffffff\r\n",
                           64, false)
                  .Current(),
              State::kBroken);
    CAnswerReader flood;
    flood.Feed("HTTP/1.1 200 OK\r\n\r\n");
    const std::string block(4096, 'a');
    int fed = 0;
    while (flood.Current() == State::kMore && fed < 100) {
        flood.Feed(block);
        ++fed;
    }
    EXPECT_EQ(flood.Current(), State::kBroken);
    EXPECT_LE(fed, 17) << "read no more than the page bound and one piece";
    CAnswerReader endlessHead;
    endlessHead.Feed("HTTP/1.1 200 OK\r\n");
    for (int line = 0; line < 2000 && endlessHead.Current() == State::kMore; ++line) {
        endlessHead.Feed("X-Trickle: aaaaaaaaaaaaaaaa\r\n");
    }
    EXPECT_EQ(endlessHead.Current(), State::kBroken);
    // Not HTTP, a line that is no header, two lengths that disagree.
    for (const char* answer :
         {"SSH-2.0-OpenSSH\r\n\r\n", "HTTP/1.1 200 OK\r\nno colon\r\n\r\n",
          "HTTP/1.1 200 OK\r\nContent-Length: 1\r\nContent-Length: 2\r\n\r\n"}) {
        EXPECT_EQ(ReadInPieces(answer, 5, true).Current(), State::kBroken) << answer;
    }
    // A binary page reads whole but judges nothing.
    const std::string binary =
        "REMOTE_ADDR: 127.0.0.9\r\nX-Vettor-Token: t\r\n\x01\x02" + std::string(3, '\0');
    const CAnswerReader read = ReadInPieces(
        "HTTP/1.1 200 OK\r\nContent-Length: " + std::to_string(binary.size()) + "\r\n\r\n" + binary,
        4096, false);
    ASSERT_EQ(read.Current(), State::kWhole);
    EXPECT_EQ(judge::JudgeProxyFetch({true, read.Status(), read.Body()}, "t", {"127.0.0.1"}),
              judge::Anonymity::Unknown);
}

} // namespace
