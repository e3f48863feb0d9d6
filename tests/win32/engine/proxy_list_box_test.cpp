#include "gui/engine/proxy_list_box.h"

#include "shared/list_box_model.h"
#include "shared/list_lines.h"
#include "tests/support/list_box_items.h"
#include "tests/support/list_host_window.h"
#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <string>
#include <tuple>
#include <vector>

using Entries = std::vector<std::string>;

namespace {

std::string Lines(const Entries& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += line + "\r\n";
    }
    return text;
}

// Staged entries made to hit the duplicate rule: repeats, case variants,
// prefixes and extensions of earlier entries, over a small alphabet.
Entries RandomStaging(std::mt19937& random, std::size_t count, const std::string& alphabet,
                      std::size_t maxLength) {
    Entries staged;
    auto fresh = [&] {
        std::string text;
        const std::size_t length = 1 + random() % maxLength;
        for (std::size_t k = 0; k < length; ++k) {
            text += alphabet[random() % alphabet.size()];
        }
        return text;
    };
    while (staged.size() < count) {
        if (staged.empty()) {
            staged.push_back(fresh());
            continue;
        }
        const std::string& earlier = staged[random() % staged.size()];
        std::string text;
        switch (random() % 6) {
        case 0:
            text = earlier;
            break;
        case 1:
            text = earlier;
            for (char& c : text) {
                if (random() % 2 != 0 && std::isalpha(static_cast<unsigned char>(c))) {
                    c = static_cast<char>(c ^ 0x20);
                }
            }
            break;
        case 2:
            text = earlier.substr(0, 1 + random() % earlier.size());
            break;
        case 3:
            text = earlier + fresh();
            break;
        default:
            text = fresh();
            break;
        }
        staged.push_back(text);
    }
    return staged;
}

std::string RandomIpEntry(std::mt19937& random) {
    static const char* const kPorts[] = {"80", "8080", "3128", "808", "8", "1080"};
    return std::to_string(1 + random() % 3) + "." + std::to_string(random() % 12) + "." +
           std::to_string(random() % 300) + ":" + kPorts[random() % 6];
}

const std::string kMixedAlphabet = "aAbBzZ-'[]._: 0189\x01\xAD\xC4\xE4\x8A\x9A\xDF\xFF\x9F";
const std::string kPlainAlphabet = "aAbBcZz.:0189";

Entries Shown(const CProxyList& list) {
    Entries entries;
    for (std::size_t i = 0; i < list.Count(); ++i) {
        entries.emplace_back(list.Entry(i));
    }
    return entries;
}

// The product's fill; the list it leaves must hold the list box's items in
// the list box's order, as the engine reads them from there on.
void FillShown(HWND box, const Entries& staged) {
    CProxyList list = MakeProxyList();
    for (const std::string& entry : staged) {
        list.Stage(entry);
    }
    list.FinishStaging();
    ShowProxyList(box, list);
    EXPECT_EQ(Shown(list), ListBoxItems(box));
}

// The reference: each entry searched for from before the first item and
// added when nothing is found.
void FillOneByOne(HWND box, const Entries& staged) {
    for (const std::string& entry : staged) {
        if (SendMessageA(box, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(entry.c_str())) == LB_ERR) {
            SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
        }
    }
}

void ExpectSameFill(const Entries& staged, const std::string& what) {
    CListHostWindow fast;
    CListHostWindow plain;
    ASSERT_TRUE(fast.Ready() && plain.Ready());
    FillShown(fast.List(), staged);
    FillOneByOne(plain.List(), staged);
    const Entries expected = ListBoxItems(plain.List());
    ASSERT_EQ(ListBoxItems(fast.List()), expected) << what;
    EXPECT_EQ(SendMessageA(fast.List(), LB_GETCOUNT, 0, 0), static_cast<LRESULT>(expected.size()));
}

