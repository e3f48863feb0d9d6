#include "shared/file_replace.h"

#include <unistd.h>

std::string ReplacementPath(const std::string& path) {
    return path + ".new";
}

bool FlushToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
}

bool ReplaceFileWith(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}
