#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "gui/winhelpers/sid_text_rules.h"

namespace {

using winhelpers::FormatSidText;
using winhelpers::SidParts;
using winhelpers::SidTextResult;

SidParts Sid(std::array<std::uint8_t, 6> authority, std::vector<std::uint32_t> subs) {
    SidParts sid;
    sid.authority = authority;
    sid.subAuthorities = std::move(subs);
    return sid;
}

// Formats into a buffer of exactly the size the rule asks for.
std::string Text(const SidParts& sid) {
    unsigned long length = winhelpers::SidTextSizeNeeded(sid.subAuthorities.size());
    std::vector<char> buffer(length, 'Z');
    EXPECT_EQ(FormatSidText(sid, buffer.data(), &length), SidTextResult::kOk);
    return std::string(buffer.data());
}

constexpr std::array<std::uint8_t, 6> kNtAuthority = {0, 0, 0, 0, 0, 5};

TEST(SidText, LocalSystemIsS_1_5_18) {
    EXPECT_EQ(Text(Sid(kNtAuthority, {18})), "S-1-5-18");
}

TEST(SidText, SubAuthoritiesFollowInOrder) {
    EXPECT_EQ(Text(Sid(kNtAuthority, {21, 1004336348, 1177238915, 682003330, 1000})),
              "S-1-5-21-1004336348-1177238915-682003330-1000");
    EXPECT_EQ(Text(Sid(kNtAuthority, {0xFFFFFFFFu, 0})), "S-1-5-4294967295-0");
}

TEST(SidText, NoSubAuthoritiesGivesTheAuthorityOnly) {
    EXPECT_EQ(Text(Sid({0, 0, 0, 0, 0, 1}, {})), "S-1-1");
    EXPECT_EQ(Text(Sid({0, 0, 0, 0, 0, 0}, {})), "S-1-0");
}

TEST(SidText, DecimalAuthorityReadsTheLastFourBytesBigEndian) {
    EXPECT_EQ(Text(Sid({0, 0, 0x01, 0x02, 0x03, 0x04}, {7})), "S-1-16909060-7");
    EXPECT_EQ(Text(Sid({0, 0, 0xFF, 0xFF, 0xFF, 0xFF}, {})), "S-1-4294967295");
    EXPECT_EQ(Text(Sid({0, 0, 0x80, 0, 0, 0}, {})), "S-1-2147483648");
}

TEST(SidText, NonzeroFirstOrSecondByteGivesTheHexadecimalForm) {
    EXPECT_EQ(Text(Sid({0, 0x01, 0x02, 0x03, 0x04, 0x05}, {7, 8})), "S-1-0x000102030405-7-8");
    EXPECT_EQ(Text(Sid({0xAB, 0, 0, 0, 0, 0x0F}, {1})), "S-1-0xab000000000f-1");
    EXPECT_EQ(Text(Sid({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, {})), "S-1-0xffffffffffff");
    const std::string text = Text(Sid({0x10, 0x20, 0, 0, 0, 5}, {18}));
    ASSERT_EQ(text.rfind("S-1-0x", 0), 0u);
    EXPECT_EQ(text.size(), std::strlen("S-1-0x") + 12 + std::strlen("-18"));
}

TEST(SidTextBuffer, SizeNeededIs28Plus12PerSubAuthority) {
    for (std::size_t n = 0; n <= winhelpers::kSidMaxSubAuthorities; ++n) {
        EXPECT_EQ(winhelpers::SidTextSizeNeeded(n), 28ul + 12ul * n) << n;
    }
}

TEST(SidTextBuffer, ShortBufferReportsTheSizeNeededAndWritesNothing) {
    const SidParts sid = Sid(kNtAuthority, {21, 1, 2, 3, 500});
    char buffer[10];
    std::memset(buffer, 'Z', sizeof buffer);
    unsigned long length = 10;
    EXPECT_EQ(FormatSidText(sid, buffer, &length), SidTextResult::kShortBuffer);
    EXPECT_EQ(length, 88ul);
    for (char c : buffer) {
        EXPECT_EQ(c, 'Z');
    }
}

TEST(SidTextBuffer, OneCharacterShortIsRefusedExactSizeIsTaken) {
    const SidParts sid = Sid(kNtAuthority, {18});
    std::vector<char> buffer(64, 'Z');
    unsigned long length = 39;
    EXPECT_EQ(FormatSidText(sid, buffer.data(), &length), SidTextResult::kShortBuffer);
    EXPECT_EQ(length, 40ul);
    EXPECT_EQ(FormatSidText(sid, buffer.data(), &length), SidTextResult::kOk);
    EXPECT_EQ(length, 40ul);
    EXPECT_STREQ(buffer.data(), "S-1-5-18");
}

TEST(SidTextBuffer, LongestTextStaysInsideTheGivenLength) {
    const std::vector<std::uint32_t> subs(winhelpers::kSidMaxSubAuthorities, 0xFFFFFFFFu);
    const SidParts sid = Sid({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, subs);
    unsigned long length = winhelpers::SidTextSizeNeeded(subs.size());
    std::vector<char> buffer(length + 32, 'Z');
    ASSERT_EQ(FormatSidText(sid, buffer.data(), &length), SidTextResult::kOk);
    std::string expected = "S-1-0xffffffffffff";
    for (std::size_t i = 0; i < subs.size(); ++i) {
        expected += "-4294967295";
    }
    EXPECT_EQ(std::string(buffer.data()), expected);
    for (std::size_t i = length; i < buffer.size(); ++i) {
        EXPECT_EQ(buffer[i], 'Z') << i;
    }
}

TEST(SidTextValidity, WrongRevisionOrTooManySubAuthoritiesIsInvalid) {
    SidParts sid = Sid(kNtAuthority, {18});
    sid.revision = 2;
    unsigned long length = 200;
    char buffer[200];
    EXPECT_FALSE(winhelpers::IsWellFormedSid(sid));
    EXPECT_EQ(FormatSidText(sid, buffer, &length), SidTextResult::kInvalid);
    EXPECT_EQ(length, 200ul);

    const SidParts tooLong = Sid(kNtAuthority, std::vector<std::uint32_t>(16, 1));
    EXPECT_FALSE(winhelpers::IsWellFormedSid(tooLong));
    length = 400;
    std::vector<char> big(400);
    EXPECT_EQ(FormatSidText(tooLong, big.data(), &length), SidTextResult::kInvalid);

    const SidParts fifteen = Sid(kNtAuthority, std::vector<std::uint32_t>(15, 1));
    EXPECT_TRUE(winhelpers::IsWellFormedSid(fifteen));
}

TEST(SidTextValidity, MissingLengthIsInvalidMissingBufferIsShort) {
    const SidParts sid = Sid(kNtAuthority, {18});
    char buffer[64];
    EXPECT_EQ(FormatSidText(sid, buffer, nullptr), SidTextResult::kInvalid);
    unsigned long length = 64;
    EXPECT_EQ(FormatSidText(sid, nullptr, &length), SidTextResult::kShortBuffer);
    EXPECT_EQ(length, 40ul);
}

} // namespace