// A load from the list files of a folder; the count of entries shown.
using Loader = std::size_t (*)(HWND, const std::string&);

// As the main window does after each load.
std::size_t SelectFirst(HWND box) {
    const LRESULT count = SendMessageA(box, LB_GETCOUNT, 0, 0);
    if (count > 0) {
        SendMessageA(box, LB_SETCURSEL, 0, 0);
    }
    return static_cast<std::size_t>(count);
}

std::size_t FastLoad(HWND box, const std::string& directory) {
    CProxyList list = MakeProxyList();
    list.Load(directory);
    ShowProxyList(box, list);
    EXPECT_EQ(Shown(list), ListBoxItems(box));
    return SelectFirst(box);
}

std::size_t PlainLoad(HWND box, const std::string& directory) {
    SendMessageA(box, LB_RESETCONTENT, 0, 0);
    Entries staging;
    ReadListFileEntries(directory + "\\" + kUserProxyFileName, staging);
    ReadListFileEntries(directory + "\\" + kProxyListFileName, staging);
    FillOneByOne(box, staging);
    return SelectFirst(box);
}

const Loader kFastLoad = FastLoad;
const Loader kPlainLoad = PlainLoad;

struct CNamedLoader {
    const char* m_pszName;
    Loader m_pLoad;
};

class ListLoad : public ::testing::TestWithParam<CNamedLoader> {
protected:
    std::size_t Load() { return GetParam().m_pLoad(m_window.List(), m_dir.Path()); }
    void WriteUser(const std::string& bytes) { m_dir.Write(kUserProxyFileName, bytes); }
    void WriteList(const std::string& bytes) { m_dir.Write(kProxyListFileName, bytes); }

