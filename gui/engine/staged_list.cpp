#include "staged_list.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {

unsigned char Byte(char c) {
    return static_cast<unsigned char>(c);
}

constexpr std::uint32_t kNoIndex = std::numeric_limits<std::uint32_t>::max();

// A key of the search: a staged text, or its "[" or "[-" tail.
struct CKey {
    std::uint32_t m_nEntry;
    std::uint32_t m_nSkip;
};

// Compares folded texts byte by byte, as the list box's search does; a text
// sorts before its own extensions, so all keys that begin with a text follow
// its lower bound.
int FoldedCompare(std::string_view a, std::string_view b, const CListBoxFold& fold) {
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = fold[Byte(a[i])];
        const unsigned char y = fold[Byte(b[i])];
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

bool FoldedPrefix(std::string_view text, std::string_view key, const CListBoxFold& fold) {
    return text.size() <= key.size() && FoldedCompare(text, key.substr(0, text.size()), fold) == 0;
}

// Counts of added keys by sorted position, summed over ranges in log time.
class CCountTree {
public:
    explicit CCountTree(std::size_t size) : m_counts(size + 1, 0) {}
    void Add(std::size_t position) {
        for (std::size_t i = position + 1; i < m_counts.size(); i += i & (~i + 1)) {
            ++m_counts[i];
        }
    }
    // Added keys at positions [0, end).
    std::uint32_t Before(std::size_t end) const {
        std::uint32_t sum = 0;
        for (std::size_t i = end; i > 0; i -= i & (~i + 1)) {
            sum += m_counts[i];
        }
        return sum;
    }

private:
    std::vector<std::uint32_t> m_counts;
};

bool FoldPairsAsciiLetters(const CListBoxFold& fold) {
    for (unsigned char c = 'a'; c <= 'z'; ++c) {
        if (fold[c] != fold[c - 'a' + 'A']) {
            return false;
        }
    }
    return true;
}

} // namespace

std::uint64_t CStagedList::Hash(std::string_view text) const {
    std::uint64_t hash = 14695981039346656037ull;
    for (char c : text) {
        hash = (hash ^ m_fold[Byte(c)]) * 1099511628211ull;
    }
    return hash ^ (hash >> 29);
}

bool CStagedList::FoldedEqual(std::string_view a, std::string_view b) const {
    return a.size() == b.size() && FoldedCompare(a, b, m_fold) == 0;
}

std::string_view CStagedList::Text(std::size_t i) const {
    const std::size_t end = i + 1 < m_offsets.size() ? m_offsets[i + 1] : m_strTexts.size();
    return std::string_view(m_strTexts.data() + m_offsets[i], end - m_offsets[i] - 1);
}

void CStagedList::Grow() {
    std::size_t size = 1024;
    while (size < (m_offsets.size() + 1) * 2) {
        size *= 2;
    }
    std::vector<std::uint32_t>().swap(m_slots);
    m_slots.assign(size, 0);
    const std::size_t mask = size - 1;
    for (std::size_t i = 0; i < m_offsets.size(); ++i) {
        const std::string_view text = Text(i);
        if (text.empty()) {
            continue;
        }
        std::size_t slot = static_cast<std::size_t>(Hash(text)) & mask;
        while (m_slots[slot] != 0) {
            slot = (slot + 1) & mask;
        }
        m_slots[slot] = static_cast<std::uint32_t>(i + 1);
    }
}

void CStagedList::Add(std::string_view text) {
    if (const void* nul = std::memchr(text.data(), '\0', text.size()); nul != nullptr) {
        text =
            text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
    }
    if (m_offsets.size() >= kNoIndex - 1) {
        throw std::length_error("too many staged entries");
    }
    std::size_t slot = 0;
    if (!text.empty()) {
        // Half full at most, so probes stay short.
        if (m_slots.empty() || (m_offsets.size() + 1) * 2 > m_slots.size()) {
            Grow();
        }
        const std::size_t mask = m_slots.size() - 1;
        slot = static_cast<std::size_t>(Hash(text)) & mask;
        while (m_slots[slot] != 0) {
            if (FoldedEqual(Text(m_slots[slot] - 1), text)) {
                return;
            }
            slot = (slot + 1) & mask;
        }
    }
    m_offsets.push_back(m_strTexts.size());
    try {
        m_strTexts.append(text);
        m_strTexts.push_back('\0');
    } catch (...) {
        m_strTexts.resize(m_offsets.back());
        m_offsets.pop_back();
        throw;
    }
    if (!text.empty()) {
        m_slots[slot] = static_cast<std::uint32_t>(m_offsets.size());
    }
}

