// The proxy list the main window shows and the rotation walks: the entries
// of "Userproxy.txt" and "Proxylist.txt", as the window's sorted list box
// holds them, in its order.
//
// A load stages the files' lines compactly (staged_list.h) and, when the list
// box's search fold is known, decides which of them the list box keeps and in
// what order to hand them over. The list box then settles the order it shows
// (proxy_list_box.h), and from then on the entries are read here, by value,
// never from the window.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "gui/engine/staged_list.h"

// The list files the main window shows, in the order they are read.
inline constexpr char kUserProxyFileName[] = "Userproxy.txt";
inline constexpr char kProxyListFileName[] = "Proxylist.txt";

class CProxyList {
public:
    // `fold` is the list box's search fold; `foldKnown` false when it could
    // not be had (then the list box decides entry by entry what it keeps, and
    // Find folds as Wine's list box does).
    explicit CProxyList(const CListBoxFold& fold = AsciiListBoxFold(), bool foldKnown = true);

    // Stages the trimmed non-empty lines of "Userproxy.txt" then
    // "Proxylist.txt" of `directory` (no closing "\"; empty: no files), then
    // decides what the list box keeps. A missing file adds nothing; running
    // out of memory keeps what was staged so far.
    void Load(const std::string& directory);
    // The same from texts at hand; then FinishStaging.
    void Stage(std::string_view text) { m_staged.Add(text); }
    void FinishStaging();

    // What the list box is to be given: the staged texts, and when the
    // additions are decided, the entries are those additions in the order to
    // add them.
    const CStagedList& Staged() const { return m_staged; }
    bool AdditionsDecided() const { return m_bAdditionsDecided; }
    // True when the additions are in the list box's own order; the staging
    // then keeps those texts only, in that order, sized exactly.
    bool AdditionsInShownOrder() const { return m_bInShownOrder; }
    // The list box's order, as staged indices, once it has shown the list.
    void SetShownOrder(std::vector<std::uint32_t> order);

    // The entries as shown (or, before that, the decided additions).
    std::size_t Count() const { return m_bPacked ? m_staged.Size() : m_shown.size(); }
    bool Empty() const { return Count() == 0; }
    std::size_t StagedIndex(std::size_t index) const { return m_bPacked ? index : m_shown[index]; }
    std::string_view Entry(std::size_t index) const { return m_staged.Text(StagedIndex(index)); }
    const char* EntryText(std::size_t index) const { return m_staged.CString(StagedIndex(index)); }
    // The first entry the list box's own search (from before the first
    // item) finds for `text`, or -1.
    int Find(std::string_view text) const;
    // An entry the list box put at `index`, and one it took away.
    void Insert(std::size_t index, std::string_view text);
    void Erase(std::size_t index);

private:
    CStagedList m_staged;
    // The staged index of each entry, unless the staging is packed.
    std::vector<std::uint32_t> m_shown;
    // The staging holds the entries only, in their order.
    bool m_bPacked = false;
    bool m_bFoldKnown;
    bool m_bAdditionsDecided = false;
    bool m_bInShownOrder = false;
};
