// What the main window's sorted list box does with the staged entries of a
// load: each entry is looked for with the list box's own prefix search
// (LB_SELECTSTRING from before the first item) and added only when nothing is
// found. The list box searches item by item, so doing that per entry is
// quadratic; this model answers the same question from an ordered index.
//
// The list box's search, as observed under Wine:
// - an item matches when it begins with the searched text, the two compared
//   byte by byte through a case fold; Wine folds ASCII letters only ("\xC4"
//   and "\xE4" stay different), and '-' and '\'' are plain characters here
//   (unlike in the list box's sort order, which ignores them at first);
// - an item beginning with "[" (a directory in a file list) also matches
//   when the text after the "[" begins with the searched text, and one
//   beginning with "[-" (a drive) when the text after "[-" does;
// - an empty text finds nothing;
// - texts are C strings: the list box sees each one up to its first NUL.
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

// Maps every byte to one representative of the bytes that the list box's
// search takes as equal to it.
using CListBoxFold = std::array<unsigned char, 256>;

// The fold of Wine's list box: 'A'..'Z' and 'a'..'z' pairwise, nothing else.
CListBoxFold AsciiListBoxFold();

// The part of a text the list box sees: up to the first NUL.
std::string_view ListBoxText(const std::string& text);

// The search rule for one item, compared item by item as the list box does.
bool ListBoxSearchMatches(std::string_view item, std::string_view text, const CListBoxFold& fold);

// The items added so far, folded, in an ordered index: every key that begins
// with a text sits at the text's lower bound, so a search is one lower_bound
// and one prefix check.
class CListBoxPrefixIndex {
public:
    explicit CListBoxPrefixIndex(const CListBoxFold& fold) : m_fold(fold) {}

    // Whether the list box's search would find an item for `text`.
    bool Finds(std::string_view text) const;
    void Add(std::string_view item);
    // Adds `item` unless the search finds it; true when added. One fold and
    // one lookup, whose position also places the new key.
    bool AddUnlessFound(std::string_view item);

private:
    std::string Folded(std::string_view text) const;
    void AddKey(std::string_view text);
    void AddTails(std::string_view item);

    CListBoxFold m_fold;
    // An item has up to three keys (itself, and its "[" and "[-" tails).
    std::set<std::string, std::less<>> m_keys;
};

// Indices of the staged entries that a load adds, in staged order.
std::vector<std::size_t> SelectListBoxAdditions(const std::vector<std::string>& staged,
                                                const CListBoxFold& fold);
// The same decision searching item by item, as the list box itself does.
std::vector<std::size_t> SelectListBoxAdditionsPlain(const std::vector<std::string>& staged,
                                                     const CListBoxFold& fold);

// Texts of digits, '.', ':' and ASCII letters: the list box sorts these
// (case-insensitively) as '.' < ':' < digits < letters, character by
// character, a text before its own extensions.
bool IsPlainListText(std::string_view text);
bool PlainListTextLess(std::string_view a, std::string_view b);

// The order in which to hand the additions to the list box. A sorted list
// box inserts each item by binary search and shifts the items after it, so
// adding in its own order makes every insertion land at the end. That is safe
// only when no two additions compare equal in the list box's order (then the
// result cannot depend on the insertion order): true for plain texts when the
// fold pairs the ASCII letters, since case variants never both get added.
// Otherwise the additions keep their staged order, exactly as the per-entry
// loop would add them.
std::vector<std::size_t> OrderListBoxAdditions(const std::vector<std::string>& staged,
                                               std::vector<std::size_t> additions,
                                               const CListBoxFold& fold);
