// Load times of the proxy list box for big lists: the fast load against the
// per-entry loop, both from real list files into a real sorted list box.
//
//   list_load_bench [--plain-shown] [COUNT...]     (counts default to 10000 50000)
//
// The lists look like downloaded ones: "a.b.c.d:port" lines with CRLF, some
// exact repeats and some entries that differ only by a port that is the
// beginning of another ("...:80" beside "...:8080").
#include <windows.h>

#include "list_host_window.h"

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "proxy_list_loader.h"

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

std::vector<std::string> Items(HWND list) {
    std::vector<std::string> items;
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, i, 0);
        std::vector<char> buffer(length > 0 ? static_cast<std::size_t>(length) + 1 : 1);
        SendMessageA(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(buffer.data()));
        items.emplace_back(buffer.data());
    }
    return items;
}

double Seconds() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

using LoadFunction = int (*)(HWND, std::vector<std::string>&, HWND, const std::string&);

double TimeLoad(LoadFunction load, HWND list, HWND button, const std::string& folder) {
    std::vector<std::string> staging;
    const double start = Seconds();
    load(list, staging, button, folder);
    UpdateWindow(list);
    return Seconds() - start;
}

} // namespace

int main(int argc, char** argv) {
    // The per-entry loop repaints a shown list box on every search and
    // insertion, which takes minutes from a few thousand entries on; it
    // runs on the hidden window unless asked.
    bool plainShown = false;
    std::vector<std::size_t> counts;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--plain-shown") {
            plainShown = true;
        } else if (const unsigned long count = std::strtoul(argv[i], nullptr, 10); count > 0) {
            counts.push_back(count);
        }
    }
    if (counts.empty()) {
        counts = {10000, 50000};
    }

    char temp[MAX_PATH + 1] = {};
    if (GetTempPathA(sizeof temp, temp) == 0) {
        std::fprintf(stderr, "no temporary folder\n");
        return 1;
    }
    const std::string folder =
        std::string(temp) + "sulvantix-list-bench-" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(folder.c_str(), nullptr);

    const CListHostWindow shown(true);
    const CListHostWindow hidden(false);
    if (shown.List() == nullptr || hidden.List() == nullptr) {
        std::fprintf(stderr, "cannot create the list boxes\n");
        return 1;
    }
    const CListHostWindow& plainWindow = plainShown ? shown : hidden;

    std::printf("load of \"%s\" and \"%s\" into a sorted list box, seconds\n", kUserProxyFileName,
                kProxyListFileName);
    std::printf("%8s %8s %11s %12s %13s %6s\n", "entries", "listed", "fast shown", "fast hidden",
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
        const double fastShown = TimeLoad(LoadProxyLists, shown.List(), shown.Button(), folder);
        const std::vector<std::string> fastItems = Items(shown.List());
        const double fastHidden = TimeLoad(LoadProxyLists, hidden.List(), hidden.Button(), folder);
        bool same = Items(hidden.List()) == fastItems;
        const double plain =
            TimeLoad(LoadProxyListsPlain, plainWindow.List(), plainWindow.Button(), folder);
        same = same && Items(plainWindow.List()) == fastItems;
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
