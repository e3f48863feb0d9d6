#include "list_lines.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <utility>

#include "file_replace.h"

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

// A list edited by hand often lacks the final line end; appending to it
// as it stands would glue the new entry onto its last entry.
bool EndsInsideALine(const std::string& path) {
    UniqueFile file(std::fopen(path.c_str(), "rb"));
    if (!file || std::fseek(file.get(), -1, SEEK_END) != 0) {
        return false;
    }
    return std::fgetc(file.get()) != '\n';
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
    if (const void* nul = std::memchr(line.data(), '\0', line.size())) {
        line =
            line.substr(0, static_cast<std::size_t>(static_cast<const char*>(nul) - line.data()));
    }
    line = TrimListText(line);
    if (!line.empty()) {
        m_entries.emplace_back(line);
    }
}

void CListLineSplitter::Feed(std::string_view piece) {
    while (!piece.empty()) {
        const void* lf = std::memchr(piece.data(), '\n', piece.size());
        if (lf == nullptr) {
            m_strPending.append(piece);
            return;
        }
        const auto length = static_cast<std::size_t>(static_cast<const char*>(lf) - piece.data());
        if (m_strPending.empty()) {
            TakeLine(piece.substr(0, length));
        } else {
            m_strPending.append(piece.data(), length);
            TakeLine(m_strPending);
            m_strPending.clear();
        }
        piece.remove_prefix(length + 1);
    }
}

void CListLineSplitter::Finish() {
    if (!m_strPending.empty()) {
        TakeLine(m_strPending);
        m_strPending.clear();
    }
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
    const bool startLine = EndsInsideALine(path);
    UniqueFile file(std::fopen(path.c_str(), "a"));
    if (!file) {
        return false;
    }
    const bool written =
        (!startLine || std::fputc('\n', file.get()) != EOF) && WriteLine(file.get(), entry);
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
        for (const std::string& line : lines) {
            if (!WriteLine(file.get(), line)) {
                written = false;
                break;
            }
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
