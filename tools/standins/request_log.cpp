#include "tools/standins/request_log.h"

#include <cstdio>

namespace standins {

std::string RequestLogPath(std::string_view state_dir, int port) {
    std::string path(state_dir);
    if (path.empty()) {
        path = ".";
    }
    if (path.back() != '/') {
        path += '/';
    }
    return path + "requests-" + std::to_string(port) + ".log";
}

std::string FormatLogBlock(const std::vector<std::string>& lines) {
    std::string block;
    for (const std::string& line : lines) {
        block += line;
        block += '\n';
    }
    block += '\n';
    return block;
}

bool CRequestLog::Append(const std::vector<std::string>& lines) {
    const std::string block = FormatLogBlock(lines);
    const std::lock_guard<std::mutex> lock(m_mutex);
    std::FILE* file = std::fopen(m_strPath.c_str(), "ab");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(block.data(), 1, block.size(), file) == block.size();
    const bool closed = std::fclose(file) == 0;
    return written && closed;
}

} // namespace standins
