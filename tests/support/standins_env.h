// Where the loopback stand-ins keep their state, for Win32 tests under Wine.
#pragma once

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace standins_env {

// The unix state folder from SULVANTIX_STANDINS_DIR; empty when unset.
inline std::string UnixStateDir() {
    const char* dir = std::getenv("SULVANTIX_STANDINS_DIR");
    return dir != nullptr ? std::string(dir) : std::string();
}

// A unix path as a Windows program under Wine reaches it: "Z:" and backslashes.
inline std::string WinePath(const std::string& unixPath) {
    std::string path = "Z:" + unixPath;
    for (char& c : path) {
        if (c == '/') {
            c = '\\';
        }
    }
    return path;
}

// "<state>\name" as a Windows path.
inline std::string StatePath(const std::string& name) {
    return WinePath(UnixStateDir() + "/" + name);
}

// The request heads one stand-in port has logged so far, oldest first; each
// is its request line followed by its header lines.
inline std::vector<std::vector<std::string>> LoggedRequests(int port) {
    std::vector<std::vector<std::string>> requests;
    std::ifstream in(StatePath("requests-" + std::to_string(port) + ".log"), std::ios::binary);
    std::vector<std::string> current;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (line.empty()) {
            if (!current.empty()) {
                requests.push_back(current);
                current.clear();
            }
            continue;
        }
        current.push_back(line);
    }
    return requests;
}

} // namespace standins_env
