#include "gui/engine/staged_list.h"

#include <algorithm>
#include <array>
#include <utility>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {

unsigned char Byte(char c) {
    return static_cast<unsigned char>(c);
}

constexpr std::uint32_t kNoIndex = std::numeric_limits<std::uint32_t>::max();

// A key of the search: a staged text, or its "[" or "[-" tail, with its
// first eight folded bytes as one number (zeros after its end, and no byte
// folds to zero) so that most comparisons of a sort touch no text.
struct CKey {
    std::uint64_t m_nHead;
    std::uint32_t m_nEntry;
    std::uint32_t m_nSkip;
};

constexpr std::size_t kHeadBytes = sizeof(std::uint64_t);

std::uint64_t Head(std::string_view text, const unsigned char* rank) {
    std::uint64_t head = 0;
    for (std::size_t i = 0; i < kHeadBytes; ++i) {
        head = (head << 8) | (i < text.size() ? rank[Byte(text[i])] : 0u);
    }
    return head;
}

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
    explicit CCountTree(std::size_t size) {
        ReserveScratch(m_counts, size + 1);
        m_counts.assign(size + 1, 0);
    }
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
    ReserveScratch(m_slots, size);
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

std::string_view CStagedList::ListBoxPart(std::string_view text) const {
    if (const void* nul = std::memchr(text.data(), '\0', text.size()); nul != nullptr) {
        text =
            text.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - text.data()));
    }
    if (m_offsets.size() >= kNoIndex - 1) {
        throw std::length_error("too many staged entries");
    }
    return text;
}

void CStagedList::Push(std::string_view text) {
    // Offsets are 32-bit: a list keeps a few bytes per entry for as long as
    // it is shown, so 4 GiB of distinct texts is where staging stops.
    if (text.size() >= kNoIndex - m_strTexts.size()) {
        throw std::length_error("staged texts too long");
    }
    if (m_offsets.capacity() == 0) {
        ReserveScratch(m_offsets, 0);
        m_strTexts.reserve(kScratchBytes);
    }
    m_offsets.push_back(static_cast<std::uint32_t>(m_strTexts.size()));
    try {
        m_strTexts.append(text);
        m_strTexts.push_back('\0');
    } catch (...) {
        m_strTexts.resize(m_offsets.back());
        m_offsets.pop_back();
        throw;
    }
}

void CStagedList::Add(std::string_view text) {
    text = ListBoxPart(text);
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
    Push(text);
    if (!text.empty()) {
        m_slots[slot] = static_cast<std::uint32_t>(m_offsets.size());
    }
}

void CStagedList::ForgetDuplicates() {
    std::vector<std::uint32_t>().swap(m_slots);
}

void CStagedList::Clear() {
    std::string().swap(m_strTexts);
    std::vector<std::uint32_t>().swap(m_offsets);
    std::vector<std::uint32_t>().swap(m_slots);
}

void CStagedList::Keep(const std::vector<std::uint32_t>& order) {
    std::string texts;
    std::vector<std::uint32_t> offsets;
    if (!order.empty()) {
        std::size_t bytes = 0;
        for (std::uint32_t i : order) {
            bytes += Text(i).size() + 1;
        }
        texts.reserve(bytes);
        offsets.reserve(order.size());
        for (std::uint32_t i : order) {
            offsets.push_back(static_cast<std::uint32_t>(texts.size()));
            texts.append(Text(i));
            texts.push_back('\0');
        }
    }
    m_strTexts.swap(texts);
    m_offsets.swap(offsets);
    std::vector<std::uint32_t>().swap(m_slots);
}

void CStagedList::InsertAt(std::size_t index, std::string_view text) {
    text = ListBoxPart(text);
    if (text.size() >= kNoIndex - m_strTexts.size()) {
        throw std::length_error("staged texts too long");
    }
    ForgetDuplicates();
    const std::size_t at = index < m_offsets.size() ? m_offsets[index] : m_strTexts.size();
    m_offsets.insert(m_offsets.begin() + static_cast<std::ptrdiff_t>(index),
                     static_cast<std::uint32_t>(at));
    try {
        m_strTexts.insert(at, text.size() + 1, '\0');
    } catch (...) {
        m_offsets.erase(m_offsets.begin() + static_cast<std::ptrdiff_t>(index));
        throw;
    }
    m_strTexts.replace(at, text.size(), text);
    for (std::size_t i = index + 1; i < m_offsets.size(); ++i) {
        m_offsets[i] += static_cast<std::uint32_t>(text.size() + 1);
    }
}

void CStagedList::EraseAt(std::size_t index) {
    const std::size_t length = Text(index).size() + 1;
    m_strTexts.erase(m_offsets[index], length);
    m_offsets.erase(m_offsets.begin() + static_cast<std::ptrdiff_t>(index));
    for (std::size_t i = index; i < m_offsets.size(); ++i) {
        m_offsets[i] -= static_cast<std::uint32_t>(length);
    }
}