void CStagedList::ForgetDuplicates() {
    std::vector<std::uint32_t>().swap(m_slots);
}

void CStagedList::Clear() {
    std::string().swap(m_strTexts);
    std::vector<std::size_t>().swap(m_offsets);
    std::vector<std::uint32_t>().swap(m_slots);
}

std::vector<std::uint32_t> SelectStagedAdditions(const CStagedList& staged) {
    const CListBoxFold& fold = staged.Fold();
    auto keyText = [&](const CKey& key) { return staged.Text(key.m_nEntry).substr(key.m_nSkip); };

    std::vector<CKey> keys;
    keys.reserve(staged.Size());
    for (std::uint32_t i = 0; i < staged.Size(); ++i) {
        const std::string_view text = staged.Text(i);
        // An empty key begins with no non-empty text, so it can never be found.
        if (!text.empty()) {
            keys.push_back({i, 0});
        }
        if (text.size() > 1 && text[0] == '[') {
            keys.push_back({i, 1});
            if (text.size() > 2 && text[1] == '-') {
                keys.push_back({i, 2});
            }
        }
    }
    std::sort(keys.begin(), keys.end(), [&](const CKey& a, const CKey& b) {
        const int order = FoldedCompare(keyText(a), keyText(b), fold);
        return order != 0
                   ? order < 0
                   : (a.m_nEntry != b.m_nEntry ? a.m_nEntry < b.m_nEntry : a.m_nSkip < b.m_nSkip);
    });
    auto lowerBound = [&](std::string_view text) {
        return static_cast<std::size_t>(std::lower_bound(keys.begin(), keys.end(), text,
                                                         [&](const CKey& key, std::string_view t) {
                                                             return FoldedCompare(keyText(key), t,
                                                                                  fold) < 0;
                                                         }) -
                                        keys.begin());
    };

    CCountTree added(keys.size());
    std::vector<std::uint32_t> additions;
    for (std::uint32_t i = 0; i < staged.Size(); ++i) {
        const std::string_view text = staged.Text(i);
        if (!text.empty()) {
            const std::size_t from = lowerBound(text);
            // The keys that begin with `text` run from its lower bound on.
            const std::size_t to =
                std::partition_point(
                    keys.begin() + static_cast<std::ptrdiff_t>(from), keys.end(),
                    [&](const CKey& key) { return FoldedPrefix(text, keyText(key), fold); }) -
                keys.begin();
            if (added.Before(to) != added.Before(from)) {
                continue;
            }
            // This entry's own keys: each at its text's lower bound or just
            // after it, among the few keys of the same folded text.
            for (std::uint32_t skip = 0; skip <= 2; ++skip) {
                if (skip > 0 &&
                    !(text.size() > skip && text[0] == '[' && (skip == 1 || text[1] == '-'))) {
                    break;
                }
                const std::string_view own = text.substr(skip);
                for (std::size_t k = skip == 0 ? from : lowerBound(own);
                     k < keys.size() && FoldedCompare(keyText(keys[k]), own, fold) == 0; ++k) {
                    if (keys[k].m_nEntry == i && keys[k].m_nSkip == skip) {
                        added.Add(k);
                        break;
                    }
                }
            }
        }
        additions.push_back(i);
    }
    return additions;
}

bool OrderStagedAdditions(const CStagedList& staged, std::vector<std::uint32_t>& additions) {
    if (!FoldPairsAsciiLetters(staged.Fold())) {
        return false;
    }
    for (std::uint32_t i : additions) {
        if (!IsPlainListText(staged.Text(i))) {
            return false;
        }
    }
    // Case variants were never staged twice, so no two plain texts tie.
    std::sort(additions.begin(), additions.end(), [&](std::uint32_t a, std::uint32_t b) {
        return PlainListTextLess(staged.Text(a), staged.Text(b));
    });
    return true;
}
