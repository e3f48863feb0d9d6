#include "shared/proxy_entry.h"

#include <gtest/gtest.h>

#include <climits>

TEST(ProxyEntryAtoi, ReadsLeadingDigits) {
    EXPECT_EQ(AtoiDecimal("8080"), 8080);
    EXPECT_EQ(AtoiDecimal("00080"), 80);
    EXPECT_EQ(AtoiDecimal("80abc"), 80);
    EXPECT_EQ(AtoiDecimal("80 81"), 80);
    EXPECT_EQ(AtoiDecimal("3128:1"), 3128);
}

TEST(ProxyEntryAtoi, SkipsLeadingWhiteSpaceAndTakesOneSign) {
    EXPECT_EQ(AtoiDecimal(" \t\r\n\v\f80"), 80);
    EXPECT_EQ(AtoiDecimal("+80"), 80);
    EXPECT_EQ(AtoiDecimal("-80"), -80);
    EXPECT_EQ(AtoiDecimal("  -7x"), -7);
    EXPECT_EQ(AtoiDecimal("+-1"), 0);
    EXPECT_EQ(AtoiDecimal("- 1"), 0);
}

TEST(ProxyEntryAtoi, NoDigitsGivesZero) {
    EXPECT_EQ(AtoiDecimal(""), 0);
    EXPECT_EQ(AtoiDecimal("-"), 0);
    EXPECT_EQ(AtoiDecimal("port"), 0);
    EXPECT_EQ(AtoiDecimal("x80"), 0);
    EXPECT_EQ(AtoiDecimal("\xA0"
                          "80"),
              0);
}

TEST(ProxyEntryAtoi, ClampsBeyondTheIntRange) {
    EXPECT_EQ(AtoiDecimal("2147483647"), INT_MAX);
    EXPECT_EQ(AtoiDecimal("2147483648"), INT_MAX);
    EXPECT_EQ(AtoiDecimal("99999999999999999999999999"), INT_MAX);
    EXPECT_EQ(AtoiDecimal("-2147483648"), INT_MIN);
    EXPECT_EQ(AtoiDecimal("-2147483647"), -2147483647);
    EXPECT_EQ(AtoiDecimal("-2147483649"), INT_MIN);
    EXPECT_EQ(AtoiDecimal("-99999999999999999999999999"), INT_MIN);
    EXPECT_EQ(AtoiDecimal("000000000000000000000000008080"), 8080);
}

TEST(ProxyEntrySplit, AddressIsEverythingBeforeTheLastColon) {
    const CProxyEntryParts parts = SplitProxyEntry("1.2.3.4:8080");
    EXPECT_EQ(parts.m_strAddress, "1.2.3.4");
    EXPECT_EQ(parts.m_nPort, 8080);

    const CProxyEntryParts named = SplitProxyEntry("proxy.example:3128x");
    EXPECT_EQ(named.m_strAddress, "proxy.example");
    EXPECT_EQ(named.m_nPort, 3128);
}

TEST(ProxyEntrySplit, SeveralColonsSplitAtTheLast) {
    const CProxyEntryParts bracketed = SplitProxyEntry("[::1]:8080");
    EXPECT_EQ(bracketed.m_strAddress, "[::1]");
    EXPECT_EQ(bracketed.m_nPort, 8080);

    const CProxyEntryParts bare = SplitProxyEntry("fe80::1:2");
    EXPECT_EQ(bare.m_strAddress, "fe80::1");
    EXPECT_EQ(bare.m_nPort, 2);

    const CProxyEntryParts trailing = SplitProxyEntry("::");
    EXPECT_EQ(trailing.m_strAddress, ":");
    EXPECT_EQ(trailing.m_nPort, 0);
}

TEST(ProxyEntrySplit, EmptyOrBadPortGivesZero) {
    const CProxyEntryParts empty = SplitProxyEntry("1.2.3.4:");
    EXPECT_EQ(empty.m_strAddress, "1.2.3.4");
    EXPECT_EQ(empty.m_nPort, 0);
    EXPECT_EQ(SplitProxyEntry("1.2.3.4:http").m_nPort, 0);
    EXPECT_EQ(SplitProxyEntry("1.2.3.4:-1").m_nPort, -1);
    EXPECT_EQ(SplitProxyEntry("1.2.3.4:99999999999").m_nPort, INT_MAX);
}

TEST(ProxyEntrySplit, WithoutColonTheWholeTextIsThePort) {
    const CProxyEntryParts digits = SplitProxyEntry("8080");
    EXPECT_EQ(digits.m_strAddress, "");
    EXPECT_EQ(digits.m_nPort, 8080);

    const CProxyEntryParts dotted = SplitProxyEntry("1.2.3.4");
    EXPECT_EQ(dotted.m_strAddress, "");
    EXPECT_EQ(dotted.m_nPort, 1);

    const CProxyEntryParts none = SplitProxyEntry("");
    EXPECT_EQ(none.m_strAddress, "");
    EXPECT_EQ(none.m_nPort, 0);
}

TEST(ProxyEntrySplit, ColonFirstGivesEmptyAddress) {
    const CProxyEntryParts parts = SplitProxyEntry(":80");
    EXPECT_EQ(parts.m_strAddress, "");
    EXPECT_EQ(parts.m_nPort, 80);
}
