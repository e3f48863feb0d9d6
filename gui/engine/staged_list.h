// The staging of a list load, kept compact for lists of millions of lines:
// the texts one after another in one buffer, each ended by a NUL so it can go
// to the list box as it stands, and an offset for each.
//
// Only what the list box's duplicate search could let through is staged: a
// text that folds to the same text as an earlier one is always found by that
// search (the earlier one was added, or skipped because an item that begins
// with it was there first, and that item begins with the later text too), so
// it is dropped on arrival. A list of millions of repeated short lines thus
// stages a handful of texts.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "shared/list_box_model.h"

// A load's work arrays ask for at least this much. The heap serves blocks of
// a mebibyte from the system and gives their pages back when they are freed;
// the holes that smaller ones leave stay with the process for as long as it
// runs, and a list that grows by doubling leaves one of each size on its way.
inline constexpr std::size_t kScratchBytes = std::size_t{1} << 20;

template <class T> void ReserveScratch(std::vector<T>& items, std::size_t count) {
    items.reserve(count > kScratchBytes / sizeof(T) ? count : kScratchBytes / sizeof(T));
}

class CStagedList {
public:
    explicit CStagedList(const CListBoxFold& fold) : m_fold(fold) {}

    // Stages the part of `text` the list box sees (up to a NUL) unless an
    // equal text (through the fold) is staged already. Empty texts are kept:
    // the search never finds one.
    void Add(std::string_view text);

    std::size_t Size() const { return m_offsets.size(); }
    std::string_view Text(std::size_t i) const;
    const char* CString(std::size_t i) const { return m_strTexts.data() + m_offsets[i]; }
    std::size_t TextBytes() const { return m_strTexts.size(); }
    const CListBoxFold& Fold() const { return m_fold; }

    // Lets the table of staged texts go once nothing more comes; a later
    // Add builds it again.
    void ForgetDuplicates();
    // Lets the texts and the table go.
    void Clear();

    // Keeps the texts of `order` only, in that order, in storage of their
    // exact size: text i is then the one at `order[i]`. An empty order keeps
    // nothing and cannot fail.
    void Keep(const std::vector<std::uint32_t>& order);
    // Puts `text` (up to a NUL) at `index`, or takes the text there away,
    // moving the ones after it.
    void InsertAt(std::size_t index, std::string_view text);
    void EraseAt(std::size_t index);

private:
    // The part of `text` the list box sees; throws when no index is left.
    std::string_view ListBoxPart(std::string_view text) const;
    // Appends the text and its NUL, all or nothing.
    void Push(std::string_view text);
    std::uint64_t Hash(std::string_view text) const;
    bool FoldedEqual(std::string_view a, std::string_view b) const;
    void Grow();

    CListBoxFold m_fold;
    std::string m_strTexts;
    std::vector<std::uint32_t> m_offsets;
    // Open addressing: 1 + the staged index, 0 for a free slot.
    std::vector<std::uint32_t> m_slots;
};

// Indices of the staged texts that the per-entry loop (LB_SELECTSTRING from
// before the first item, LB_ADDSTRING when nothing is found) adds to an empty
// list box, in staged order. The same decision as SelectListBoxAdditions from
// a sorted array of keys and a tree of counts instead of a set of strings.
std::vector<std::uint32_t> SelectStagedAdditions(const CStagedList& staged);

// The order in which to hand the additions to the list box, as
// OrderListBoxAdditions decides it: the list box's own order when every
// addition is a plain text and the fold pairs the ASCII letters, otherwise the
// staged order. True when the result is in the list box's order, so each item
// can go at the end.
bool OrderStagedAdditions(const CStagedList& staged, std::vector<std::uint32_t>& additions);
