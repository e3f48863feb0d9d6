// Load times of the proxy list box for big lists: the fast load against the
// per-entry loop, both from real list files into a real sorted list box.
//
//   list_load_bench [--plain-shown] [COUNT...]     (counts default to 10000 50000)
//   list_load_bench --hostile [MEGABYTES]           (default 50)
//   list_load_bench --phases [MEGABYTES]            (default 50)
//
// "fast shown" is the compactly staged load into a shown list box, "vec
// hidden" the load that keeps every line in a staging vector, into a hidden
// one.
//
// The lists look like downloaded ones: "a.b.c.d:port" lines with CRLF, some
// exact repeats and some entries that differ only by a port that is the
// beginning of another ("...:80" beside "...:8080").
//
// --phases times the steps of the load of a proxy list one by one, and the
// list box's insertions in slices of 100,000 with and without
// LB_INITSTORAGE, beside the process heap's growth by the list box's steps.
//
// --hostile feeds files no list should be, of about MEGABYTES each, to both
// programs' list loading: the main window's load into a shown list box, and
// the checker's loading of a run's entries. Each load runs in a process of
// its own, so its peak working set is its own; the figures are time, what
// was read, and the peak above the process's start as a multiple of the
// file's size.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "checker/checker_files.h"
#include "gui/engine/proxy_list_box.h"
#include "gui/engine/staged_list.h"
#include "shared/list_lines.h"
#include "tests/support/file_access.h"
#include "tests/support/list_box_items.h"
#include "tests/support/list_host_window.h"
#include "tests/support/process_memory.h"
#include "tests/support/process_start.h"

namespace {

std::vector<std::string> MakeEntries(std::size_t count, unsigned seed) {
    static const char* const kPorts[] = {"80", "8080", "3128", "8000", "1080", "8888", "53281"};
    std::mt19937 random(seed);
    std::vector<std::string> entries;
    entries.reserve(count);
    while (entries.size() < count) {
        const unsigned roll = random() % 100;
        if (!entries.empty() && roll < 10) {
            entries.push_back(entries[random() % entries.size()]);
            continue;
        }
        if (!entries.empty() && roll < 15) {
            std::string other = entries[random() % entries.size()];
            const std::size_t colon = other.rfind(':');
            const std::string port = other.substr(colon + 1);
            other.resize(colon + 1);
            entries.push_back(other + (port == "80" ? "8080" : port == "8080" ? "80" : "8000"));
            continue;
        }
        char text[32];
        std::snprintf(text, sizeof text, "%u.%u.%u.%u:%s", 1 + random() % 223, random() % 256,
                      random() % 256, 1 + random() % 254, kPorts[random() % 7]);
        entries.push_back(text);
    }
    return entries;
}

bool WriteLines(const std::string& path, const std::vector<std::string>& lines, std::size_t from,
                std::size_t to) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    bool ok = true;
    for (std::size_t i = from; i < to && ok; ++i) {
        ok = std::fputs(lines[i].c_str(), file) >= 0 && std::fputs("\r\n", file) >= 0;
    }
    return std::fclose(file) == 0 && ok;
}

double Seconds() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

using LoadFunction = void (*)(HWND, const std::string&);

// The main window's load: the list files staged compactly into the list the
// engine holds, and shown.
void LoadCompact(HWND box, const std::string& folder) {
    CProxyList list = MakeProxyList();
    list.Load(folder);
    ShowProxyList(box, list);
}

// The same list shown from a string per line read.
void LoadFromStrings(HWND box, const std::string& folder) {
    std::vector<std::string> lines;
    ReadListFileEntries(folder + "\\" + kUserProxyFileName, lines);
    ReadListFileEntries(folder + "\\" + kProxyListFileName, lines);
    CProxyList list = MakeProxyList();
    for (const std::string& line : lines) {
        list.Stage(line);
    }
    list.FinishStaging();
    ShowProxyList(box, list);
}

