// A fresh folder for one test's list files, removed with everything in it.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

class CScratchDir {
public:
    CScratchDir() {
        static std::atomic<unsigned> counter{0};
        std::random_device random;
        const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        m_path = std::filesystem::temp_directory_path() /
                 ("sulvantix-lists-" + std::to_string(stamp) + "-" + std::to_string(random()) +
                  "-" + std::to_string(counter++));
        std::filesystem::create_directories(m_path);
    }
    ~CScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    CScratchDir(const CScratchDir&) = delete;
    CScratchDir& operator=(const CScratchDir&) = delete;

    std::string Path() const { return m_path.string(); }
    std::string File(const std::string& name) const { return (m_path / name).string(); }

    std::string Write(const std::string& name, const std::string& bytes) const {
        const std::string path = File(name);
        if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
            std::fwrite(bytes.data(), 1, bytes.size(), file);
            std::fclose(file);
        }
        return path;
    }

    static std::string Read(const std::string& path) {
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

private:
    std::filesystem::path m_path;
};

// What one "\n" written in text mode becomes on disk.
#ifdef _WIN32
inline constexpr const char* kTextLineEnd = "\r\n";
#else
inline constexpr const char* kTextLineEnd = "\n";
#endif
