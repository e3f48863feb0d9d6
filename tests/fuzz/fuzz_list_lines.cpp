// The list file reader: whole text, pieces of fuzzer-chosen sizes, a source
// that fails or throws part way, all against a plain model of the list rule
// (byte-order marks, UTF-16, NULs ending lines); and for some inputs the
// list file itself read, appended to and edited.
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

#include "shared/list_lines.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The text a list's bytes stand for: a UTF-8 mark at the start skipped; after
// a UTF-16 mark, units in its byte order (a last odd byte dropped), ASCII
// kept and every other character, a surrogate pair being one, made '?'.
std::string ModelText(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        return std::string(bytes.substr(3));
    }
    const bool little = bytes.substr(0, 2) == "\xFF\xFE";
    if (!little && bytes.substr(0, 2) != "\xFE\xFF") {
        return std::string(bytes);
    }
    std::vector<unsigned> units;
    for (std::size_t at = 2; at + 1 < bytes.size(); at += 2) {
        const auto first = static_cast<unsigned char>(bytes[at]);
        const auto second = static_cast<unsigned char>(bytes[at + 1]);
        units.push_back(little ? second * 256U + first : first * 256U + second);
    }
    std::string text;
    for (std::size_t i = 0; i < units.size(); ++i) {
        const bool pair = units[i] >= 0xD800 && units[i] <= 0xDBFF && i + 1 < units.size() &&
                          units[i + 1] >= 0xDC00 && units[i + 1] <= 0xDFFF;
        i += pair ? 1 : 0;
        text += units[i] < 0x80 && !pair ? static_cast<char>(units[i]) : '?';
    }
    return text;
}

// The rule stated once, as simply as it can be: lines end at LF or NUL,
// are trimmed, and blank ones are skipped. With `completeOnly` a last line
// without its end is left out (what a read that failed there keeps).
std::vector<std::string> ModelEntries(std::string_view bytes, bool completeOnly = false) {
    std::vector<std::string> entries;
    std::string line;
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
    };
    for (char c : ModelText(bytes)) {
        if (c == '\n' || c == '\0') {
            take();
        } else {
            line += c;
        }
    }
    if (!completeOnly) {
        take();
    }
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

bool IsUtf16(std::string_view bytes) {
    return bytes.substr(0, 2) == "\xFF\xFE" || bytes.substr(0, 2) == "\xFE\xFF";
}

// What appending `entry` to a UTF-16 list adds: a stray odd byte made a
// whole unit, a line end when the last line has none, then the line, each
// character a unit in the list's byte order, non-ASCII bytes as '?'.
std::string Utf16Appended(std::string_view bytes, const std::string& entry) {
    const bool little = bytes[0] == '\xFF';
    std::string added;
    const auto unit = [&](unsigned char c) {
        added += little ? static_cast<char>(c) : '\0';
        added += little ? '\0' : static_cast<char>(c);
    };
    bool endsLine = bytes.size() == 2;
    if (bytes.size() % 2 != 0) {
        added += '\0';
    } else if (!endsLine) {
        const std::string_view last = bytes.substr(bytes.size() - 2);
        endsLine = last == (little ? std::string_view("\n\0", 2) : std::string_view("\0\n", 2));
    }
    if (!endsLine) {
        unit('\r');
        unit('\n');
    }
    for (char c : entry) {
        unit(static_cast<unsigned char>(c) < 0x80 ? static_cast<unsigned char>(c) : '?');
    }
    unit('\r');
    unit('\n');
    return added;
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
    if (IsUtf16(text)) {
        // The line goes in as UTF-16; a stray last byte joins the last line.
        const std::string bytes = text + Utf16Appended(text, entry);
        FUZZ_CHECK(ReadFile(path) == bytes);
        expected = ModelEntries(bytes);
        FUZZ_CHECK(!expected.empty() && expected.back() == entry);
    } else {
        expected.push_back(entry);
    }
    FUZZ_CHECK(ReadBack(path) == expected);

    FUZZ_CHECK(RemoveListLine(path, entry));
    expected.erase(std::remove(expected.begin(), expected.end(), entry), expected.end());
    FUZZ_CHECK(ReadBack(path) == expected);
    // Single-byte lines; a first line that would read as a mark gets a
    // UTF-8 mark before it.
    std::string lines;
    for (const std::string& kept : expected) {
        lines += kept + "\n";
    }
    if (lines.compare(0, 3, "\xEF\xBB\xBF") == 0 || IsUtf16(lines)) {
        lines = "\xEF\xBB\xBF" + lines;
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
    const std::vector<std::string> expected =
        ModelEntries(std::string_view(text).substr(0, stopAt), true);
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
