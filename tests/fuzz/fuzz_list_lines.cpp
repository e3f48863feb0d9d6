// The list file reader: whole text, pieces of fuzzer-chosen sizes, a source
// that fails or throws part way, all against a plain model of the list rule;
// and for some inputs the list file itself read, appended to and edited.
#include <unistd.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz_check.h"
#include "list_lines.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The rule stated once, as simply as it can be: lines at LF, cut at NUL,
// trimmed, blank ones skipped.
std::vector<std::string> ModelEntries(std::string_view text) {
    std::vector<std::string> entries;
    std::string line;
    bool cut = false;
    const auto take = [&] {
        std::size_t begin = 0;
        std::size_t end = line.size();
        while (begin < end && IsSpace(line[begin])) {
            ++begin;
        }
        while (end > begin && IsSpace(line[end - 1])) {
            --end;
        }
        if (end > begin) {
            entries.push_back(line.substr(begin, end - begin));
        }
        line.clear();
        cut = false;
    };
    for (char c : text) {
        if (c == '\n') {
            take();
        } else if (c == '\0') {
            cut = true;
        } else if (!cut) {
            line += c;
        }
    }
    take();
    return entries;
}

void CheckEntries(const std::vector<std::string>& entries) {
    for (const std::string& entry : entries) {
        FUZZ_CHECK(!entry.empty());
        FUZZ_CHECK(!IsSpace(entry.front()) && !IsSpace(entry.back()));
        FUZZ_CHECK(entry.find('\n') == std::string::npos);
        FUZZ_CHECK(entry.find('\0') == std::string::npos);
        FUZZ_CHECK(TrimListText(entry) == entry);
    }
}

// Piece sizes from a fuzzer-chosen seed; small pieces are the likelier ones,
// since they cut lines and "\r\n" pairs.
class PieceSizes {
public:
    explicit PieceSizes(std::uint64_t seed) : m_state(seed | 1) {}
    std::size_t Next(std::size_t limit) {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 7;
        m_state ^= m_state << 17;
        const std::size_t span = (m_state & 3) == 0 ? 4096 : 8;
        const std::size_t size = 1 + static_cast<std::size_t>(m_state >> 8) % span;
        return size < limit ? size : limit;
    }

private:
    std::uint64_t m_state;
};

enum class Ending { kEnd, kError, kThrow };

// A source that hands out `text` in pieces, then ends as told once `stopAt`
// bytes are out (or at the end of the text).
ListReadResult ReadThroughSource(std::string_view text, std::uint64_t seed, Ending ending,
                                 std::size_t stopAt, std::vector<std::string>& entries) {
    PieceSizes sizes(seed);
    std::size_t offset = 0;
    return ReadListEntries(
        [&](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
            FUZZ_CHECK(buffer != nullptr && capacity > 0);
            const std::size_t limit = ending == Ending::kEnd ? text.size() : stopAt;
            if (offset >= limit) {
                if (ending == Ending::kThrow) {
                    throw std::bad_alloc();
                }
                return ending == Ending::kError ? -1 : 0;
            }
            std::size_t count = sizes.Next(limit - offset);
            count = count < capacity ? count : capacity;
            text.substr(offset, count).copy(buffer, count);
            offset += count;
            return static_cast<std::ptrdiff_t>(count);
        },
        entries);
}

// A folder of this process's own, in memory where the machine has one (the
// edit flushes every file it writes to the disk), removed at exit.
class CScratchFolder {
public:
    CScratchFolder() {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : std::getenv("TMPDIR");
        m_strFolder = std::string(base != nullptr ? base : "/tmp") + "/list-fuzz.XXXXXX";
        FUZZ_CHECK(mkdtemp(m_strFolder.data()) != nullptr);
    }
    ~CScratchFolder() {
        std::remove(ListPath().c_str());
        std::remove((ListPath() + ".new").c_str());
        rmdir(m_strFolder.c_str());
    }
    std::string ListPath() const { return m_strFolder + "/list.txt"; }

private:
    std::string m_strFolder;
};

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    FUZZ_CHECK(file.good());
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<std::string> ReadBack(const std::string& path) {
    std::vector<std::string> entries;
    FUZZ_CHECK(ReadListFileEntries(path, entries) == ListReadResult::Read);
    CheckEntries(entries);
    return entries;
}

