#include "shared/list_lines.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "shared/file_replace.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

// Big enough that a list of tens of megabytes takes few calls, and on the
// heap so worker threads with small stacks can read lists too.
constexpr std::size_t kReadPiece = 64 * 1024;

// Closes the file and reports whether everything written reached it.
bool CloseWritten(UniqueFile file) {
    return std::fclose(file.release()) == 0;
}

bool WriteLine(std::FILE* file, const std::string& line) {
    return std::fwrite(line.data(), 1, line.size(), file) == line.size() &&
           std::fputc('\n', file) != EOF;
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

// A file that starts with a byte-order mark is read differently; an entry
// whose bytes begin like one (only garbage does) and that becomes a file's
// first line is kept as it is by a UTF-8 mark before it, which the reader
// skips.
bool WriteFirstLine(std::FILE* file, const std::string& line) {
    const std::string_view text = line;
    const bool looksMarked = text.substr(0, 3) == kUtf8Mark || text.substr(0, 2) == "\xFF\xFE" ||
                             text.substr(0, 2) == "\xFE\xFF";
    return (!looksMarked ||
            std::fwrite(kUtf8Mark.data(), 1, kUtf8Mark.size(), file) == kUtf8Mark.size()) &&
           WriteLine(file, line);
}

// A list edited by hand often lacks the final line end; appending to it
// as it stands would glue the new entry onto its last entry.
bool EndsInsideALine(std::FILE* file) {
    return std::fseek(file, -1, SEEK_END) == 0 && std::fgetc(file) != '\n';
}

enum class UnitOrder { None, Little, Big };

// Whether the file starts with a UTF-16 byte-order mark, and which.
UnitOrder Utf16Order(std::FILE* file) {
    unsigned char mark[2] = {};
    if (std::fseek(file, 0, SEEK_SET) != 0 || std::fread(mark, 1, 2, file) != 2) {
        return UnitOrder::None;
    }
    if (mark[0] == 0xFF && mark[1] == 0xFE) {
        return UnitOrder::Little;
    }
    return mark[0] == 0xFE && mark[1] == 0xFF ? UnitOrder::Big : UnitOrder::None;
}

void PutUnit(std::string& bytes, UnitOrder order, unsigned unit) {
    const auto high = static_cast<char>(unit >> 8U);
    const auto low = static_cast<char>(unit & 0xFFU);
    bytes += order == UnitOrder::Big ? high : low;
    bytes += order == UnitOrder::Big ? low : high;
}

// The bytes that append `entry` as a line of a UTF-16 list. The reader pairs
// bytes from the mark on, so a stray odd byte at the end is made a whole
// unit first; a last line without its line end gets one.
std::string Utf16LineBytes(std::FILE* file, UnitOrder order, const std::string& entry) {
    std::string bytes;
    long size = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        size = std::ftell(file);
    }
    bool endsLine = true;
    if (size > 2 && size % 2 != 0) {
        bytes += '\0';
        endsLine = false;
    } else if (size > 2 && std::fseek(file, -2, SEEK_END) == 0) {
        unsigned char last[2] = {};
        endsLine = std::fread(last, 1, 2, file) == 2 &&
                   (order == UnitOrder::Big ? last[0] == 0 && last[1] == '\n'
                                            : last[0] == '\n' && last[1] == 0);
    }
    if (!endsLine) {
        PutUnit(bytes, order, '\r');
        PutUnit(bytes, order, '\n');
    }
    for (char c : entry) {
        const auto byte = static_cast<unsigned char>(c);
        PutUnit(bytes, order, byte < 0x80 ? byte : '?');
    }
    PutUnit(bytes, order, '\r');
    PutUnit(bytes, order, '\n');
    return bytes;
}

} // namespace

