#include "tools/standins/update_pages.h"

#include <gtest/gtest.h>

namespace standins {
namespace {

// The words a download reader takes for an error page, when they begin after
// the first character of a 512-byte chunk.
bool ChunkLooksLikeErrorPage(std::string_view chunk) {
    for (std::string_view token :
         {"ERROR", "following", "encountered", "was", "Cannot find server"}) {
        const std::size_t at = chunk.find(token, 1);
        if (at != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

TEST(Modes, ParseTheThreeNamesAndIgnoreSpace) {
    EXPECT_EQ(ParseServerMode("ok"), ServerMode::kOk);
    EXPECT_EQ(ParseServerMode(" error\n"), ServerMode::kError);
    EXPECT_EQ(ParseServerMode("down\r\n"), ServerMode::kDown);
    EXPECT_FALSE(ParseServerMode(""));
    EXPECT_FALSE(ParseServerMode("OK"));
    EXPECT_FALSE(ParseServerMode("do wn"));
    for (ServerMode m : {ServerMode::kOk, ServerMode::kError, ServerMode::kDown}) {
        EXPECT_EQ(ParseServerMode(ServerModeName(m)), m);
    }
}

TEST(Modes, FileSitsInTheStateFolder) {
    EXPECT_EQ(ModeFilePath("/s", 18080), "/s/mode-18080");
    EXPECT_EQ(ModeFilePath("/s/", 18081), "/s/mode-18081");
}

TEST(ErrorPages, ShortPageGivesItselfAwayInTheFirstChunk) {
    const std::string& page = ShortErrorPage();
    EXPECT_GE(page.size(), 300u);
    EXPECT_LE(page.size(), 1024u);
    EXPECT_TRUE(ChunkLooksLikeErrorPage(std::string_view(page).substr(0, 512)));
    EXPECT_NE(page.find("The requested URL could not be retrieved"), std::string::npos);
}

TEST(ErrorPages, LongPageLooksHarmlessUntilItsSecondChunk) {
    const std::string& page = LongErrorPage();
    ASSERT_GT(page.size(), 1024u);
    EXPECT_FALSE(ChunkLooksLikeErrorPage(std::string_view(page).substr(0, 512)));
    EXPECT_TRUE(ChunkLooksLikeErrorPage(std::string_view(page).substr(512, 512)));
}

TEST(Routes, OkModeServesTheTestFileAndRootFiles) {
    EXPECT_EQ(RouteRequest(ServerMode::kOk, "GET", "/test.txt").m_kind, CRoute::Kind::kTestFile);
    EXPECT_EQ(RouteRequest(ServerMode::kOk, "HEAD", "/test.txt?x").m_kind, CRoute::Kind::kTestFile);
    const CRoute list = RouteRequest(ServerMode::kOk, "GET", "/Proxylist.txt");
    EXPECT_EQ(list.m_kind, CRoute::Kind::kFile);
    EXPECT_EQ(list.m_strFile, "Proxylist.txt");
    const CRoute nested = RouteRequest(ServerMode::kOk, "GET", "http://127.0.0.1:18080/a/b.txt");
    EXPECT_EQ(nested.m_kind, CRoute::Kind::kFile);
    EXPECT_EQ(nested.m_strFile, "a/b.txt");
}

TEST(Routes, PathsThatCouldLeaveTheRootAreNotFound) {
    for (const char* target :
         {"/", "/../secret", "/a/../../b", "/..", "/a\\b", "/%2e%2e/x", "/dir/", "relative.txt"}) {
        EXPECT_EQ(RouteRequest(ServerMode::kOk, "GET", target).m_kind, CRoute::Kind::kNotFound)
            << target;
    }
    EXPECT_EQ(RouteRequest(ServerMode::kOk, "GET", "/a..b.txt").m_kind, CRoute::Kind::kFile);
}

TEST(Routes, TheJudgeShowsTheCallerAndEveryHeaderAsReceived) {
    EXPECT_EQ(RouteRequest(ServerMode::kOk, "GET", "/judge?token=7").m_kind, CRoute::Kind::kJudge);
    EXPECT_EQ(RouteRequest(ServerMode::kError, "GET", "/judge").m_kind, CRoute::Kind::kErrorPage);
    // A server without the judge serves the rest as before.
    EXPECT_EQ(RouteRequest(*ParseServerMode("nojudge"), "GET", "/judge").m_kind,
              CRoute::Kind::kNotFound);
    EXPECT_EQ(RouteRequest(ServerMode::kNoJudge, "GET", "/test.txt").m_kind,
              CRoute::Kind::kTestFile);
    const Headers headers = {
        {"Host", "127.0.0.1:18080"}, {"X-Forwarded-For", "127.0.0.1"}, {"via", "1.1 farm"}};
    EXPECT_EQ(JudgePage("127.0.0.3", headers),
              "REMOTE_ADDR: 127.0.0.3\r\nHost: 127.0.0.1:18080\r\nX-Forwarded-For: "
              "127.0.0.1\r\nvia: 1.1 farm\r\n");
}

TEST(Routes, OnlyGetAndHeadAreServed) {
    EXPECT_EQ(RouteRequest(ServerMode::kOk, "POST", "/test.txt").m_kind, CRoute::Kind::kBadMethod);
    EXPECT_EQ(RouteRequest(ServerMode::kError, "PUT", "/x").m_kind, CRoute::Kind::kBadMethod);
}

TEST(Routes, ErrorModeAnswersEveryPathWithAPage) {
    const CRoute test = RouteRequest(ServerMode::kError, "GET", "/test.txt");
    ASSERT_EQ(test.m_kind, CRoute::Kind::kErrorPage);
    EXPECT_EQ(test.m_pPage, &ShortErrorPage());
    const CRoute list = RouteRequest(ServerMode::kError, "GET", "/Proxylist.txt");
    ASSERT_EQ(list.m_kind, CRoute::Kind::kErrorPage);
    EXPECT_EQ(list.m_pPage, &LongErrorPage());
    EXPECT_EQ(RouteRequest(ServerMode::kError, "GET", "/missing/../x").m_kind,
              CRoute::Kind::kErrorPage);
}

TEST(Routes, QueryPicksTheErrorPageVariant) {
    EXPECT_EQ(RouteRequest(ServerMode::kError, "GET", "/test.txt?long").m_pPage, &LongErrorPage());
    EXPECT_EQ(RouteRequest(ServerMode::kError, "GET", "/Proxylist.txt?short").m_pPage,
              &ShortErrorPage());
}

TEST(ContentTypes, ByFileNameEnding) {
    EXPECT_EQ(ContentTypeFor("Proxylist.txt"), "text/plain");
    EXPECT_EQ(ContentTypeFor("help.html"), "text/html");
    EXPECT_EQ(ContentTypeFor("setup.exe"), "application/octet-stream");
}

} // namespace
} // namespace standins
