#include "shared/list_box_model.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

using Entries = std::vector<std::string>;
using Indices = std::vector<std::size_t>;

namespace {

// The entries a load would list, in staged order.
Entries Added(const Entries& staged, const CListBoxFold& fold = AsciiListBoxFold()) {
    Entries added;
    for (std::size_t i : SelectListBoxAdditions(staged, fold)) {
        added.push_back(staged[i]);
    }
    return added;
}

} // namespace

TEST(ListBoxDuplicates, ExactDuplicateIsSkipped) {
    EXPECT_EQ(Added({"1.2.3.4:80", "5.6.7.8:80", "1.2.3.4:80"}),
              (Entries{"1.2.3.4:80", "5.6.7.8:80"}));
}

TEST(ListBoxDuplicates, Port80IsSkippedAfter8080ButNotTheReverse) {
    EXPECT_EQ(Added({"1.2.3.4:8080", "1.2.3.4:80"}), (Entries{"1.2.3.4:8080"}));
    EXPECT_EQ(Added({"1.2.3.4:80", "1.2.3.4:8080"}), (Entries{"1.2.3.4:80", "1.2.3.4:8080"}));
}

TEST(ListBoxDuplicates, LetterCaseDoesNotCount) {
    EXPECT_EQ(Added({"Proxy.Example:80", "proxy.example:80", "PROXY.EXAMPLE:8"}),
              (Entries{"Proxy.Example:80"}));
}

TEST(ListBoxDuplicates, TheFirstStagedCopyIsKept) {
    // "Userproxy.txt" is staged before "Proxylist.txt".
    const Entries staged{"user.example:80", "B.example:1", "list.example:1", "USER.example:80"};
    EXPECT_EQ(SelectListBoxAdditions(staged, AsciiListBoxFold()), (Indices{0, 1, 2}));
}

TEST(ListBoxDuplicates, LettersBeyondAsciiKeepTheirCase) {
    EXPECT_EQ(Added({"\xC4rger:1", "\xE4rger:1"}), (Entries{"\xC4rger:1", "\xE4rger:1"}));
}

TEST(ListBoxDuplicates, HyphensAndApostrophesAreOrdinaryCharacters) {
    EXPECT_EQ(Added({"a-b:1", "ab:1", "a'b:1", "a-"}), (Entries{"a-b:1", "ab:1", "a'b:1"}));
}

TEST(ListBoxDuplicates, DirectoryAndDriveItemsMatchTheirTails) {
    EXPECT_EQ(Added({"[abc]", "abc", "ABC]", "bc"}), (Entries{"[abc]", "bc"}));
    EXPECT_EQ(Added({"[-c-]", "c", "-C", "[-"}), (Entries{"[-c-]"}));
    EXPECT_EQ(Added({"[--c", "c", "-c"}), (Entries{"[--c", "c"}));
    // Only an item's own leading "[" counts, not the searched text's.
    EXPECT_EQ(Added({"abc", "[abc"}), (Entries{"abc", "[abc"}));
}

TEST(ListBoxDuplicates, EmptyTextsAreAddedAndNeverFound) {
    EXPECT_EQ(Added({"", "", "a:1", ""}), (Entries{"", "", "a:1", ""}));
}

TEST(ListBoxDuplicates, TextsEndAtTheirFirstNul) {
    using namespace std::string_literals;
    const Entries staged{"ab\0zz"s, "ab"s, "abc"s};
    EXPECT_EQ(SelectListBoxAdditions(staged, AsciiListBoxFold()), (Indices{0, 2}));
}

TEST(ListBoxDuplicates, UsesTheInjectedFold) {
    CListBoxFold fold = AsciiListBoxFold();
    fold[0xE4] = 0xC4;
    EXPECT_EQ(Added({"\xC4rger:1", "\xE4rger:1"}, fold), (Entries{"\xC4rger:1"}));
    CListBoxFold exact = AsciiListBoxFold();
    exact['a'] = 'a';
    EXPECT_EQ(Added({"A:1", "a:1"}, exact), (Entries{"A:1", "a:1"}));
}

TEST(ListBoxSearchRule, MatchesPrefixesThroughTheFold) {
    const CListBoxFold fold = AsciiListBoxFold();
    EXPECT_TRUE(ListBoxSearchMatches("AB-x", "ab", fold));
    EXPECT_TRUE(ListBoxSearchMatches("ab", "AB", fold));
    EXPECT_FALSE(ListBoxSearchMatches("ab", "abc", fold));
    EXPECT_FALSE(ListBoxSearchMatches("ab", "", fold));
    EXPECT_FALSE(ListBoxSearchMatches("a-b", "ab", fold));
    EXPECT_TRUE(ListBoxSearchMatches("[x", "X", fold));
    EXPECT_TRUE(ListBoxSearchMatches("[-x", "x", fold));
    EXPECT_FALSE(ListBoxSearchMatches("[--x", "x", fold));
}

