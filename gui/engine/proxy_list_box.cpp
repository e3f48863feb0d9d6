#include "gui/engine/proxy_list_box.h"

#include <cstdint>
#include <vector>

namespace {

class CWindowOwner {
public:
    explicit CWindowOwner(HWND window) : m_hWnd(window) {}
    ~CWindowOwner() {
        if (m_hWnd != nullptr) {
            DestroyWindow(m_hWnd);
        }
    }
    CWindowOwner(const CWindowOwner&) = delete;
    CWindowOwner& operator=(const CWindowOwner&) = delete;

    HWND Get() const { return m_hWnd; }

private:
    HWND m_hWnd;
};

struct CProbedFold {
    bool m_bValid = false;
    CListBoxFold m_fold{};
};

// Every byte goes into an unsorted list box as a one-character item, at the
// index of its value less one; a search for each byte then finds the first
// (smallest) byte the list box takes as equal to it. That is the list box's
// own comparison, whatever its implementation folds.
CProbedFold ProbeListBoxFold() {
    CProbedFold probed;
    CPINFO codePage{};
    if (!GetCPInfo(CP_ACP, &codePage) || codePage.MaxCharSize != 1) {
        return probed;
    }
    const CWindowOwner box(CreateWindowExA(0, "LISTBOX", "", LBS_HASSTRINGS, 0, 0, 0, 0,
                                           HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                                           nullptr));
    if (box.Get() == nullptr) {
        return probed;
    }
    for (int b = 1; b < 256; ++b) {
        const char text[2] = {static_cast<char>(b), '\0'};
        if (SendMessageA(box.Get(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)) != b - 1) {
            return probed;
        }
    }
    CListBoxFold fold{};
    for (int b = 1; b < 256; ++b) {
        const char text[2] = {static_cast<char>(b), '\0'};
        const LRESULT found = SendMessageA(box.Get(), LB_FINDSTRING, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(text));
        if (found < 0 || found >= b) {
            return probed;
        }
        fold[b] = static_cast<unsigned char>(found + 1);
    }
    // A byte table can only stand for an equivalence: each class's smallest
    // byte must stand for itself.
    for (int b = 1; b < 256; ++b) {
        if (fold[fold[b]] != fold[b]) {
            return probed;
        }
    }
    probed.m_fold = fold;
    probed.m_bValid = true;
    return probed;
}

// Adds staged text `i` where the list box sorts it, tagged with its index so
// the order it lands in can be read back.
void AddTagged(HWND list, const CStagedList& staged, std::uint32_t i) {
    const LRESULT at =
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(staged.CString(i)));
    if (at >= 0) {
        SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(at), static_cast<LPARAM>(i));
    }
}

// The staged indices of the items in the list box's order.
std::vector<std::uint32_t> TaggedOrder(HWND list) {
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    std::vector<std::uint32_t> order;
    order.reserve(count > 0 ? static_cast<std::size_t>(count) : 0);
    for (LRESULT i = 0; i < count; ++i) {
        order.push_back(static_cast<std::uint32_t>(
            SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0)));
    }
    return order;
}

// The per-entry loop over the staged texts: dropping the repeats changed
// nothing the loop would add.
void FillOneByOne(HWND list, const CStagedList& staged) {
    for (std::uint32_t i = 0; i < staged.Size(); ++i) {
        if (SendMessageA(list, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(staged.CString(i))) == LB_ERR) {
            AddTagged(list, staged, i);
        }
    }
}

// How often the reservation is asked for again during a fill.
constexpr std::size_t kReserveEvery = 100000;

// Puts the additions into an empty list box with redraw off and the storage
// for the rest reserved as it goes.
void FillAdditions(HWND list, const CProxyList& entries) {
    const std::size_t count = entries.Count();
    const bool atTheEnd = entries.AdditionsInShownOrder();
    WPARAM textBytes = 0;
    for (std::size_t k = 0; k < count; ++k) {
        // The list box keeps its items as UTF-16, one unit per ANSI byte here.
        textBytes += (entries.Entry(k).size() + 1) * sizeof(WCHAR);
    }
    // Each insertion would otherwise repaint the list and its scroll bar.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (std::size_t k = 0; k < count; ++k) {
        // Wine's list box grows its item array 16 items at a time by
        // HeapReAlloc, which moves a big array whole every few thousand
        // items: 2.5 million items took two minutes. Its next insertion
        // shrinks any reservation back to the items held, but the heap keeps
        // a big block's room when shrinking it, and then grows it in place.
        // A block of under 100,000 items may be moved when shrunk, so the
        // reservation is asked for from there on, now and then.
        if (k > 0 && k % kReserveEvery == 0) {
            SendMessageA(list, LB_INITSTORAGE, count - k, static_cast<LPARAM>(textBytes));
        }
        // LB_ADDSTRING would search the sorted list for the place, comparing
        // through the locale, only to find the end: most of a big list's
        // load. LB_INSERTSTRING puts the item there without the search.
        if (atTheEnd) {
            SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(entries.EntryText(k)));
        } else {
            AddTagged(list, entries.Staged(), static_cast<std::uint32_t>(entries.StagedIndex(k)));
        }
        textBytes -= (entries.Entry(k).size() + 1) * sizeof(WCHAR);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
}

} // namespace

bool GetListBoxFold(CListBoxFold& fold) {
    static const CProbedFold probed = ProbeListBoxFold();
    if (probed.m_bValid) {
        fold = probed.m_fold;
    }
    return probed.m_bValid;
}

CProxyList MakeProxyList() {
    CListBoxFold fold{};
    if (!GetListBoxFold(fold)) {
        return CProxyList(AsciiListBoxFold(), false);
    }
    return CProxyList(fold, true);
}

void ShowProxyList(HWND list, CProxyList& entries) {
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    if (entries.AdditionsDecided()) {
        FillAdditions(list, entries);
        if (entries.AdditionsInShownOrder()) {
            return; // the additions' order is the list box's
        }
    } else {
        FillOneByOne(list, entries.Staged());
    }
    try {
        entries.SetShownOrder(TaggedOrder(list));
    } catch (...) {
        // No memory for the order: the list box and the list agree on nothing.
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        entries.SetShownOrder({});
    }
}