bool IsListSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view TrimListText(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsListSpace(text[begin])) {
        ++begin;
    }
    while (end > begin && IsListSpace(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

void CListLineSplitter::TakeLine(std::string_view line) {
    line = TrimListText(line);
    if (!line.empty()) {
        m_entries.emplace_back(line);
    }
}

void CListLineSplitter::TakePending() {
    TakeLine(m_strPending);
    // A long line's buffer is not kept for the short lines that follow.
    if (m_strPending.capacity() > kReadPiece) {
        std::string().swap(m_strPending);
    } else {
        m_strPending.clear();
    }
}

void CListLineSplitter::FeedBytes(std::string_view text) {
    const char* const end = text.data() + text.size();
    const char* begin = text.data();
    const char* at = begin;
    // One pass over the bytes: a line feed or a NUL ends the line.
    while (at != end) {
        if (*at != '\n' && *at != '\0') {
            ++at;
            continue;
        }
        const std::string_view line(begin, static_cast<std::size_t>(at - begin));
        if (m_strPending.empty()) {
            TakeLine(line);
        } else {
            m_strPending.append(line);
            TakePending();
        }
        begin = ++at;
    }
    m_strPending.append(begin, static_cast<std::size_t>(end - begin));
}

void CListLineSplitter::PutUtf16Unit(unsigned unit) {
    const bool high = unit >= 0xD800 && unit <= 0xDBFF;
    const bool low = unit >= 0xDC00 && unit <= 0xDFFF;
    if (m_bHighSurrogate) {
        m_bHighSurrogate = false;
        // With its low half it is one character; without, a lone one.
        m_strDecoded += '?';
        if (low) {
            return;
        }
    }
    if (high) {
        m_bHighSurrogate = true;
    } else {
        m_strDecoded += unit < 0x80 ? static_cast<char>(unit) : '?';
    }
}

void CListLineSplitter::FeedUtf16(std::string_view piece) {
    const bool bigEndian = m_encoding == Encoding::Utf16Be;
    const auto unitOf = [bigEndian](unsigned char first, unsigned char second) {
        return bigEndian ? (first << 8U) | second : (second << 8U) | first;
    };
    m_strDecoded.clear();
    m_strDecoded.reserve(piece.size() / 2 + 2);
    std::size_t at = 0;
    if (m_nOddByte >= 0 && !piece.empty()) {
        PutUtf16Unit(
            unitOf(static_cast<unsigned char>(m_nOddByte), static_cast<unsigned char>(piece[0])));
        m_nOddByte = -1;
        at = 1;
    }
    for (; at + 1 < piece.size(); at += 2) {
        PutUtf16Unit(unitOf(static_cast<unsigned char>(piece[at]),
                            static_cast<unsigned char>(piece[at + 1])));
    }
    if (at < piece.size()) {
        m_nOddByte = static_cast<unsigned char>(piece[at]);
    }
    FeedBytes(m_strDecoded);
}

void CListLineSplitter::Decide(bool atEnd) {
    struct Mark {
        std::string_view bytes;
        Encoding encoding;
    };
    static constexpr Mark kMarks[] = {{"\xEF\xBB\xBF", Encoding::Bytes},
                                      {"\xFF\xFE", Encoding::Utf16Le},
                                      {"\xFE\xFF", Encoding::Utf16Be}};
    const std::string_view head = m_strHead;
    std::size_t markSize = 0;
    bool mayBeMark = false;
    for (const Mark& mark : kMarks) {
        if (head.substr(0, mark.bytes.size()) == mark.bytes) {
            m_encoding = mark.encoding;
            markSize = mark.bytes.size();
            break;
        }
        mayBeMark = mayBeMark || mark.bytes.substr(0, head.size()) == head;
    }
    if (m_encoding == Encoding::Undecided) {
        if (mayBeMark && !atEnd) {
            return;
        }
        // No mark, or a text too short to hold one: bytes as they stand.
        m_encoding = Encoding::Bytes;
    }
    const std::string rest = m_strHead.substr(markSize);
    m_strHead.clear();
    if (m_encoding == Encoding::Bytes) {
        FeedBytes(rest);
    } else {
        FeedUtf16(rest);
    }
}

void CListLineSplitter::FeedHead(std::string_view& piece) {
    while (m_encoding == Encoding::Undecided && !piece.empty()) {
        m_strHead += piece.front();
        piece.remove_prefix(1);
        Decide(false);
    }
}

void CListLineSplitter::Feed(std::string_view piece) {
    FeedHead(piece);
    if (piece.empty()) {
        return;
    }
    if (m_encoding == Encoding::Bytes) {
        FeedBytes(piece);
    } else {
        FeedUtf16(piece);
    }
}

void CListLineSplitter::Finish() {
    if (m_encoding == Encoding::Undecided) {
        Decide(true);
    }
    if (m_bHighSurrogate) {
        m_bHighSurrogate = false;
        m_strDecoded.assign(1, '?');
        FeedBytes(m_strDecoded);
    }
    // A last odd byte of UTF-16 is half a character: nothing to show.
    m_nOddByte = -1;
    if (!m_strPending.empty()) {
        TakePending();
    }
}

void CListLineSplitter::DropPending() {
    m_strPending.clear();
    m_nOddByte = -1;
    m_bHighSurrogate = false;
}

void SplitListText(std::string_view text, std::vector<std::string>& entries) {
    CListLineSplitter splitter(entries);
    splitter.Feed(text);
    splitter.Finish();
}

ListReadResult ReadListEntries(const ListPieceSource& source, std::vector<std::string>& entries) {
    CListLineSplitter splitter(entries);
    try {
        std::vector<char> buffer(kReadPiece);
        for (;;) {
            const std::ptrdiff_t count = source(buffer.data(), buffer.size());
            if (count < 0) {
                splitter.DropPending();
                return ListReadResult::ReadError;
            }
            if (count == 0) {
                break;
            }
            const auto size = std::min(static_cast<std::size_t>(count), buffer.size());
            splitter.Feed(std::string_view(buffer.data(), size));
        }
        splitter.Finish();
        return ListReadResult::Read;
    } catch (...) {
        // Out of memory on a huge list counts as a read error: the entries
        // gathered so far stay.
        splitter.DropPending();
        return ListReadResult::ReadError;
    }
}

ListReadResult ReadListFileEntries(const std::string& path, std::vector<std::string>& entries) {
    UniqueFile file(std::fopen(path.c_str(), "rb"));
    if (!file) {
        return ListReadResult::NotOpened;
    }
    std::FILE* stream = file.get();
    return ReadListEntries(
        [stream](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
            const std::size_t count = std::fread(buffer, 1, capacity, stream);
            if (count == 0) {
                return std::ferror(stream) ? -1 : 0;
            }
            return static_cast<std::ptrdiff_t>(count);
        },
        entries);
}

bool AppendListLine(const std::string& path, const std::string& entry) {
    bool startLine = false;
    bool firstLine = true;
    std::string utf16Line;
    if (UniqueFile existing{std::fopen(path.c_str(), "rb")}) {
        try {
            if (const UnitOrder order = Utf16Order(existing.get()); order != UnitOrder::None) {
                utf16Line = Utf16LineBytes(existing.get(), order, entry);
            } else {
                firstLine = std::fseek(existing.get(), 0, SEEK_SET) == 0 &&
                            std::fgetc(existing.get()) == EOF;
                startLine = EndsInsideALine(existing.get());
            }
        } catch (...) {
            return false;
        }
    }
    if (!utf16Line.empty()) {
        UniqueFile file(std::fopen(path.c_str(), "ab"));
        if (!file) {
            return false;
        }
        const bool written =
            std::fwrite(utf16Line.data(), 1, utf16Line.size(), file.get()) == utf16Line.size();
        return CloseWritten(std::move(file)) && written;
    }
    UniqueFile file(std::fopen(path.c_str(), "a"));
    if (!file) {
        return false;
    }
    const bool written =
        (!startLine || std::fputc('\n', file.get()) != EOF) &&
        (firstLine ? WriteFirstLine(file.get(), entry) : WriteLine(file.get(), entry));
    return CloseWritten(std::move(file)) && written;
}

bool RemoveListLine(const std::string& path, const std::string& entry) {
    try {
        std::vector<std::string> lines;
        // A file read only in part is left alone: rewriting it would lose its tail.
        if (ReadListFileEntries(path, lines) != ListReadResult::Read) {
            return false;
        }
        const auto keptEnd = std::remove(lines.begin(), lines.end(), entry);
        if (keptEnd == lines.end()) {
            return false;
        }
        lines.erase(keptEnd, lines.end());

        // Written beside the list and moved over it only once all is on the
        // disk: a crash or a full disk must not cost the user the list.
        const std::string replacement = ReplacementPath(path);
        UniqueFile file(std::fopen(replacement.c_str(), "w"));
        if (!file) {
            return false;
        }
        bool written = true;
        for (std::size_t i = 0; i < lines.size() && written; ++i) {
            written =
                i == 0 ? WriteFirstLine(file.get(), lines[i]) : WriteLine(file.get(), lines[i]);
        }
        written = written && FlushToDisk(file.get());
        if (!CloseWritten(std::move(file)) || !written || !ReplaceFileWith(replacement, path)) {
            std::remove(replacement.c_str());
            return false;
        }
        return true;
    } catch (...) {
        return false;
    }
}
