// List files: single-byte text, one entry a line, shared by both programs.
// Reading splits at line feeds, trims each line of white space (a carriage
// return before the line feed goes with the trimming) and skips blank lines.
//
// Entries are C strings everywhere else (list box items, proxy texts), so a
// NUL byte ends an entry: the rest of that line up to its line feed is dropped.
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
// linear in the text.
class CListLineSplitter {
public:
    explicit CListLineSplitter(std::vector<std::string>& entries) : m_entries(entries) {}
    CListLineSplitter(const CListLineSplitter&) = delete;
    CListLineSplitter& operator=(const CListLineSplitter&) = delete;

    void Feed(std::string_view piece);
    // The last line needs no line end.
    void Finish();
    // Forgets a partly read line (the reading of the file ended in an error).
    void DropPending() { m_strPending.clear(); }

private:
    void TakeLine(std::string_view line);

    std::vector<std::string>& m_entries;
    std::string m_strPending;
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
// A file whose last line has no line end gets one first.
bool AppendListLine(const std::string& path, const std::string& entry);

// Replaces the file by one without the lines equal to `entry` (exactly, case
// and all), dropping blank lines and writing the kept lines trimmed, one "\n"
// each in text mode; the new file is written beside it and moved over it
// only when whole. False, with the file untouched, when it cannot be read to
// its end, holds no such line, or the new file cannot be written whole.
bool RemoveListLine(const std::string& path, const std::string& entry);
