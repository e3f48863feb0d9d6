#include <gtest/gtest.h>

#include <string>

#include "shared/probe_rules.h"

namespace {

using probe::BodyVerdict;
using probe::StatusOutcome;

BodyVerdict Judge(const std::string& read) {
    return probe::JudgeBodyRead(true, read.data(), read.size());
}

bool IsErrorPage(const std::string& chunk) {
    return probe::IsErrorPageChunk(chunk.data(), chunk.size());
}

const char* const kTokens[] = {"ERROR", "following", "encountered", "was", "Cannot find server"};

TEST(ProbeStatus, OkAndPartialContentReadTheBodyWithoutDraining) {
    for (unsigned long status : {200ul, 206ul}) {
        const probe::StatusDecision d = probe::DecideStatus(status);
        EXPECT_EQ(d.outcome, StatusOutcome::kReadBody) << status;
        EXPECT_FALSE(d.drainFirst) << status;
    }
}

TEST(ProbeStatus, ProxyAuthenticationDrainsThenNamesTheProxy) {
    const probe::StatusDecision d = probe::DecideStatus(407);
    EXPECT_TRUE(d.drainFirst);
    EXPECT_EQ(d.outcome, StatusOutcome::kFailNamingProxy);
}

TEST(ProbeStatus, ServerAuthenticationDrainsThenNamesOnlyTheStatus) {
    const probe::StatusDecision d = probe::DecideStatus(401);
    EXPECT_TRUE(d.drainFirst);
    EXPECT_EQ(d.outcome, StatusOutcome::kFailNamingStatus);
}

TEST(ProbeStatus, EveryOtherStatusFailsWithoutDraining) {
    for (unsigned long status = 0; status < 1000; ++status) {
        if (status == 200 || status == 206 || status == 401 || status == 407) {
            continue;
        }
        const probe::StatusDecision d = probe::DecideStatus(status);
        EXPECT_EQ(d.outcome, StatusOutcome::kFailNamingStatus) << status;
        EXPECT_FALSE(d.drainFirst) << status;
    }
    EXPECT_EQ(probe::DecideStatus(200ul + 0x10000ul).outcome, StatusOutcome::kFailNamingStatus);
}

TEST(ProbeBody, ExactlyOkReadsOn) {
    EXPECT_EQ(Judge("OK"), BodyVerdict::kContinue);
}

TEST(ProbeBody, AnythingButExactlyOkIsNotAlive) {
    for (const char* body :
         {"ok", "Ok", "oK", "O", "K", "OK\r\n", "OK\n", " OK", "OKOK", "KO", "NO", "OK "}) {
        EXPECT_EQ(Judge(body), BodyVerdict::kNotAlive) << body;
    }
}

TEST(ProbeBody, BytesAfterAnEmbeddedNulStillCount) {
    EXPECT_EQ(Judge(std::string("OK\0", 3)), BodyVerdict::kNotAlive);
    EXPECT_EQ(Judge(std::string("O\0K", 3)), BodyVerdict::kNotAlive);
}

TEST(ProbeBody, EndOfBodyOrFailedReadMeansAlive) {
    EXPECT_EQ(probe::JudgeBodyRead(true, "", 0), BodyVerdict::kAlive);
    // A failing read ends the body as the end would; what was read so far stands.
    EXPECT_EQ(probe::JudgeBodyRead(false, "garbage", 7), BodyVerdict::kAlive);
    EXPECT_EQ(probe::JudgeBodyRead(false, "", 0), BodyVerdict::kAlive);
}

TEST(ProbeBody, ABodySplitOverTwoReadsFailsOnTheFirstRead) {
    EXPECT_EQ(Judge("O"), BodyVerdict::kNotAlive);
}

TEST(ErrorPage, EachTokenAfterTheFirstByteMarksAnErrorPage) {
    for (const char* token : kTokens) {
        EXPECT_TRUE(IsErrorPage(std::string("x") + token)) << token;
        EXPECT_TRUE(IsErrorPage(std::string("<html>") + token + "</html>")) << token;
        EXPECT_TRUE(IsErrorPage(std::string(500, '.') + token)) << token;
    }
}

TEST(ErrorPage, ATokenAtTheFirstByteDoesNotCount) {
    for (const char* token : kTokens) {
        EXPECT_FALSE(IsErrorPage(token)) << token;
        EXPECT_FALSE(IsErrorPage(std::string(token) + " and nothing else")) << token;
    }
}

TEST(ErrorPage, ALaterCopyCountsEvenWhenTheFirstByteHoldsOne) {
    EXPECT_TRUE(IsErrorPage("ERROR and again ERROR"));
    EXPECT_TRUE(IsErrorPage("ERROR: it was bad"));
    EXPECT_TRUE(IsErrorPage("wasteful wasps"));
}

TEST(ErrorPage, TokensAreCaseSensitive) {
    EXPECT_FALSE(IsErrorPage("an error happened"));
    EXPECT_FALSE(IsErrorPage("xError"));
    EXPECT_FALSE(IsErrorPage("the Following"));
    EXPECT_FALSE(IsErrorPage("xEncountered"));
    EXPECT_FALSE(IsErrorPage("it WAS"));
    EXPECT_FALSE(IsErrorPage("xcannot find server"));
    EXPECT_FALSE(IsErrorPage("xCannot Find Server"));
}

TEST(ErrorPage, PartialTokensDoNot) {
    EXPECT_FALSE(IsErrorPage("xERRO"));
    EXPECT_FALSE(IsErrorPage("xfollowin"));
    EXPECT_FALSE(IsErrorPage("xwa"));
    EXPECT_FALSE(IsErrorPage("xCannot find serve"));
    EXPECT_FALSE(IsErrorPage("xCannot  find server"));
}

TEST(ErrorPage, PlainListsAndTheTestFileAreNotErrorPages) {
    EXPECT_FALSE(IsErrorPage("OK"));
    EXPECT_FALSE(IsErrorPage("10.0.0.1:8080\r\n10.0.0.2:3128\r\n"));
    EXPECT_FALSE(IsErrorPage(""));
    EXPECT_FALSE(IsErrorPage("w"));
}

TEST(ErrorPage, BytesAfterAnEmbeddedNulAreStillSearched) {
    EXPECT_TRUE(IsErrorPage(std::string("x\0was", 5)));
}

TEST(ErrorPage, ATokenSplitAcrossTwoChunksIsSeenInNeither) {
    EXPECT_FALSE(IsErrorPage("list w"));
    EXPECT_FALSE(IsErrorPage("as here"));
}

TEST(ProbeTraces, SendFailureNamesTheErrorAndTheProxy) {
    EXPECT_EQ(probe::SendFailedTrace(12029, "127.0.0.1:18099"),
              "Failed in call to HttpSendRequest, Error:12029 -> 127.0.0.1:18099");
    EXPECT_EQ(probe::SendFailedTrace(0, ""), "Failed in call to HttpSendRequest, Error:0 -> ");
}

TEST(ProbeTraces, ProxyAuthenticationNamesStatusAndProxy) {
    EXPECT_EQ(probe::StatusNamingProxyTrace(407, "10.1.2.3:3128"),
              "Failed to retrieve a HTTP OK or partial content status, Status Code:407 -> "
              "10.1.2.3:3128");
}

TEST(ProbeTraces, OtherFailuresNameOnlyTheStatusAndEndInALineFeed) {
    EXPECT_EQ(probe::StatusOnlyTrace(403),
              "Failed to retrieve a HTTP OK or partial content status, Status Code:403\n");
    EXPECT_EQ(probe::StatusOnlyTrace(0),
              "Failed to retrieve a HTTP OK or partial content status, Status Code:0\n");
}

TEST(ProbeTraces, NumbersPrintAsSignedDecimal) {
    EXPECT_EQ(probe::StatusOnlyTrace(0xFFFFFFFFul),
              "Failed to retrieve a HTTP OK or partial content status, Status Code:-1\n");
}

TEST(ProbeTraces, ValidHasNoSpaceBeforeTheProxy) {
    EXPECT_EQ(probe::ValidTrace("127.0.0.1:18100"), "Valid ->127.0.0.1:18100");
    EXPECT_STREQ(probe::kExceptionTrace, "ERROR");
}

TEST(ProbeRequest, ProxyTextJoinsAddressAndDecimalPort) {
    EXPECT_EQ(probe::ProxyText("127.0.0.1", 18100), "127.0.0.1:18100");
    EXPECT_EQ(probe::ProxyText("proxy.test", 80), "proxy.test:80");
    EXPECT_EQ(probe::ProxyText("", 0), ":0");
}

TEST(ProbeRequest, HttpsAddsSecureAndCertificateLeniencies) {
    EXPECT_EQ(probe::RequestFlagsFor(UrlService::kHttp), probe::kRequestFlagsHttp);
    EXPECT_EQ(probe::RequestFlagsFor(UrlService::kOther), probe::kRequestFlagsHttp);
    EXPECT_EQ(probe::RequestFlagsFor(UrlService::kHttps), probe::kRequestFlagsHttps);
    const unsigned long secureAndLenient = 0x00800000ul | 0x00001000ul | 0x00002000ul;
    EXPECT_EQ(probe::kRequestFlagsHttps, probe::kRequestFlagsHttp | secureAndLenient);
}

} // namespace

namespace {

TEST(ProbeAgent, ProgramNameIsTheFileNameWithoutExtension) {
    EXPECT_EQ(probe::ProgramNameFromPath("C:\\Program Files\\Sulvantix\\Vettor.exe"), "Vettor");
    EXPECT_EQ(probe::ProgramNameFromPath("Z:\\build\\tests\\probe_win32_test.exe"),
              "probe_win32_test");
    EXPECT_EQ(probe::ProgramNameFromPath("/unix/style/Sulvantix.exe"), "Sulvantix");
}

TEST(ProbeAgent, OnlyTheLastExtensionGoesAndDotsInFoldersStay) {
    EXPECT_EQ(probe::ProgramNameFromPath("C:\\a.b\\prog.test.exe"), "prog.test");
    EXPECT_EQ(probe::ProgramNameFromPath("C:\\dir.v2\\prog"), "prog");
    EXPECT_EQ(probe::ProgramNameFromPath("prog.exe"), "prog");
    EXPECT_EQ(probe::ProgramNameFromPath(""), "");
}

} // namespace
