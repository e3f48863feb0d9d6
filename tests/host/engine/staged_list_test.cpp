// The compact staging of a list load: it keeps one text per folded text, and
// its selection and order of additions give the same texts, in the same
// order, as the list box model over every staged line.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "gui/engine/staged_list.h"

namespace {

using Entries = std::vector<std::string>;

// Lines made to hit the duplicate rule: repeats, case variants, prefixes,
// extensions, "[" and "[-" tails, empty texts and NULs.
Entries RandomLines(std::mt19937& random, std::size_t count, const std::string& alphabet) {
    Entries lines;
    auto fresh = [&] {
        std::string text;
        for (std::size_t k = random() % 6; k > 0; --k) {
            text += alphabet[random() % alphabet.size()];
        }
        return text;
    };
    while (lines.size() < count) {
        const std::string earlier = lines.empty() ? fresh() : lines[random() % lines.size()];
        std::string text;
        switch (random() % 7) {
        case 0:
            text = earlier;
            break;
        case 1:
            text = earlier;
            for (char& c : text) {
                if (random() % 2 != 0 && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'))) {
                    c = static_cast<char>(c ^ 0x20);
                }
            }
            break;
        case 2:
            text = earlier.substr(0, earlier.empty() ? 0 : random() % earlier.size());
            break;
        case 3:
            text = earlier + fresh();
            break;
        case 4:
            if (alphabet.find('[') != std::string::npos) {
                text = (random() % 2 != 0 ? "[" : "[-") + earlier;
                break;
            }
            text = fresh();
            break;
        default:
            text = fresh();
            break;
        }
        lines.push_back(text);
    }
    return lines;
}

Entries Texts(const CStagedList& staged, const std::vector<std::uint32_t>& indices) {
    Entries texts;
    for (std::uint32_t i : indices) {
        texts.emplace_back(staged.Text(i));
    }
    return texts;
}

Entries Texts(const Entries& lines, const std::vector<std::size_t>& indices) {
    Entries texts;
    for (std::size_t i : indices) {
        texts.emplace_back(ListBoxText(lines[i]));
    }
    return texts;
}

CStagedList Stage(const Entries& lines, const CListBoxFold& fold) {
    CStagedList staged(fold);
    for (const std::string& line : lines) {
        staged.Add(line);
    }
    return staged;
}

// A fold that also takes '1' and '2' as one, and leaves the letters apart.
CListBoxFold OddFold() {
    CListBoxFold fold{};
    for (std::size_t b = 0; b < fold.size(); ++b) {
        fold[b] = static_cast<unsigned char>(b);
    }
    fold['2'] = '1';
    return fold;
}

} // namespace

TEST(StagedList, KeepsTheFirstOfEachFoldedTextWithItsOwnBytes) {
    CStagedList staged(AsciiListBoxFold());
    for (const char* text :
         {"Proxy.Example:80", "proxy.example:80", "PROXY.EXAMPLE:8080", "", ""}) {
        staged.Add(text);
    }
    staged.Add(std::string("proxy.EXAMPLE:80\0tail", 22));
    staged.Add(std::string("b:1\0", 4));
    ASSERT_EQ(staged.Size(), 5u);
    EXPECT_EQ(staged.Text(0), "Proxy.Example:80");
    EXPECT_EQ(staged.Text(1), "PROXY.EXAMPLE:8080");
    EXPECT_EQ(staged.Text(2), "") << "an empty text is never found, so each one stays";
    EXPECT_EQ(staged.Text(3), "");
    EXPECT_EQ(staged.Text(4), "b:1") << "the list box sees a text up to its NUL";
    EXPECT_STREQ(staged.CString(1), "PROXY.EXAMPLE:8080");
    EXPECT_EQ(staged.TextBytes(), 17u + 19u + 1u + 1u + 4u);

    // Millions of repeated short lines stage a handful of texts.
    CStagedList digits(AsciiListBoxFold());
    for (int i = 0; i < 2000000; ++i) {
        digits.Add(std::string(1, static_cast<char>('0' + i % 10)));
    }
    EXPECT_EQ(digits.Size(), 10u);
    EXPECT_EQ(digits.TextBytes(), 20u);
    digits.Clear();
    EXPECT_EQ(digits.Size(), 0u);

    // Once shown, the kept texts are the shown ones in their order, edited in
    // place as the user adds and removes entries.
    staged.Keep({4, 0, 2});
    EXPECT_EQ(Texts(staged, {0, 1, 2}), (Entries{"b:1", "Proxy.Example:80", ""}));
    EXPECT_EQ(staged.TextBytes(), 4u + 17u + 1u) << "nothing but the kept texts";
    staged.InsertAt(1, std::string("a:2\0tail", 8));
    staged.InsertAt(4, "z:9");
    staged.EraseAt(2);
    EXPECT_EQ(Texts(staged, {0, 1, 2, 3}), (Entries{"b:1", "a:2", "", "z:9"}));
    EXPECT_STREQ(staged.CString(3), "z:9");
    staged.Keep({});
    EXPECT_EQ(staged.Size(), 0u);
}

TEST(StagedList, SelectsAndOrdersAsTheModelOfEveryLine) {
    const std::string mixed = "aAbB[-'._:09\xC4\xE4";
    const std::string plain = "aAbBzZ.:0189";
    int reordered = 0;
    for (unsigned seed = 1; seed <= 400; ++seed) {
        std::mt19937 random(seed);
        const CListBoxFold fold = seed % 5 == 0 ? OddFold() : AsciiListBoxFold();
        Entries lines = RandomLines(random, 1 + random() % 200, seed % 2 == 0 ? plain : mixed);
        if (seed % 2 == 0) {
            // Plain lines as a list file gives them: no empty ones.
            lines.erase(std::remove(lines.begin(), lines.end(), std::string()), lines.end());
        } else if (seed % 7 == 0) {
            lines.push_back(std::string("ab\0:1", 5));
        }
        const CStagedList staged = Stage(lines, fold);

        std::vector<std::uint32_t> additions = SelectStagedAdditions(staged);
        const std::vector<std::size_t> expected = SelectListBoxAdditionsPlain(lines, fold);
        ASSERT_EQ(Texts(staged, additions), Texts(lines, expected)) << "seed " << seed;

        const std::vector<std::size_t> expectedOrder = OrderListBoxAdditions(lines, expected, fold);
        const bool sorted = OrderStagedAdditions(staged, additions);
        ASSERT_EQ(Texts(staged, additions), Texts(lines, expectedOrder)) << "seed " << seed;
        if (sorted) {
            ++reordered;
            for (std::size_t k = 1; k < additions.size(); ++k) {
                ASSERT_TRUE(
                    PlainListTextLess(staged.Text(additions[k - 1]), staged.Text(additions[k])))
                    << "seed " << seed;
            }
        }
    }
    // Both the reordered and the staged-order paths ran.
    EXPECT_GT(reordered, 50);
    EXPECT_LT(reordered, 350);
}
