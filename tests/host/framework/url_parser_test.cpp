#include <gtest/gtest.h>

#include "build_config.h"
#include "framework/url_parser.h"

namespace {

ParsedUrl MustParse(const std::string& url) {
    ParsedUrl parsed;
    EXPECT_TRUE(ParseUrl(url, parsed)) << url;
    return parsed;
}

bool Rejects(const std::string& url) {
    ParsedUrl parsed;
    parsed.server = "untouched";
    const bool ok = ParseUrl(url, parsed);
    EXPECT_EQ(parsed.server, "untouched") << "a failed parse must leave the output alone: " << url;
    return !ok;
}

TEST(UrlParserServices, HttpAndHttpsGetTheirDefaultPorts) {
    const ParsedUrl http = MustParse("http://example.test/a");
    EXPECT_EQ(http.service, UrlService::kHttp);
    EXPECT_EQ(http.port, 80);
    const ParsedUrl https = MustParse("https://example.test/a");
    EXPECT_EQ(https.service, UrlService::kHttps);
    EXPECT_EQ(https.port, 443);
}

TEST(UrlParserServices, SchemeIsCaseInsensitive) {
    EXPECT_EQ(MustParse("HTTP://h/").service, UrlService::kHttp);
    EXPECT_EQ(MustParse("HttpS://h/").service, UrlService::kHttps);
}

TEST(UrlParserServices, OtherSchemesAreOtherWithoutDefaultPort) {
    const ParsedUrl ftp = MustParse("ftp://files.test/pub");
    EXPECT_EQ(ftp.service, UrlService::kOther);
    EXPECT_EQ(ftp.port, 0);
    EXPECT_EQ(MustParse("ftp://files.test:2121/pub").port, 2121);
    // A scheme that merely begins like http is not http.
    EXPECT_EQ(MustParse("httpx://h/").service, UrlService::kOther);
    EXPECT_EQ(MustParse("http2://h/").service, UrlService::kOther);
}

TEST(UrlParserParts, TheBuildsTestUrlSplitsIntoServerPortAndPath) {
    const ParsedUrl test = MustParse(SULVANTIX_TEST_URL);
    EXPECT_EQ(test.service, UrlService::kHttp);
    EXPECT_EQ(test.server, "127.0.0.1");
    EXPECT_EQ(test.port, 18080);
    EXPECT_EQ(test.object, "/test.txt");
}

TEST(UrlParserParts, ObjectDefaultsToSlash) {
    EXPECT_EQ(MustParse("http://h").object, "/");
    EXPECT_EQ(MustParse("http://h:81").object, "/");
    EXPECT_EQ(MustParse("http://h/").object, "/");
}

TEST(UrlParserParts, QueryStaysWithTheObjectAndFragmentIsDropped) {
    EXPECT_EQ(MustParse("http://h/p/q.txt?a=1&b=2").object, "/p/q.txt?a=1&b=2");
    EXPECT_EQ(MustParse("http://h?x=1").object, "/?x=1");
    EXPECT_EQ(MustParse("http://h/p#frag").object, "/p");
    const ParsedUrl onlyFragment = MustParse("http://h#frag");
    EXPECT_EQ(onlyFragment.server, "h");
    EXPECT_EQ(onlyFragment.object, "/");
}

TEST(UrlParserParts, UserInfoIsNotPartOfTheServer) {
    const ParsedUrl parsed = MustParse("http://user:pw@host.test:8080/x");
    EXPECT_EQ(parsed.server, "host.test");
    EXPECT_EQ(parsed.port, 8080);
    EXPECT_EQ(parsed.object, "/x");
}

TEST(UrlParserParts, BracketedIpv6LiteralKeepsItsColons) {
    const ParsedUrl parsed = MustParse("http://[::1]:8081/t");
    EXPECT_EQ(parsed.server, "::1");
    EXPECT_EQ(parsed.port, 8081);
    EXPECT_EQ(MustParse("http://[::1]/t").port, 80);
}

TEST(UrlParserPorts, ExplicitPortOverridesTheDefault) {
    EXPECT_EQ(MustParse("http://h:1/").port, 1);
    EXPECT_EQ(MustParse("https://h:65535/").port, 65535);
    EXPECT_EQ(MustParse("https://h:00443/").port, 443);
}

TEST(UrlParserPorts, InvalidPortsFail) {
    EXPECT_TRUE(Rejects("http://h:0/"));
    EXPECT_TRUE(Rejects("http://h:65536/"));
    EXPECT_TRUE(Rejects("http://h:123456/"));
    EXPECT_TRUE(Rejects("http://h:/"));
    EXPECT_TRUE(Rejects("http://h:8o/"));
    EXPECT_TRUE(Rejects("http://h:-80/"));
    EXPECT_TRUE(Rejects("http://h: 80/"));
    EXPECT_TRUE(Rejects("http://[::1]x/"));
    EXPECT_TRUE(Rejects("http://[::1/"));
}

TEST(UrlParserShapes, TextsThatAreNotUrlsFail) {
    EXPECT_TRUE(Rejects(""));
    EXPECT_TRUE(Rejects("127.0.0.1:18080/test.txt"));
    EXPECT_TRUE(Rejects("://h/"));
    EXPECT_TRUE(Rejects("http:/h/"));
    EXPECT_TRUE(Rejects("1http://h/"));
    EXPECT_TRUE(Rejects("ht tp://h/"));
}

TEST(UrlParserShapes, EmptyOrBlankServerFails) {
    EXPECT_TRUE(Rejects("http://"));
    EXPECT_TRUE(Rejects("http:///path"));
    EXPECT_TRUE(Rejects("http://:80/"));
    EXPECT_TRUE(Rejects("http://user@/"));
    EXPECT_TRUE(Rejects("http://a b/"));
    EXPECT_TRUE(Rejects("http://a\tb/"));
    EXPECT_TRUE(Rejects("http://[]:80/"));
}

} // namespace
