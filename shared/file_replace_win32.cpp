#include "shared/file_replace.h"

#include <windows.h>
#include <io.h>

std::string ReplacementPath(const std::string& path) {
    return path + ".new";
}

bool FlushToDisk(std::FILE* file) {
    return std::fflush(file) == 0 && ::_commit(::_fileno(file)) == 0;
}

bool ReplaceFileWith(const std::string& from, const std::string& to) {
    // The C library's rename refuses an existing target on Windows.
    return ::MoveFileExA(from.c_str(), to.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}
