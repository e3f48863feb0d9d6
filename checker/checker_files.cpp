#include "checker/checker_files.h"

#include "shared/list_lines.h"

const char* const kVettorListFile = "Vettorlist.txt";
const char* const kUserProxyFile = "Userproxy.txt";
const char* const kLiveListFile = "proxylist.txt";
const char* const kDeadListFile = "Invalidproxylist.txt";
const char* const kTransparentListFile = "Transparentproxylist.txt";

std::string DirectoryOfModulePath(const std::string& modulePath) {
    const std::size_t slash = modulePath.find_last_of('\\');
    return slash == std::string::npos ? std::string() : modulePath.substr(0, slash + 1);
}

std::string ListPath(const std::string& directory, const char* name) {
    if (directory.empty()) {
        return std::string();
    }
    return directory.back() == '\\' ? directory + name : directory + '\\' + name;
}

void LoadRunEntries(const std::string& vettorListPath, const std::string& userProxyPath,
                    std::vector<std::string>& entries) {
    try {
        for (const std::string* path : {&vettorListPath, &userProxyPath}) {
            if (ReadListFileEntries(*path, entries) == ListReadResult::ReadError) {
                return;
            }
        }
    } catch (...) {
        // Out of memory: the entries read so far make the run.
    }
}
