#include "checker_paths.h"

#include <windows.h>

#include "checker_files.h"

std::string ModulePath() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(nullptr, path, sizeof path);
    // A full buffer means the path was cut short.
    if (length == 0 || length >= sizeof path) {
        return std::string();
    }
    return std::string(path, length);
}

std::string OwnDirectory() {
    return DirectoryOfModulePath(ModulePath());
}

std::string SystemDirectory() {
    char path[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(path, sizeof path);
    if (length == 0 || length >= sizeof path) {
        return std::string();
    }
    return std::string(path, length) + "\\";
}
