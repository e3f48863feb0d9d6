#include "framework/module_paths.h"

#include <vector>

namespace {

// Longest path Windows hands out (the "\\?\" form).
constexpr DWORD kLongestPath = 32768;

} // namespace

std::string GetModuleFilePath(HMODULE module) {
    try {
        std::vector<char> path(MAX_PATH + 1);
        for (;;) {
            const DWORD size = static_cast<DWORD>(path.size());
            const DWORD length = ::GetModuleFileNameA(module, path.data(), size);
            if (length == 0) {
                return std::string();
            }
            // A full buffer means the path was cut (and, before Vista, not terminated).
            if (length < size) {
                return std::string(path.data(), length);
            }
            if (size >= kLongestPath) {
                return std::string();
            }
            path.resize(static_cast<std::size_t>(size) * 2);
        }
    } catch (...) {
        return std::string();
    }
}

std::string GetProgramDirectory() {
    const std::string path = GetModuleFilePath();
    const std::string::size_type slash = path.find_last_of('\\');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string GetSystemDirectoryPath() {
    try {
        char buffer[MAX_PATH + 1] = {};
        const UINT length = ::GetSystemDirectoryA(buffer, sizeof buffer);
        if (length == 0) {
            return std::string();
        }
        if (length < sizeof buffer) {
            return std::string(buffer, length);
        }
        // Too small: the answer is the size needed, terminator included.
        std::string path(length, '\0');
        const UINT written = ::GetSystemDirectoryA(path.data(), length);
        if (written == 0 || written >= length) {
            return std::string();
        }
        path.resize(written);
        return path;
    } catch (...) {
        return std::string();
    }
}
