// The record of every request a stand-in receives, one file per port, so
// tests can see exactly what a client sent.
#pragma once

#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace standins {

// "<state_dir>/requests-<port>.log"
std::string RequestLogPath(std::string_view state_dir, int port);

// One block: each line followed by "\n", then an empty line.
std::string FormatLogBlock(const std::vector<std::string>& lines);

class CRequestLog {
public:
    explicit CRequestLog(std::string path) : m_strPath(std::move(path)) {}
    CRequestLog(const CRequestLog&) = delete;
    CRequestLog& operator=(const CRequestLog&) = delete;

    // Appends one block; the file is closed again at once, so a reader sees
    // the block as soon as this returns.
    bool Append(const std::vector<std::string>& lines);

    const std::string& Path() const { return m_strPath; }

private:
    std::mutex m_mutex;
    std::string m_strPath;
};

} // namespace standins
