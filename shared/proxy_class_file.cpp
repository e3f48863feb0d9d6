#include "shared/proxy_class_file.h"

#include <cctype>
#include <cstdio>
#include <memory>

const char* const kProxyClassFile = "Proxyclass.txt";

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

const char* const kClassNames[] = {"transparent", "anonymous", "elite", "unknown"};

bool IsKnownClass(std::string_view name) {
    for (const char* known : kClassNames) {
        if (name == known) {
            return true;
        }
    }
    return false;
}

// Whole decimal digits that fit an unsigned long.
bool ParseMilliseconds(std::string_view text, unsigned long& value) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    unsigned long result = 0;
    for (char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)) == 0) {
            return false;
        }
        result = result * 10 + static_cast<unsigned long>(c - '0');
    }
    value = result;
    return true;
}

// "<entry> <class> <ms>" split at its last two spaces, so the entry is taken
// as it stands.
bool ParseLine(std::string_view line, std::string_view& entry, CProxyClass& parsed) {
    const std::size_t msSpace = line.rfind(' ');
    if (msSpace == std::string_view::npos || msSpace == 0) {
        return false;
    }
    const std::size_t classSpace = line.rfind(' ', msSpace - 1);
    if (classSpace == std::string_view::npos || classSpace == 0) {
        return false;
    }
    const std::string_view className = line.substr(classSpace + 1, msSpace - classSpace - 1);
    if (!IsKnownClass(className) ||
        !ParseMilliseconds(line.substr(msSpace + 1), parsed.m_nRoundTripMs)) {
        return false;
    }
    parsed.m_strClass = std::string(className);
    entry = line.substr(0, classSpace);
    return true;
}

} // namespace

std::string ProxyClassLine(const std::string& entry, const char* className,
                           unsigned long roundTripMs) {
    return entry + ' ' + className + ' ' + std::to_string(roundTripMs);
}

std::optional<CProxyClass> FindProxyClass(std::string_view fileText, std::string_view entry) {
    if (fileText.size() > kMaxProxyClassFileBytes || entry.empty()) {
        return std::nullopt;
    }
    std::optional<CProxyClass> found;
    while (!fileText.empty()) {
        const std::size_t end = fileText.find('\n');
        std::string_view line = fileText.substr(0, end);
        fileText.remove_prefix(end == std::string_view::npos ? fileText.size() : end + 1);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        // A line names the entry when the entry is its first field, or all of
        // it (a line that lost its fields). A garbled line that names the
        // entry spoils what came before it.
        if (line.compare(0, entry.size(), entry) != 0 ||
            (line.size() > entry.size() && line[entry.size()] != ' ')) {
            continue;
        }
        std::string_view named;
        CProxyClass parsed;
        if (ParseLine(line, named, parsed) && named == entry) {
            found = std::move(parsed);
        } else {
            found.reset();
        }
    }
    return found;
}

std::optional<CProxyClass> ReadProxyClass(const std::string& path, std::string_view entry) {
    try {
        const std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
        if (!file) {
            return std::nullopt;
        }
        // One byte past the bound tells an oversized file from one that fits.
        std::string text(kMaxProxyClassFileBytes + 1, '\0');
        std::size_t size = 0;
        while (size < text.size()) {
            const std::size_t count = std::fread(&text[size], 1, text.size() - size, file.get());
            if (count == 0) {
                break;
            }
            size += count;
        }
        if (std::ferror(file.get()) != 0) {
            return std::nullopt;
        }
        text.resize(size);
        return FindProxyClass(text, entry);
    } catch (...) {
        return std::nullopt;
    }
}