TEST(ListBoxPrefixIndex, AgreesWithTheItemByItemSearch) {
    // Few distinct characters, so prefixes, shared stems and repeats are common.
    const std::string alphabet = "aAbB-'[.:18\xC4\xE4";
    CListBoxFold merged = AsciiListBoxFold();
    merged[0xE4] = 0xC4;
    for (unsigned seed = 1; seed <= 300; ++seed) {
        std::mt19937 random(seed);
        Entries staged;
        const std::size_t count = 1 + random() % 120;
        for (std::size_t i = 0; i < count; ++i) {
            if (!staged.empty() && random() % 5 == 0) {
                staged.push_back(staged[random() % staged.size()]);
                continue;
            }
            std::string text;
            const std::size_t length = random() % 6;
            for (std::size_t k = 0; k < length; ++k) {
                text += alphabet[random() % alphabet.size()];
            }
            staged.push_back(text);
        }
        for (const CListBoxFold& fold : {AsciiListBoxFold(), merged}) {
            ASSERT_EQ(SelectListBoxAdditions(staged, fold),
                      SelectListBoxAdditionsPlain(staged, fold))
                << "seed " << seed;
        }
    }
}

TEST(ListBoxPlainOrder, PunctuationBeforeDigitsBeforeLetters) {
    EXPECT_TRUE(PlainListTextLess(".", ":"));
    EXPECT_TRUE(PlainListTextLess(":", "0"));
    EXPECT_TRUE(PlainListTextLess("9", "a"));
    EXPECT_TRUE(PlainListTextLess("1.2.3.4:80", "1.2.3.40:8"));
    EXPECT_TRUE(PlainListTextLess("1.23", "12.3"));
    EXPECT_FALSE(PlainListTextLess("a", "9"));
}

TEST(ListBoxPlainOrder, ATextComesBeforeItsExtensionsAndCaseIsIgnored) {
    EXPECT_TRUE(PlainListTextLess("1.2.3.4:80", "1.2.3.4:8080"));
    EXPECT_FALSE(PlainListTextLess("1.2.3.4:8080", "1.2.3.4:80"));
    EXPECT_FALSE(PlainListTextLess("AB", "ab"));
    EXPECT_FALSE(PlainListTextLess("ab", "AB"));
    EXPECT_TRUE(PlainListTextLess("ab", "AC"));
}

TEST(ListBoxPlainOrder, PlainTextsAreDigitsDotsColonsAndAsciiLetters) {
    EXPECT_TRUE(IsPlainListText("Proxy.Example:8080"));
    EXPECT_FALSE(IsPlainListText(""));
    EXPECT_FALSE(IsPlainListText("a-b:1"));
    EXPECT_FALSE(IsPlainListText("a b:1"));
    EXPECT_FALSE(IsPlainListText("\xC4:1"));
    EXPECT_FALSE(IsPlainListText("[::1]:80"));
}

TEST(ListBoxAddOrder, PlainAdditionsGoInListBoxOrder) {
    const Entries staged{"9.9.9.9:80", "1.1.1.1:8080", "B:1", "1.1.1.1:80", "a:2"};
    EXPECT_EQ(OrderListBoxAdditions(staged, {0, 1, 2, 3, 4}, AsciiListBoxFold()),
              (Indices{3, 1, 0, 4, 2}));
}

TEST(ListBoxAddOrder, AnythingElseKeepsTheStagedOrder) {
    const Entries mixed{"9.9.9.9:80", "1.1.1.1:80", "a-b:1"};
    EXPECT_EQ(OrderListBoxAdditions(mixed, {0, 1, 2}, AsciiListBoxFold()), (Indices{0, 1, 2}));
    // Without the ASCII case pairs, "A" and "a" could both be added and tie.
    CListBoxFold exact = AsciiListBoxFold();
    exact['a'] = 'a';
    const Entries plain{"b:1", "a:1"};
    EXPECT_EQ(OrderListBoxAdditions(plain, {0, 1}, exact), (Indices{0, 1}));
    EXPECT_EQ(OrderListBoxAdditions(plain, {0, 7}, AsciiListBoxFold()), (Indices{0, 7}));
}
