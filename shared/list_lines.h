// List files: single-byte text, one entry a line, shared by both programs.
// Reading splits at line feeds, trims each line of white space (a carriage
// return before the line feed goes with the trimming) and skips blank lines.
// A carriage return alone ends no line: a file with nothing but carriage
// returns between its entries reads as one entry.
//
// What editors leave in a list, read by both programs alike:
// - a UTF-8 byte-order mark at the very start is skipped (the bytes after it
//   are taken as they stand);
// - a file that starts with a UTF-16 byte-order mark (either byte order) is
//   read as UTF-16: every character outside ASCII becomes '?' (a surrogate
//   pair is one character; a lone surrogate is one too), and a last odd byte
//   is no character and is dropped;
// - entries are C strings everywhere else (list box items, proxy texts), so
//   a NUL, byte or character, ends a line just as a line feed does, and no
//   entry ever holds one.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Space, tab, carriage return, line feed, vertical tab and form feed.
bool IsListSpace(char c);
std::string_view TrimListText(std::string_view text);

// Splits text fed in pieces of any size into entries. Lines of any length
// are kept whole; a line that spans pieces is gathered once, so the cost is
// linear in the text. The byte-order mark is recognised however the first
// bytes are cut into pieces.
class CListLineSplitter {
public:
    explicit CListLineSplitter(std::vector<std::string>& entries) : m_entries(entries) {}
    CListLineSplitter(const CListLineSplitter&) = delete;
    CListLineSplitter& operator=(const CListLineSplitter&) = delete;

    void Feed(std::string_view piece);
    // The last line needs no line end.
    void Finish();
    // Forgets a partly read line (the reading of the file ended in an error).
    void DropPending();

private:
    enum class Encoding { Undecided, Bytes, Utf16Le, Utf16Be };

    // Collects the first bytes until the byte-order mark, or its absence, is
    // known; what follows the mark goes on to the chosen decoding.
    void FeedHead(std::string_view& piece);
    void Decide(bool atEnd);
    void FeedUtf16(std::string_view piece);
    void PutUtf16Unit(unsigned unit);
    void FeedBytes(std::string_view text);
    void TakeLine(std::string_view line);
    void TakePending();

    std::vector<std::string>& m_entries;
    std::string m_strPending;
    Encoding m_encoding = Encoding::Undecided;
    std::string m_strHead;
    // UTF-16 only: the first byte of a unit cut by a piece's end (or -1), a
    // high surrogate waiting for its low half, and the piece's text.
    int m_nOddByte = -1;
    bool m_bHighSurrogate = false;
    std::string m_strDecoded;
};

// Appends the entries of a whole text.
void SplitListText(std::string_view text, std::vector<std::string>& entries);

enum class ListReadResult { Read, NotOpened, ReadError };

// Reads pieces into `buffer`: the count read, 0 at the end, negative on error.
using ListPieceSource = std::function<std::ptrdiff_t(char* buffer, std::size_t capacity)>;

// Appends the entries of one source. A read error ends the reading and keeps
// the complete lines read before it.
ListReadResult ReadListEntries(const ListPieceSource& source, std::vector<std::string>& entries);
// The same for a file; a missing or unreadable file adds nothing.
ListReadResult ReadListFileEntries(const std::string& path, std::vector<std::string>& entries);

// Appends `entry` and "\n" in text mode, creating the file when missing.
// A file whose last line has no line end gets one first. A file that starts
// with a UTF-16 byte-order mark gets the line as UTF-16 of the same byte
// order (CR LF, non-ASCII bytes as '?'), so the entry reads back.
bool AppendListLine(const std::string& path, const std::string& entry);

// Replaces the file by one without the lines equal to `entry` (exactly, case
// and all), dropping blank lines and writing the kept lines trimmed, one "\n"
// each in text mode (a UTF-16 list thus becomes single-byte text, its
// entries as they were read); the new file is written beside it and moved over it
// only when whole. False, with the file untouched, when it cannot be read to
// its end, holds no such line, or the new file cannot be written whole.
bool RemoveListLine(const std::string& path, const std::string& entry);
