#include "framework/filefind.h"

#include <cstring>

bool CFileFind::FindFile(const char* name) {
    Close();
    if (name == nullptr) {
        name = "*.*";
    }
    m_find.Reset(::FindFirstFileA(name, &m_next));
    if (!m_find) {
        return false;
    }
    m_hasNext = true;
    std::string pattern(name);
    std::string::size_type slash = pattern.find_last_of("\\/");
    m_root = slash == std::string::npos ? std::string() : pattern.substr(0, slash + 1);
    return true;
}

bool CFileFind::FindNextFile() {
    if (!m_hasNext) {
        return false;
    }
    m_current = m_next;
    m_hasCurrent = true;
    m_hasNext = ::FindNextFileA(m_find.Get(), &m_next) != FALSE;
    return m_hasNext;
}

void CFileFind::Close() {
    m_find.Reset();
    m_hasNext = false;
    m_hasCurrent = false;
    m_root.clear();
}

std::string CFileFind::GetFileName() const {
    if (!m_hasCurrent) {
        return std::string();
    }
    // cFileName is terminated by the system; strnlen keeps us inside it anyway.
    return std::string(m_current.cFileName, strnlen(m_current.cFileName, MAX_PATH));
}

std::string CFileFind::GetFilePath() const {
    return m_hasCurrent ? m_root + GetFileName() : std::string();
}

bool CFileFind::IsDirectory() const {
    return m_hasCurrent && (m_current.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool CFileFind::IsDots() const {
    std::string name = GetFileName();
    return IsDirectory() && (name == "." || name == "..");
}
