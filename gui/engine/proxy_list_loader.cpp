#include "proxy_list_loader.h"

#include <cstdio>
#include <exception>
#include <memory>

#include "shared/list_lines.h"
#include "staged_list.h"

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

void AddItem(HWND list, const char* text) {
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
}

struct CFileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

// The lines of one file go into the compact staging as the reader hands them
// over, a piece at a time, so a file's lines never all exist as strings.
void StageListFile(const std::string& path, CStagedList& staged) {
    const std::unique_ptr<std::FILE, CFileCloser> file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return;
    }
    std::vector<std::string> lines;
    auto takeLines = [&] {
        for (const std::string& line : lines) {
            staged.Add(line);
        }
        lines.clear();
    };
    std::FILE* stream = file.get();
    // The reader takes a throw from its source as a read error and goes on;
    // running out of memory here must end the staging instead.
    std::exception_ptr failure;
    ReadListEntries(
        [&](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
            try {
                takeLines();
            } catch (...) {
                failure = std::current_exception();
                return -1;
            }
            const std::size_t count = std::fread(buffer, 1, capacity, stream);
            if (count == 0) {
                return std::ferror(stream) ? -1 : 0;
            }
            return static_cast<std::ptrdiff_t>(count);
        },
        lines);
    if (failure) {
        std::rethrow_exception(failure);
    }
    takeLines();
}

// How often the reservation is asked for again during a fill.
constexpr std::size_t kReserveEvery = 100000;

// Puts the additions into an empty list box with redraw off and the storage
// for the rest reserved as it goes.
void FillAdditions(HWND list, const CStagedList& staged,
                   const std::vector<std::uint32_t>& additions, bool atTheEnd) {
    WPARAM textBytes = 0;
    for (std::uint32_t i : additions) {
        // The list box keeps its items as UTF-16, one unit per ANSI byte here.
        textBytes += (staged.Text(i).size() + 1) * sizeof(WCHAR);
    }
    // Each insertion would otherwise repaint the list and its scroll bar.
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    for (std::size_t k = 0; k < additions.size(); ++k) {
        const std::uint32_t i = additions[k];
        // Wine's list box grows its item array 16 items at a time by
        // HeapReAlloc, which moves a big array whole every few thousand
        // items: 2.5 million items took two minutes. Its next insertion
        // shrinks any reservation back to the items held, but the heap keeps
        // a big block's room when shrinking it, and then grows it in place.
        // A block of under 100,000 items may be moved when shrunk, so the
        // reservation is asked for from there on, now and then.
        if (k > 0 && k % kReserveEvery == 0) {
            SendMessageA(list, LB_INITSTORAGE, additions.size() - k,
                         static_cast<LPARAM>(textBytes));
        }
        // LB_ADDSTRING would search the sorted list for the place, comparing
        // through the locale, only to find the end: most of a big list's
        // load. LB_INSERTSTRING puts the item there without the search.
        if (atTheEnd) {
            SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(staged.CString(i)));
        } else {
            AddItem(list, staged.CString(i));
        }
        textBytes -= (staged.Text(i).size() + 1) * sizeof(WCHAR);
    }
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
}

// The per-entry loop over staged texts: dropping the repeats changed nothing
// the loop would add.
void FillOneByOne(HWND list, const CStagedList& staged) {
    for (std::size_t i = 0; i < staged.Size(); ++i) {
        if (SendMessageA(list, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(staged.CString(i))) == LB_ERR) {
            AddItem(list, staged.CString(i));
        }
    }
}

// Fills the list box from the staging; false, with nothing added, when the
// selection runs out of memory.
bool FillStaged(HWND list, const CStagedList& staged) {
    // The model starts from an empty list; items already there could also
    // tie with the additions in the list box's order.
    if (SendMessageA(list, LB_GETCOUNT, 0, 0) != 0) {
        FillOneByOne(list, staged);
        return true;
    }
    std::vector<std::uint32_t> additions;
    bool atTheEnd = false;
    try {
        additions = SelectStagedAdditions(staged);
        atTheEnd = OrderStagedAdditions(staged, additions);
    } catch (...) {
        return false;
    }
    FillAdditions(list, staged, additions, atTheEnd);
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
    if (GetListBoxFold(fold)) {
        try {
            CStagedList staged(fold);
            for (const std::string& entry : staging) {
                staged.Add(entry);
            }
            staged.ForgetDuplicates();
            if (FillStaged(list, staged)) {
                return;
            }
        } catch (...) {
            // Out of memory while staging: nothing was added yet.
        }
    }
    FillProxyListBoxPlain(list, staging);
}

void FillProxyListBoxPlain(HWND list, const std::vector<std::string>& staging) {
    for (const std::string& entry : staging) {
        if (SendMessageA(list, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(entry.c_str())) == LB_ERR) {
            AddItem(list, entry.c_str());
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

int LoadProxyLists(HWND list, HWND startStop, const std::string& directory) {
    CListBoxFold fold{};
    if (!GetListBoxFold(fold)) {
        std::vector<std::string> staging;
        return Load(list, staging, startStop, directory, FillProxyListBoxPlain);
    }
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    CStagedList staged(fold);
    try {
        if (!directory.empty()) {
            StageListFile(directory + "\\" + kUserProxyFileName, staged);
            StageListFile(directory + "\\" + kProxyListFileName, staged);
        }
    } catch (...) {
        // Out of memory while staging: the list shows what was staged so far.
    }
    staged.ForgetDuplicates();
    if (!FillStaged(list, staged)) {
        // No memory for the selection: the loop needs none.
        FillOneByOne(list, staged);
    }
    return FinishLoad(list, startStop);
}

int LoadProxyLists(HWND list, HWND startStop) {
    std::string directory;
    try {
        directory = GetSystemDirectoryPath();
    } catch (...) {
        // No directory: both files read as missing.
    }
    return LoadProxyLists(list, startStop, directory);
}

int LoadProxyListsPlain(HWND list, std::vector<std::string>& staging, HWND startStop,
                        const std::string& directory) {
    return Load(list, staging, startStop, directory, FillProxyListBoxPlain);
}
