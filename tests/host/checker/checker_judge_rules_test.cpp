// How a proxy is judged from the judge's page.
#include <gtest/gtest.h>

#include <string>

#include "checker/checker_judge_rules.h"

namespace {

using judge::Anonymity;

const std::vector<std::string> kUser = {"198.51.100.7", "10.0.0.5"};
const char kToken[] = "c0ffee42";

// The page the judge makes for a request from `from` with `headers` lines.
Anonymity Judged(const std::string& from, const std::string& headers) {
    judge::CJudgePage page;
    if (!judge::ParseJudgePage("REMOTE_ADDR: " + from + "\r\nHost: 198.51.100.7:18080\r\n" +
                                   "X-Vettor-Token: " + kToken + "\r\n" + headers,
                               page)) {
        return Anonymity::Unknown;
    }
    return judge::Classify(page, kToken, kUser);
}

TEST(JudgeRules, TransparentAnonymousAndEliteFromWhatTheJudgeSaw) {
    // The judge saw the user, or a header names the user (Host names the
    // server, which may be the user's own address on a test machine).
    EXPECT_EQ(Judged("198.51.100.7", ""), Anonymity::Transparent);
    EXPECT_EQ(Judged("203.0.113.9", "X-Forwarded-For: 10.0.0.5\r\n"), Anonymity::Transparent);
    EXPECT_EQ(Judged("203.0.113.9", "Forwarded: for=\"10.0.0.5\";proto=http\r\n"),
              Anonymity::Transparent);
    // Only whole addresses count.
    EXPECT_EQ(Judged("203.0.113.9", "X-Forwarded-For: 110.0.0.51\r\n"), Anonymity::Anonymous);
    // Marked as proxied, in any case of the name, but no user address.
    EXPECT_EQ(Judged("203.0.113.9", "Via: 1.1 farm\r\n"), Anonymity::Anonymous);
    EXPECT_EQ(Judged("203.0.113.9", "proxy-connection: close\r\n"), Anonymity::Anonymous);
    EXPECT_EQ(Judged("203.0.113.9", "User-Agent: Vettor\r\nAccept: */*\r\n"), Anonymity::Elite);
    EXPECT_STREQ(judge::AnonymityText(Anonymity::Elite), "elite");
}

TEST(JudgeRules, APageNotMadeForThisRequestOrNotAJudgesJudgesNothing) {
    judge::CJudgePage page;
    // A cached or rewritten page: another token, or none.
    ASSERT_TRUE(judge::ParseJudgePage("REMOTE_ADDR: 203.0.113.9\nX-Vettor-Token: old\n", page));
    EXPECT_EQ(judge::Classify(page, kToken, kUser), Anonymity::Unknown);
    ASSERT_TRUE(judge::ParseJudgePage("REMOTE_ADDR: 203.0.113.9\n", page));
    EXPECT_EQ(judge::Classify(page, kToken, kUser), Anonymity::Unknown);
    // Hostile pages: huge, binary, no first line, a line that is no header.
    const std::string head = "REMOTE_ADDR: 203.0.113.9\nX-Vettor-Token: c0ffee42\n";
    EXPECT_FALSE(judge::ParseJudgePage(head + std::string(judge::kMaxPageBytes, 'a'), page));
    EXPECT_FALSE(judge::ParseJudgePage(head + std::string("Via: \0x", 7), page));
    EXPECT_FALSE(judge::ParseJudgePage("<html>REMOTE_ADDR: 203.0.113.9</html>", page));
    EXPECT_FALSE(judge::ParseJudgePage(head + "not a header\n", page));
    EXPECT_FALSE(judge::ParseJudgePage("REMOTE_ADDR: \n", page));
    EXPECT_TRUE(page.m_headers.empty()) << "a refused page leaves nothing behind";
}

TEST(JudgeRules, OnlyAWhole200PageMadeForTheFetchTeachesOrJudges) {
    const std::string page = "REMOTE_ADDR: 198.51.100.7\r\nX-Vettor-Token: c0ffee42\r\n";
    const judge::CJudgeFetchResult whole{true, 200, page};
    EXPECT_EQ(judge::OwnAddressFromDirectFetch(whole, kToken), "198.51.100.7");
    EXPECT_EQ(judge::JudgeProxyFetch(whole, kToken, kUser), Anonymity::Transparent);
    // Cut short by a bound (an endless page), another status, another token.
    for (const judge::CJudgeFetchResult& fetch :
         {judge::CJudgeFetchResult{false, 200, page}, judge::CJudgeFetchResult{true, 404, page}}) {
        EXPECT_EQ(judge::OwnAddressFromDirectFetch(fetch, kToken), "");
        EXPECT_EQ(judge::JudgeProxyFetch(fetch, kToken, {}), Anonymity::Unknown);
    }
    EXPECT_EQ(judge::OwnAddressFromDirectFetch(whole, "another"), "");
}

} // namespace