// The file holds `text`: reading gives `whole`; an appended entry becomes one
// more line even after a last line without its end; removing an entry drops
// every copy and leaves the rest trimmed, one per line.
void CheckListFile(const std::string& text, const std::vector<std::string>& whole,
                   std::uint64_t seed) {
    static const CScratchFolder scratch;
    const std::string path = scratch.ListPath();
    std::remove(path.c_str());
    std::vector<std::string> none;
    FUZZ_CHECK(ReadListFileEntries(path, none) == ListReadResult::NotOpened && none.empty());
    WriteFile(path, text);
    FUZZ_CHECK(ReadBack(path) == whole);

    const std::string absent = "absent entry";
    if (std::find(whole.begin(), whole.end(), absent) == whole.end()) {
        FUZZ_CHECK(!RemoveListLine(path, absent));
        FUZZ_CHECK(ReadFile(path) == text);
    }

    const std::string entry = whole.empty() || (seed & 8) != 0 ? std::string("10.9.8.7:3128")
                                                               : whole[(seed >> 4) % whole.size()];
    FUZZ_CHECK(AppendListLine(path, entry));
    std::vector<std::string> expected = whole;
    expected.push_back(entry);
    FUZZ_CHECK(ReadBack(path) == expected);

    FUZZ_CHECK(RemoveListLine(path, entry));
    expected.erase(std::remove(expected.begin(), expected.end(), entry), expected.end());
    FUZZ_CHECK(ReadBack(path) == expected);
    std::string lines;
    for (const std::string& kept : expected) {
        lines += kept + "\n";
    }
    FUZZ_CHECK(ReadFile(path) == lines);
    FUZZ_CHECK(access((path + ".new").c_str(), F_OK) != 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider provider(data, size);
    const auto seed = provider.ConsumeIntegral<std::uint64_t>();
    const auto stopChoice = provider.ConsumeIntegral<std::uint16_t>();
    const std::string text = provider.ConsumeRemainingBytesAsString();

    std::vector<std::string> whole;
    SplitListText(text, whole);
    CheckEntries(whole);
    FUZZ_CHECK(whole == ModelEntries(text));

    // Splitting in pieces gives what splitting the whole text gives.
    std::vector<std::string> pieces;
    {
        CListLineSplitter splitter(pieces);
        PieceSizes sizes(seed);
        std::string_view rest = text;
        while (!rest.empty()) {
            const std::size_t count = sizes.Next(rest.size());
            splitter.Feed(rest.substr(0, count));
            splitter.Feed(std::string_view());
            rest.remove_prefix(count);
        }
        splitter.Finish();
        splitter.Finish();
    }
    FUZZ_CHECK(pieces == whole);

    std::vector<std::string> read{"kept"};
    FUZZ_CHECK(ReadThroughSource(text, seed, Ending::kEnd, 0, read) == ListReadResult::Read);
    FUZZ_CHECK(read.front() == "kept");
    read.erase(read.begin());
    FUZZ_CHECK(read == whole);

    // A failed read keeps exactly the lines whose line end came before it.
    const std::size_t stopAt = text.empty() ? 0 : stopChoice % (text.size() + 1);
    const std::size_t lastLf = text.rfind('\n', stopAt == 0 ? 0 : stopAt - 1);
    const std::string complete = lastLf == std::string::npos || lastLf >= stopAt
                                     ? std::string()
                                     : text.substr(0, lastLf + 1);
    const std::vector<std::string> expected = ModelEntries(complete);
    for (const Ending ending : {Ending::kError, Ending::kThrow}) {
        std::vector<std::string> partial;
        FUZZ_CHECK(ReadThroughSource(text, seed, ending, stopAt, partial) ==
                   ListReadResult::ReadError);
        CheckEntries(partial);
        FUZZ_CHECK(partial == expected);
    }

    // Files cost system calls: one input in eight goes through them.
    if ((seed & 7) == 0) {
        CheckListFile(text, whole, seed);
    }
    return 0;
}
