// Finding files by name or wildcard (FindFirstFileA and friends).
#pragma once

#include <windows.h>

#include <string>

#include "framework/handle.h"

class CFileFind {
public:
    CFileFind() = default;
    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;

    // True when something matches; the first match is then current only after
    // FindNextFile, as callers loop "while (more) { more = FindNextFile(); ... }".
    bool FindFile(const char* name = "*.*");
    // Makes the next match current; false when it is the last one.
    bool FindNextFile();
    void Close();

    std::string GetFileName() const;
    // The directory of the search followed by the current name.
    std::string GetFilePath() const;
    bool IsDirectory() const;
    bool IsDots() const;

private:
    UniqueFindHandle m_find;
    WIN32_FIND_DATAA m_next{};
    WIN32_FIND_DATAA m_current{};
    bool m_hasNext = false;
    bool m_hasCurrent = false;
    std::string m_root;
};
