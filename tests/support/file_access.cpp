#include "tests/support/file_access.h"

#include <cstdio>

#include "framework/handle.h"
#include "tests/support/message_pump.h"

std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char buffer[4096];
        std::size_t count;
        while ((count = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            bytes.append(buffer, count);
        }
        std::fclose(file);
    }
    return bytes;
}

bool WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

bool FileExists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> TextLines(const std::string& bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        end = end == std::string::npos ? bytes.size() : end;
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (!line.empty()) {
            lines.push_back(line);
        }
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> FolderNames(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const UniqueFindHandle search(::FindFirstFileA((folder + "\\*").c_str(), &found));
    if (!search) {
        return names;
    }
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    } while (::FindNextFileA(search.Get(), &found));
    return names;
}

bool WaitForFile(const std::string& path, DWORD timeoutMs) {
    return PumpMessagesUntil([&] { return FileExists(path); }, timeoutMs);
}

bool WaitForFileGone(const std::string& path, DWORD timeoutMs) {
    return PumpMessagesUntil([&] { return !FileExists(path); }, timeoutMs);
}