// The per-entry loop: each line searched for and added when not found.
void LoadOneByOne(HWND box, const std::string& folder) {
    SendMessageA(box, LB_RESETCONTENT, 0, 0);
    std::vector<std::string> lines;
    ReadListFileEntries(folder + "\\" + kUserProxyFileName, lines);
    ReadListFileEntries(folder + "\\" + kProxyListFileName, lines);
    for (const std::string& line : lines) {
        if (SendMessageA(box, LB_SELECTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>(line.c_str())) == LB_ERR) {
            SendMessageA(box, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
        }
    }
}

double TimeLoad(LoadFunction load, HWND list, const std::string& folder) {
    const double start = Seconds();
    load(list, folder);
    UpdateWindow(list);
    return Seconds() - start;
}

// ---- Hostile files -------------------------------------------------------

struct HostileCase {
    const char* name;
    std::string (*make)(std::size_t bytes);
};

std::string ProxyLines(std::size_t bytes, std::string_view lineEnd) {
    std::mt19937 random(4711);
    std::string text;
    text.reserve(bytes + 64);
    char line[64];
    while (text.size() < bytes) {
        std::snprintf(line, sizeof line, "%u.%u.%u.%u:%u", 1 + random() % 223, random() % 256,
                      random() % 256, 1 + random() % 254, 1 + random() % 65535);
        text += line;
        text += lineEnd;
    }
    return text;
}

std::string MakeProxyListText(std::size_t bytes) {
    return ProxyLines(bytes, "\r\n");
}

std::string MakeCarriageReturnsOnly(std::size_t bytes) {
    return ProxyLines(bytes, "\r");
}

std::string MakeNulSeparated(std::size_t bytes) {
    return ProxyLines(bytes, std::string_view("\0", 1));
}

std::string MakeGarbage(std::size_t bytes) {
    std::mt19937 random(815);
    std::string text(bytes, '\0');
    for (char& c : text) {
        c = static_cast<char>(random());
    }
    text[0] = 'x';
    return text;
}

std::string MakeLongLine(std::size_t bytes) {
    std::string text = "1.1.1.1:80\r\n";
    std::mt19937 random(99);
    const std::size_t length = bytes - 2 * text.size();
    for (std::size_t i = 0; i < length; ++i) {
        text += static_cast<char>('!' + random() % 94);
    }
    return text + "\r\n2.2.2.2:8080\r\n";
}

std::string MakeTinyLines(std::size_t bytes) {
    std::string text;
    text.reserve(bytes);
    for (std::size_t i = 0; text.size() < bytes; ++i) {
        text += static_cast<char>('0' + i % 10);
        text += '\n';
    }
    return text;
}

std::string MakeUtf16(std::size_t bytes) {
    const std::string plain = ProxyLines(bytes / 2, "\r\n");
    std::string text = "\xFF\xFE";
    text.reserve(plain.size() * 2 + 2);
    for (char c : plain) {
        text += c;
        text += '\0';
    }
    return text;
}

const HostileCase kHostileCases[] = {
    {"proxy list, CR LF", MakeProxyListText}, {"proxy list, UTF-16", MakeUtf16},
    {"proxy list, NULs", MakeNulSeparated},   {"proxy list, CR only", MakeCarriageReturnsOnly},
    {"binary garbage", MakeGarbage},          {"one-digit lines", MakeTinyLines},
    {"one long line", MakeLongLine},
};

// One load in this process; "<seconds> <count> <start bytes> <peak bytes>"
// into `resultPath`. The list box is shown and painted, as the user sees it.
int MeasureOneLoad(const std::string& which, const std::string& folder,
                   const std::string& resultPath) {
    const std::size_t start = ProcessMemory().m_nResidentBytes;
    double seconds = 0;
    std::size_t count = 0;
    if (which == "gui" || which == "staging") {
        const CListHostWindow shown(true);
        const double begin = Seconds();
        (which == "gui" ? LoadCompact : LoadFromStrings)(shown.List(), folder);
        UpdateWindow(shown.List());
        seconds = Seconds() - begin;
        count = static_cast<std::size_t>(SendMessageA(shown.List(), LB_GETCOUNT, 0, 0));
    } else {
        std::vector<std::string> entries;
        const double begin = Seconds();
        LoadRunEntries(folder + "\\" + kProxyListFileName, folder + "\\absent.txt", entries);
        seconds = Seconds() - begin;
        count = entries.size();
    }
    std::FILE* result = std::fopen(resultPath.c_str(), "w");
    if (result == nullptr) {
        return 1;
    }
    std::fprintf(result, "%.3f %zu %zu %zu\n", seconds, count, start,
                 ProcessMemory().m_nPeakResidentBytes);
    return std::fclose(result) == 0 ? 0 : 1;
}

struct LoadFigures {
    bool ok = false;
    double seconds = 0;
    std::size_t count = 0;
    double peakMb = 0;
};

LoadFigures RunMeasure(const char* which, const std::string& folder) {
    LoadFigures figures;
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    const std::string resultPath = folder + "\\result.txt";
    DeleteFileA(resultPath.c_str());
    const std::string command = std::string("\"") + self + "\" --measure " + which + " \"" +
                                folder + "\" \"" + resultPath + "\"";
    if (!RunToExit(command, INFINITE).m_bEnded) {
        return figures;
    }
    std::FILE* result = std::fopen(resultPath.c_str(), "r");
    if (result == nullptr) {
        return figures;
    }
    std::size_t start = 0;
    std::size_t peak = 0;
    figures.ok = std::fscanf(result, "%lf %zu %zu %zu", &figures.seconds, &figures.count, &start,
                             &peak) == 4;
    std::fclose(result);
    figures.peakMb = peak > start ? static_cast<double>(peak - start) / 1048576.0 : 0.0;
    return figures;
}

int RunHostile(std::size_t megabytes, const std::string& folder) {
    std::printf("hostile list files as \"%s\": the main window's load (shown list box), the "
                "same load keeping every line\nin a staging vector, and the checker's entries; "
                "peak working set above the process's start,\nand as a multiple of the file's "
                "size\n",
                kProxyListFileName);
    std::printf("%-20s %6s | %7s %8s %7s %5s | %7s %7s %5s | %7s %8s %7s %5s\n", "file", "MB",
                "gui s", "items", "peak MB", "x", "vec s", "peak MB", "x", "vettor s", "entries",
                "peak MB", "x");
    std::fflush(stdout);
    // Only the one list file is fed; a user's list left by an earlier run goes.
    DeleteFileA((folder + "\\" + kUserProxyFileName).c_str());
    bool allRan = true;
    for (const HostileCase& hostile : kHostileCases) {
        const std::size_t bytes =
            (hostile.make == MakeLongLine ? std::max<std::size_t>(megabytes / 5, 1) : megabytes) *
            1048576;
        const std::string path = folder + "\\" + kProxyListFileName;
        std::size_t size = 0;
        {
            const std::string text = hostile.make(bytes);
            size = text.size();
            if (!WriteWholeFile(path, text)) {
                std::fprintf(stderr, "cannot write %s\n", path.c_str());
                return 1;
            }
        }
        const double fileMb = static_cast<double>(size) / 1048576.0;
        const LoadFigures gui = RunMeasure("gui", folder);
        const LoadFigures staging = RunMeasure("staging", folder);
        const LoadFigures checker = RunMeasure("checker", folder);
        const bool ok = gui.ok && staging.ok && checker.ok && staging.count == gui.count;
        allRan = allRan && ok;
        std::printf("%-20s %6.1f | %7.2f %8zu %7.1f %5.1f | %7.2f %7.1f %5.1f | %7.2f %8zu %7.1f "
                    "%5.1f%s\n",
                    hostile.name, fileMb, gui.seconds, gui.count, gui.peakMb, gui.peakMb / fileMb,
                    staging.seconds, staging.peakMb, staging.peakMb / fileMb, checker.seconds,
                    checker.count, checker.peakMb, checker.peakMb / fileMb,
                    ok ? "" : "  (a load failed or the two loads differ)");
        std::fflush(stdout);
        DeleteFileA(path.c_str());
    }
    DeleteFileA((folder + "\\result.txt").c_str());
    return allRan ? 0 : 2;
}

// ---- Where a big load's time goes ---------------------------------------

// The fast load's steps one by one on a proxy list of about `megabytes`, with
// the list box's insertions timed in slices of 100,000, to tell our own work
// from the list box's.
int RunPhases(std::size_t megabytes, const std::string& folder) {
    const std::string path = folder + "\\" + kProxyListFileName;
    if (!WriteWholeFile(path, MakeProxyListText(megabytes * 1048576))) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    CListBoxFold fold{};
    if (!GetListBoxFold(fold)) {
        std::fprintf(stderr, "no list box fold\n");
        return 1;
    }
    const std::size_t startSet = ProcessMemory().m_nResidentBytes;
    auto report = [&](const char* what, double seconds) {
        std::printf("%-34s %8.3f s  working set %7.1f MB\n", what, seconds,
                    static_cast<double>(ProcessMemory().m_nResidentBytes - startSet) / 1048576.0);
        std::fflush(stdout);
    };
    double begin = Seconds();
    std::vector<std::string> staging;
    ReadListFileEntries(path, staging);
    report("read into strings", Seconds() - begin);
    {
        begin = Seconds();
        std::vector<std::size_t> additions = SelectListBoxAdditions(staging, fold);
        report("select, set of strings", Seconds() - begin);
        begin = Seconds();
        additions = OrderListBoxAdditions(staging, std::move(additions), fold);
        report("order, keyed strings", Seconds() - begin);
    }
    begin = Seconds();
    CStagedList staged(fold);
    for (const std::string& line : staging) {
        staged.Add(line);
    }
    staged.ForgetDuplicates();
    const std::size_t lines = staging.size();
    std::vector<std::string>().swap(staging);
    report("compact staging", Seconds() - begin);
    begin = Seconds();
    std::vector<std::uint32_t> additions = SelectStagedAdditions(staged);
    report("select, sorted keys", Seconds() - begin);
    begin = Seconds();
    const bool atTheEnd = OrderStagedAdditions(staged, additions);
    report("order, indices", Seconds() - begin);
    std::printf("%zu lines, %zu staged, %zu to add, %s\n", lines, staged.Size(), additions.size(),
                atTheEnd ? "in the list box's order" : "in staged order");

    const CListHostWindow window(true);
    const HWND list = window.List();
    if (additions.empty() || list == nullptr) {
        std::fprintf(stderr, "nothing to add\n");
        return 1;
    }
    SendMessageA(list, WM_SETREDRAW, FALSE, 0);
    // What the list box reserves: LB_INITSTORAGE answers with its item array's size.
    const LRESULT reserved = SendMessageA(list, LB_INITSTORAGE, additions.size(),
                                          static_cast<LPARAM>(staged.TextBytes() * 2));
    SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(staged.CString(additions.front())));
    const LRESULT afterOne = SendMessageA(list, LB_INITSTORAGE, 0, 0);
    std::printf("item array after LB_INITSTORAGE %ld, after one insertion %ld\n",
                static_cast<long>(reserved), static_cast<long>(afterOne));
    // The reservation sent to the empty list box, for the first items only.
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    SendMessageA(list, LB_INITSTORAGE, additions.size(),
                 static_cast<LPARAM>(staged.TextBytes() * 2));
    const std::size_t firstItems = std::min<std::size_t>(additions.size(), 500000);
    std::printf("seconds per 100,000 LB_INSERTSTRING, reserved while empty:");
    double slice = Seconds();
    for (std::size_t k = 0; k < firstItems; ++k) {
        SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(staged.CString(additions[k])));
        if ((k + 1) % 100000 == 0) {
            std::printf(" %.2f", Seconds() - slice);
            std::fflush(stdout);
            slice = Seconds();
        }
    }
    std::printf("\n");
    // The reservation asked for every 100,000 items, as the load does.
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    std::printf("seconds per 100,000 LB_INSERTSTRING, reserved every 100,000:");
    const double fillBegin = Seconds();
    slice = Seconds();
    for (std::size_t k = 0; k < additions.size(); ++k) {
        SendMessageA(list, LB_INSERTSTRING, static_cast<WPARAM>(-1),
                     reinterpret_cast<LPARAM>(staged.CString(additions[k])));
        if (k > 0 && k % 100000 == 0) {
            SendMessageA(list, LB_INITSTORAGE, additions.size() - k,
                         static_cast<LPARAM>(staged.TextBytes() * 2));
        }
        if ((k + 1) % 100000 == 0) {
            std::printf(" %.2f", Seconds() - slice);
            std::fflush(stdout);
            slice = Seconds();
        }
    }
    std::printf("\n");
    report("all insertions", Seconds() - fillBegin);
    begin = Seconds();
    SendMessageA(list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE);
    UpdateWindow(list);
    report("redraw", Seconds() - begin);
    begin = Seconds();
    SendMessageA(list, LB_RESETCONTENT, 0, 0);
    report("LB_RESETCONTENT", Seconds() - begin);

    // The growth the list box's item array goes through: 16 items of 24 bytes
    // a step, by HeapReAlloc on the process heap.
    std::printf("seconds per 100,000 items of HeapReAlloc growth by 384 bytes:");
    const HANDLE heap = GetProcessHeap();
    void* block = HeapAlloc(heap, 0, 384);
    begin = Seconds();
    slice = Seconds();
    for (std::size_t k = 1; k <= additions.size() / 16 && block != nullptr; ++k) {
        void* grown = HeapReAlloc(heap, 0, block, (k + 1) * 384);
        if (grown == nullptr) {
            break;
        }
        block = grown;
        if (k % 6250 == 0) {
            std::printf(" %.2f", Seconds() - slice);
            std::fflush(stdout);
            slice = Seconds();
        }
    }
    std::printf("\n");
    report("all growth", Seconds() - begin);
    HeapFree(heap, 0, block);
    DeleteFileA(path.c_str());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 5 && std::string(argv[1]) == "--measure") {
        return MeasureOneLoad(argv[2], argv[3], argv[4]);
    }
    // The per-entry loop repaints a shown list box on every search and
    // insertion, which takes minutes from a few thousand entries on; it
    // runs on the hidden window unless asked.
    bool plainShown = false;
    bool hostile = false;
    bool phases = false;
    std::vector<std::size_t> counts;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--plain-shown") {
            plainShown = true;
        } else if (std::string(argv[i]) == "--hostile") {
            hostile = true;
        } else if (std::string(argv[i]) == "--phases") {
            phases = true;
        } else if (const unsigned long count = std::strtoul(argv[i], nullptr, 10); count > 0) {
            counts.push_back(count);
        }
    }

    char temp[MAX_PATH + 1] = {};
    if (GetTempPathA(sizeof temp, temp) == 0) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const std::string folder =
        std::string(temp) + "sulvantix-list-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);
    if (hostile || phases) {
        const std::size_t megabytes = counts.empty() ? 50 : counts.front();
        const int result = hostile ? RunHostile(megabytes, folder) : RunPhases(megabytes, folder);
        RemoveDirectoryA(folder.c_str());
        return result;
    }
    if (counts.empty()) {
        counts = {10000, 50000};
    }

    const CListHostWindow shown(true);
    const CListHostWindow hidden(false);
    if (shown.List() == nullptr || hidden.List() == nullptr) {
        std::fprintf(stderr, "cannot create the list boxes\n");
        return 1;
    }
    const CListHostWindow& plainWindow = plainShown ? shown : hidden;

    std::printf("load of \"%s\" and \"%s\" into a sorted list box, seconds\n", kUserProxyFileName,
                kProxyListFileName);
    std::printf("%8s %8s %11s %12s %13s %6s\n", "entries", "listed", "fast shown", "vec hidden",
                plainShown ? "plain shown" : "plain hidden", "same");
    std::fflush(stdout);
    bool allSame = true;
    for (std::size_t count : counts) {
        const std::vector<std::string> entries = MakeEntries(count, 20240u + count);
        const std::size_t userCount = count / 50;
        if (!WriteLines(folder + "\\" + kUserProxyFileName, entries, 0, userCount) ||
            !WriteLines(folder + "\\" + kProxyListFileName, entries, userCount, count)) {
            std::fprintf(stderr, "cannot write the list files\n");
            return 1;
        }
        const double fastShown = TimeLoad(LoadCompact, shown.List(), folder);
        const std::vector<std::string> fastItems = ListBoxItems(shown.List());
        const double fastHidden = TimeLoad(LoadFromStrings, hidden.List(), folder);
        bool same = ListBoxItems(hidden.List()) == fastItems;
        const double plain = TimeLoad(LoadOneByOne, plainWindow.List(), folder);
        same = same && ListBoxItems(plainWindow.List()) == fastItems;
        allSame = allSame && same;
        std::printf("%8zu %8zu %11.3f %12.3f %13.3f %6s\n", count, fastItems.size(), fastShown,
                    fastHidden, plain, same ? "yes" : "NO");
        std::fflush(stdout);
    }

    DeleteFileA((folder + "\\" + kUserProxyFileName).c_str());
    DeleteFileA((folder + "\\" + kProxyListFileName).c_str());
    RemoveDirectoryA(folder.c_str());
    return allSame ? 0 : 2;
}