    CScratchDir m_dir;
    CListHostWindow m_window;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(Loaders, ListLoad,
                         ::testing::Values(CNamedLoader{"Fast", kFastLoad},
                                           CNamedLoader{"Plain", kPlainLoad}),
                         [](const ::testing::TestParamInfo<CNamedLoader>& info) {
                             return std::string(info.param.m_pszName);
                         });

TEST_P(ListLoad, LoadsOnlyTheTrimmedNonEmptyLines) {
    ASSERT_TRUE(m_window.Ready());
    WriteUser("\r\n  9.9.9.9:80 \r\n\t\r\n   \r\n");
    WriteList("   \r\n1.1.1.1:3128\r\r\n\r\n\v5.5.5.5:1");
    EXPECT_EQ(Load(), 3u);
    EXPECT_EQ(ListBoxItems(m_window.List()), (Entries{"1.1.1.1:3128", "5.5.5.5:1", "9.9.9.9:80"}));
}

TEST_P(ListLoad, AnEntryInBothFilesIsListedOnceAsTheUserCopy) {
    WriteUser("Proxy.Example:8080\r\n");
    WriteList("proxy.example:8080\r\n2.2.2.2:80\r\nPROXY.EXAMPLE:8080\r\n");
    EXPECT_EQ(Load(), 2u);
    EXPECT_EQ(ListBoxItems(m_window.List()), (Entries{"2.2.2.2:80", "Proxy.Example:8080"}));
}

TEST_P(ListLoad, APortThatBeginsAnotherIsHiddenOnlyWhenItComesSecond) {
    WriteList("10.0.0.1:8080\r\n10.0.0.1:80\r\n");
    EXPECT_EQ(Load(), 1u);
    EXPECT_EQ(ListBoxItems(m_window.List()), (Entries{"10.0.0.1:8080"}));
    WriteUser("10.0.0.1:80\r\n");
    WriteList("10.0.0.1:8080\r\n");
    EXPECT_EQ(Load(), 2u);
    EXPECT_EQ(ListBoxItems(m_window.List()), (Entries{"10.0.0.1:80", "10.0.0.1:8080"}));
}

TEST_P(ListLoad, ItemsFollowTheListBoxOrderAndEachLoadStartsAfresh) {
    WriteList("b:1\r\nC:1\r\na:1\r\n");
    EXPECT_EQ(Load(), 3u);
    EXPECT_EQ(ListBoxItems(m_window.List()), (Entries{"a:1", "b:1", "C:1"}));
    WriteList("2.2.2.2:2\r\n");
    EXPECT_EQ(Load(), 1u);
    EXPECT_EQ(ListBoxItems(m_window.List()), (Entries{"2.2.2.2:2"}));
    WriteList("  \r\n");
    EXPECT_EQ(Load(), 0u);
    EXPECT_EQ(SendMessageA(m_window.List(), LB_GETCOUNT, 0, 0), 0);
}

TEST_P(ListLoad, AgreesWithTheOtherLoaderOnBigListFiles) {
    std::mt19937 random(77);
    Entries user;
    Entries list;
    for (int i = 0; i < 60; ++i) {
        user.push_back(RandomIpEntry(random));
    }
    for (int i = 0; i < 2400; ++i) {
        list.push_back(i % 7 == 0 ? "  " + RandomIpEntry(random) + " " : RandomIpEntry(random));
    }
    WriteUser(Lines(user));
    WriteList(Lines(list));
    const std::size_t count = Load();
    const Entries items = ListBoxItems(m_window.List());

    const bool fast = GetParam().m_pLoad == kFastLoad;
    CListHostWindow other;
    EXPECT_EQ((fast ? kPlainLoad : kFastLoad)(other.List(), m_dir.Path()), count);
    EXPECT_EQ(ListBoxItems(other.List()), items);
    EXPECT_LT(items.size(), user.size() + list.size());
    for (UINT message : {LB_GETCURSEL, LB_GETTOPINDEX, LB_GETCARETINDEX}) {
        EXPECT_EQ(SendMessageA(other.List(), message, 0, 0),
                  SendMessageA(m_window.List(), message, 0, 0))
            << "message " << message;
    }
}

TEST(ListLoadWindow, AShownListHasItsScrollBarAfterAFastFill) {
    CListHostWindow window(true);
    ASSERT_TRUE(window.Ready());
    Entries staged;
    for (int i = 0; i < 100; ++i) {
        staged.push_back("10.0.0." + std::to_string(i) + ":80");
    }
    FillShown(window.List(), staged);
    // With redraw left off the list box would keep its scroll bar as it was
    // before the fill: hidden, with an empty range.
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE;
    ASSERT_TRUE(GetScrollInfo(window.List(), SB_VERT, &info));
    EXPECT_EQ(info.nMax, 99);
    EXPECT_NE(GetWindowLongA(window.List(), GWL_STYLE) & WS_VSCROLL, 0);
    EXPECT_TRUE(IsWindowVisible(window.List()));
}

TEST(ListBoxFold, WinesListBoxFoldsAsciiLettersOnly) {
    CListBoxFold fold{};
    ASSERT_TRUE(GetListBoxFold(fold));
    const CListBoxFold ascii = AsciiListBoxFold();
    for (int b = 1; b < 256; ++b) {
        EXPECT_EQ(fold[b], ascii[b]) << "byte " << b;
    }
}

TEST(ListBoxFold, TheSearchRuleAgreesWithTheRealListBox) {
    CListHostWindow window;
    ASSERT_TRUE(window.Ready());
    CListBoxFold fold{};
    ASSERT_TRUE(GetListBoxFold(fold));
    std::mt19937 random(5);
    const std::string alphabet = "aA[-'b\xC4\xE4\xDF\x9F\xFF";
    for (int round = 0; round < 4000; ++round) {
        std::string item;
        for (std::size_t k = random() % 5; k > 0; --k) {
            item += alphabet[random() % alphabet.size()];
        }
        std::string text;
        if (!item.empty() && random() % 2 == 0) {
            // Often a case variant of the beginning of the item or of its tail.
            const std::size_t from = random() % item.size();
            text = item.substr(from, 1 + random() % (item.size() - from));
            for (char& c : text) {
                if (random() % 2 != 0 && std::isalpha(static_cast<unsigned char>(c))) {
                    c = static_cast<char>(c ^ 0x20);
                }
            }
        } else {
            for (std::size_t k = random() % 4; k > 0; --k) {
                text += alphabet[random() % alphabet.size()];
            }
        }
        SendMessageA(window.List(), LB_RESETCONTENT, 0, 0);
        SendMessageA(window.List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
        const bool found = SendMessageA(window.List(), LB_FINDSTRING, static_cast<WPARAM>(-1),
                                        reinterpret_cast<LPARAM>(text.c_str())) != LB_ERR;
        ASSERT_EQ(ListBoxSearchMatches(item, text, fold), found)
            << "item '" << item << "' text '" << text << "'";
    }
}

TEST(ListBoxOrder, PlainTextsSortAsTheListBoxSortsThem) {
    CListHostWindow window;
    ASSERT_TRUE(window.Ready());
    std::mt19937 random(11);
    for (int i = 0; i < 1500; ++i) {
        std::string text;
        for (std::size_t k = 1 + random() % 7; k > 0; --k) {
            text += kPlainAlphabet[random() % kPlainAlphabet.size()];
        }
        SendMessageA(window.List(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    const Entries items = ListBoxItems(window.List());
    ASSERT_EQ(items.size(), 1500u);
    EXPECT_TRUE(
        std::is_sorted(items.begin(), items.end(), [](const std::string& a, const std::string& b) {
            return PlainListTextLess(a, b);
        }));
}

TEST(ListFillDifferential, RandomListsGiveTheSameItems) {
    for (unsigned seed = 1; seed <= 60; ++seed) {
        std::mt19937 random(seed);
        const std::string& alphabet = seed % 3 == 0 ? kPlainAlphabet : kMixedAlphabet;
        ExpectSameFill(RandomStaging(random, 1 + random() % 300, alphabet, 6),
                       "seed " + std::to_string(seed));
    }
}

TEST(ListFillDifferential, RandomProxyListsGiveTheSameItems) {
    for (unsigned seed = 100; seed < 120; ++seed) {
        std::mt19937 random(seed);
        Entries staged;
        for (std::size_t i = 1 + random() % 400; i > 0; --i) {
            staged.push_back(RandomIpEntry(random));
        }
        ExpectSameFill(staged, "seed " + std::to_string(seed));
    }
}

TEST(ListFillDifferential, TwoThousandMixedEntries) {
    std::mt19937 random(2000);
    ExpectSameFill(RandomStaging(random, 2500, kMixedAlphabet, 8), "mixed");
}

TEST(ListFillDifferential, TwoThousandPlainEntriesInListBoxOrder) {
    std::mt19937 random(3000);
    const Entries staged = RandomStaging(random, 2500, kPlainAlphabet, 8);
    CListBoxFold fold{};
    ASSERT_TRUE(GetListBoxFold(fold));
    const auto additions = SelectListBoxAdditions(staged, fold);
    // The reordered path is the one under test here.
    ASSERT_NE(OrderListBoxAdditions(staged, additions, fold), additions);
    ExpectSameFill(staged, "plain");
}

TEST(ListFillDifferential, EntriesThatTieInTheListBoxOrder) {
    // A soft hyphen weighs nothing in the sort, so these compare equal while
    // the search tells them apart: the result depends on the insertion order.
    const Entries staged{"ab:1",
                         "a\xAD"
                         "b:1",
                         "zz",
                         "AB:1\xAD",
                         "a\xAD\xAD"
                         "b:1",
                         "ab:1\xAD"};
    ExpectSameFill(staged, "ties");
    Entries reversed(staged.rbegin(), staged.rend());
    ExpectSameFill(reversed, "ties reversed");
}