std::vector<std::uint32_t> SelectStagedAdditions(const CStagedList& staged) {
    const CListBoxFold& fold = staged.Fold();
    auto keyText = [&](const CKey& key) { return staged.Text(key.m_nEntry).substr(key.m_nSkip); };

    std::vector<CKey> keys;
    ReserveScratch(keys, staged.Size());
    for (std::uint32_t i = 0; i < staged.Size(); ++i) {
        const std::string_view text = staged.Text(i);
        // An empty key begins with no non-empty text, so it can never be found.
        for (std::uint32_t skip = 0; skip <= 2; ++skip) {
            if (text.size() > skip &&
                (skip == 0 || (text[0] == '[' && (skip == 1 || text[1] == '-')))) {
                keys.push_back({Head(text.substr(skip), fold.data()), i, skip});
            }
        }
    }
    auto compare = [&](const CKey& a, const CKey& b) {
        if (a.m_nHead != b.m_nHead) {
            return a.m_nHead < b.m_nHead ? -1 : 1;
        }
        const std::string_view x = keyText(a);
        const std::string_view y = keyText(b);
        // Equal heads of a text shorter than the head mean equal texts.
        return x.size() < kHeadBytes || y.size() < kHeadBytes
                   ? 0
                   : FoldedCompare(x.substr(kHeadBytes), y.substr(kHeadBytes), fold);
    };
    std::sort(keys.begin(), keys.end(), [&](const CKey& a, const CKey& b) {
        const int order = compare(a, b);
        return order != 0
                   ? order < 0
                   : (a.m_nEntry != b.m_nEntry ? a.m_nEntry < b.m_nEntry : a.m_nSkip < b.m_nSkip);
    });

    // Where each key's run of keys that begin with it ends, in one pass: the
    // keys on the stack each begin the next, and one that does not begin the
    // key at hand has seen its run end.
    std::vector<std::uint32_t> ends;
    ReserveScratch(ends, keys.size());
    ends.assign(keys.size(), static_cast<std::uint32_t>(keys.size()));
    {
        std::vector<std::uint32_t> open;
        for (std::uint32_t q = 0; q < keys.size(); ++q) {
            while (!open.empty() &&
                   !FoldedPrefix(keyText(keys[open.back()]), keyText(keys[q]), fold)) {
                ends[open.back()] = q;
                open.pop_back();
            }
            open.push_back(q);
        }
    }
    // Where each staged text's own key and its tails went.
    std::vector<std::uint32_t> ownKey;
    ReserveScratch(ownKey, staged.Size());
    ownKey.assign(staged.Size(), kNoIndex);
    std::vector<std::uint32_t> tails;
    ReserveScratch(tails, 0);
    for (std::uint32_t p = 0; p < keys.size(); ++p) {
        if (keys[p].m_nSkip == 0) {
            ownKey[keys[p].m_nEntry] = p;
        } else {
            tails.push_back(p);
        }
    }
    std::sort(tails.begin(), tails.end(), [&](std::uint32_t a, std::uint32_t b) {
        return keys[a].m_nEntry < keys[b].m_nEntry;
    });

    CCountTree added(keys.size());
    std::vector<std::uint32_t> additions;
    ReserveScratch(additions, staged.Size());
    std::size_t nextTail = 0;
    for (std::uint32_t i = 0; i < staged.Size(); ++i) {
        const std::uint32_t own = ownKey[i];
        if (own != kNoIndex) {
            // The keys that begin with this text run from the first key equal
            // to it (ties are the few tails of the same text) to its run's end.
            std::uint32_t from = own;
            while (from > 0 && compare(keys[from - 1], keys[own]) == 0) {
                --from;
            }
            if (added.Before(ends[own]) != added.Before(from)) {
                continue;
            }
            added.Add(own);
        }
        while (nextTail < tails.size() && keys[tails[nextTail]].m_nEntry < i) {
            ++nextTail;
        }
        for (; nextTail < tails.size() && keys[tails[nextTail]].m_nEntry == i; ++nextTail) {
            added.Add(tails[nextTail]);
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
    // Each plain character's place in the list box's order, from 1, so the
    // first eight characters of a text make one number to sort on.
    std::array<unsigned char, 256> rank{};
    for (int c = 1; c < 256; ++c) {
        const char x = static_cast<char>(c);
        if (!IsPlainListText(std::string_view(&x, 1))) {
            continue;
        }
        rank[c] = 1;
        for (int d = 1; d < 256; ++d) {
            const char y = static_cast<char>(d);
            if (IsPlainListText(std::string_view(&y, 1)) &&
                PlainListTextLess(std::string_view(&y, 1), std::string_view(&x, 1))) {
                ++rank[c];
            }
        }
    }
    std::vector<std::pair<std::uint64_t, std::uint32_t>> keyed;
    ReserveScratch(keyed, additions.size());
    for (std::uint32_t i : additions) {
        keyed.emplace_back(Head(staged.Text(i), rank.data()), i);
    }
    // Case variants were never staged twice, so no two plain texts tie.
    std::sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
        return a.first != b.first ? a.first < b.first
                                  : PlainListTextLess(staged.Text(a.second), staged.Text(b.second));
    });
    for (std::size_t k = 0; k < keyed.size(); ++k) {
        additions[k] = keyed[k].second;
    }
    return true;
}
