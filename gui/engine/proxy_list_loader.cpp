#include "proxy_list_loader.h"

#include "shared/list_lines.h"

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

void AddItem(HWND list, const std::string& text) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Whether the additions are plain texts, each strictly after the one before
// in the list box's own order: then each would land at the end anyway.
bool InListBoxOrder(const std::vector<std::string>& staging,
                    const std::vector<std::size_t>& additions) {
    for (std::size_t k = 0; k < additions.size(); ++k) {
        const std::string_view text = ListBoxText(staging[additions[k]]);
        if (!IsPlainListText(text) ||
            (k > 0 && !PlainListTextLess(ListBoxText(staging[additions[k - 1]]), text))) {
            return false;
        }
    }
    return true;
}

int FinishLoad(HWND list, HWND startStop) {
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    if (count <= 0) {
        EnableWindow(startStop, FALSE);
        return -1;
    }
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    EnableWindow(startStop, TRUE);
    return 0;
}

using FillFunction = void (*)(HWND, const std::vector<std::string>&);

int Load(HWND list, std::vector<std::string>& staging, HWND startStop, const std::string& directory,
         FillFunction fill) {
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    staging.clear();
    try {
        if (!directory.empty()) {
            ReadListFile(directory + "\\" + kUserProxyFileName, staging);
            ReadListFile(directory + "\\" + kProxyListFileName, staging);
        }
        fill(list, staging);
    } catch (...) {
        // Out of memory while staging: the list shows what was added so far.
    }
    return FinishLoad(list, startStop);
}

} // namespace

void ReadListFile(const std::string& path, std::vector<std::string>& staging) {
    ReadListFileEntries(path, staging);
}

bool GetListBoxFold(CListBoxFold& fold) {
    static const CProbedFold probed = ProbeListBoxFold();
    if (probed.m_bValid) {
        fold = probed.m_fold;
    }
    return probed.m_bValid;
}

void FillProxyListBox(HWND list, const std::vector<std::string>& staging) {
    CListBoxFold fold{};
    // The model starts from an empty list; items already there could also
    // tie with the additions in the list box's order.
    if (SendMessageA(list, LB_GETCOUNT, 0, 0) != 0 || !GetListBoxFold(fold)) {
        FillProxyListBoxPlain(list, staging);
        return;
    }
    std::vector<std::size_t> additions;
    WPARAM textBytes = 0;
    bool atTheEnd = false;
    try {
        additions = OrderListBoxAdditions(staging, SelectListBoxAdditions(staging, fold), fold);
        for (std::size_t i : additions) {
            // The list box keeps its items as UTF-16, one unit per ANSI byte here.
            textBytes += (ListBoxText(staging[i]).size() + 1) * sizeof(WCHAR);
        }
        atTheEnd = InListBoxOrder(staging, additions);
    } catch (...) {
        FillProxyListBoxPlain(list, staging);
        return;
    }

    // Each insertion would otherwise repaint the list and its scroll bar.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    SendMessageA(list, LB_INITSTORAGE, additions.size(), static_cast<LPARAM>(textBytes));
    for (std::size_t i : additions) {
        // LB_ADDSTRING would search the sorted list for the place, comparing
        // through the locale, only to find the end: most of a big list's
        // load. LB_INSERTSTRING puts the item there without the search.
        if (atTheEnd) {
            SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(staging[i].c_str()));
        } else {
            AddItem(list, staging[i]);
        }
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
}

void FillProxyListBoxPlain(HWND list, const std::vector<std::string>& staging) {
    for (const std::string& entry : staging) {
        if (SendMessageA(list, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(entry.c_str())) == LB_ERR) {
            AddItem(list, entry);
        }
    }
}

int LoadProxyLists(HWND list, std::vector<std::string>& staging, HWND startStop,
                   const std::string& directory) {
    return Load(list, staging, startStop, directory, FillProxyListBox);
}

int LoadProxyLists(HWND list, std::vector<std::string>& staging, HWND startStop) {
    std::string directory;
    try {
        directory = GetSystemDirectoryPath();
    } catch (...) {
        // No directory: both files read as missing.
    }
    return LoadProxyLists(list, staging, startStop, directory);
}

int LoadProxyListsPlain(HWND list, std::vector<std::string>& staging, HWND startStop,
                        const std::string& directory) {
    return Load(list, staging, startStop, directory, FillProxyListBoxPlain);
}
