#include "shared/list_box_model.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

unsigned char Byte(char c) {
    return static_cast<unsigned char>(c);
}

bool FoldedPrefix(std::string_view item, std::string_view text, const CListBoxFold& fold) {
    if (text.size() > item.size()) {
        return false;
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (fold[Byte(item[i])] != fold[Byte(text[i])]) {
            return false;
        }
    }
    return true;
}

// Position of each plain character in the list box's order, from 1; 0 for
// the others.
constexpr std::array<unsigned char, 256> MakePlainRanks() {
    std::array<unsigned char, 256> rank{};
    unsigned char next = 1;
    rank['.'] = next++;
    rank[':'] = next++;
    for (unsigned char c = '0'; c <= '9'; ++c) {
        rank[c] = next++;
    }
    for (unsigned char c = 'a'; c <= 'z'; ++c) {
        rank[c] = next;
        rank[c - 'a' + 'A'] = next++;
    }
    return rank;
}

constexpr std::array<unsigned char, 256> kPlainRanks = MakePlainRanks();

unsigned char PlainRank(char c) {
    return kPlainRanks[Byte(c)];
}

bool FoldPairsAsciiLetters(const CListBoxFold& fold) {
    for (unsigned char c = 'a'; c <= 'z'; ++c) {
        if (fold[c] != fold[c - 'a' + 'A']) {
            return false;
        }
    }
    return true;
}

} // namespace

CListBoxFold AsciiListBoxFold() {
    CListBoxFold fold{};
    for (std::size_t b = 0; b < fold.size(); ++b) {
        fold[b] = static_cast<unsigned char>(b);
    }
    for (unsigned char c = 'a'; c <= 'z'; ++c) {
        fold[c] = static_cast<unsigned char>(c - 'a' + 'A');
    }
    return fold;
}

std::string_view ListBoxText(const std::string& text) {
    return std::string_view(text.data(), std::strlen(text.c_str()));
}

bool ListBoxSearchMatches(std::string_view item, std::string_view text, const CListBoxFold& fold) {
    if (text.empty()) {
        return false;
    }
    if (FoldedPrefix(item, text, fold)) {
        return true;
    }
    if (!item.empty() && item[0] == '[') {
        if (FoldedPrefix(item.substr(1), text, fold)) {
            return true;
        }
        if (item.size() > 1 && item[1] == '-' && FoldedPrefix(item.substr(2), text, fold)) {
            return true;
        }
    }
    return false;
}

std::string CListBoxPrefixIndex::Folded(std::string_view text) const {
    std::string folded(text);
    for (char& c : folded) {
        c = static_cast<char>(m_fold[Byte(c)]);
    }
    return folded;
}

bool CListBoxPrefixIndex::Finds(std::string_view text) const {
    if (text.empty()) {
        return false;
    }
    const std::string key = Folded(text);
    const auto it = m_keys.lower_bound(key);
    return it != m_keys.end() && it->compare(0, key.size(), key) == 0;
}

void CListBoxPrefixIndex::AddKey(std::string_view text) {
    // An empty key begins with no non-empty text, so it can never be found.
    if (!text.empty()) {
        m_keys.insert(Folded(text));
    }
}

void CListBoxPrefixIndex::AddTails(std::string_view item) {
    if (!item.empty() && item[0] == '[') {
        AddKey(item.substr(1));
        if (item.size() > 1 && item[1] == '-') {
            AddKey(item.substr(2));
        }
    }
}

void CListBoxPrefixIndex::Add(std::string_view item) {
    AddKey(item);
    AddTails(item);
}

bool CListBoxPrefixIndex::AddUnlessFound(std::string_view item) {
    if (item.empty()) {
        return true;
    }
    std::string key = Folded(item);
    const auto it = m_keys.lower_bound(key);
    if (it != m_keys.end() && it->compare(0, key.size(), key) == 0) {
        return false;
    }
    m_keys.emplace_hint(it, std::move(key));
    AddTails(item);
    return true;
}

std::vector<std::size_t> SelectListBoxAdditions(const std::vector<std::string>& staged,
                                                const CListBoxFold& fold) {
    std::vector<std::size_t> additions;
    CListBoxPrefixIndex index(fold);
    for (std::size_t i = 0; i < staged.size(); ++i) {
        if (index.AddUnlessFound(ListBoxText(staged[i]))) {
            additions.push_back(i);
        }
    }
    return additions;
}

std::vector<std::size_t> SelectListBoxAdditionsPlain(const std::vector<std::string>& staged,
                                                     const CListBoxFold& fold) {
    std::vector<std::size_t> additions;
    std::vector<std::string_view> items;
    for (std::size_t i = 0; i < staged.size(); ++i) {
        const std::string_view text = ListBoxText(staged[i]);
        const bool found = std::any_of(items.begin(), items.end(), [&](std::string_view item) {
            return ListBoxSearchMatches(item, text, fold);
        });
        if (!found) {
            additions.push_back(i);
            items.push_back(text);
        }
    }
    return additions;
}

bool IsPlainListText(std::string_view text) {
    return !text.empty() &&
           std::all_of(text.begin(), text.end(), [](char c) { return PlainRank(c) != 0; });
}

bool PlainListTextLess(std::string_view a, std::string_view b) {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return PlainRank(x) < PlainRank(y); });
}

std::vector<std::size_t> OrderListBoxAdditions(const std::vector<std::string>& staged,
                                               std::vector<std::size_t> additions,
                                               const CListBoxFold& fold) {
    if (!FoldPairsAsciiLetters(fold)) {
        return additions;
    }
    for (std::size_t i : additions) {
        if (i >= staged.size() || !IsPlainListText(ListBoxText(staged[i]))) {
            return additions;
        }
    }
    // Sort on the texts spelt in ranks, so each comparison is a plain byte compare.
    std::vector<std::pair<std::string, std::size_t>> keyed;
    keyed.reserve(additions.size());
    for (std::size_t i : additions) {
        std::string key(ListBoxText(staged[i]));
        for (char& c : key) {
            c = static_cast<char>(PlainRank(c));
        }
        keyed.emplace_back(std::move(key), i);
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (std::size_t k = 0; k < keyed.size(); ++k) {
        additions[k] = keyed[k].second;
    }
    return additions;
}
