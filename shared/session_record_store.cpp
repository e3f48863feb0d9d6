#include "shared/session_record_store.h"

#include <windows.h>

#include <shlobj.h>

#include <cstdio>
#include <utility>

#include "framework/handle.h"

namespace {

constexpr const char kFileName[] = "SavedProxySettings.dat";
constexpr const char kTempSuffix[] = ".tmp";
constexpr const char kSetAsideInfix[] = ".bad-";
// Set-aside names tried within one second before giving up.
constexpr unsigned kMaxSetAsideTries = 1000;

bool IsMissing(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Deletes the temporary file unless it became the record. Declared before the
// file's handle, so the handle is closed first and the delete can succeed.
class CTempFileGuard {
public:
    explicit CTempFileGuard(std::string path) : m_strPath(std::move(path)) {}
    ~CTempFileGuard() {
        if (!m_bKept) {
            ::DeleteFileA(m_strPath.c_str());
        }
    }
    CTempFileGuard(const CTempFileGuard&) = delete;
    CTempFileGuard& operator=(const CTempFileGuard&) = delete;
    void Keep() { m_bKept = true; }

private:
    std::string m_strPath;
    bool m_bKept = false;
};

std::string SetAsideStamp() {
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    char stamp[32];
    std::snprintf(stamp, sizeof stamp, "%04u%02u%02u-%02u%02u%02u", now.wYear, now.wMonth, now.wDay,
                  now.wHour, now.wMinute, now.wSecond);
    return stamp;
}

} // namespace

CSessionRecordStore::CSessionRecordStore(std::string folder) : m_strFolder(std::move(folder)) {}

std::string CSessionRecordStore::DefaultFolder() {
    try {
        char folder[MAX_PATH] = {};
        if (::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) !=
                S_OK ||
            folder[0] == '\0') {
            return {};
        }
        return std::string(folder) + "\\Sulvantix";
    } catch (...) {
        return {};
    }
}

std::string CSessionRecordStore::Path() const {
    try {
        if (m_strFolder.empty()) {
            return {};
        }
        const char last = m_strFolder.back();
        return m_strFolder + (last == '\\' || last == '/' ? "" : "\\") + kFileName;
    } catch (...) {
        return {};
    }
}

std::string CSessionRecordStore::TempPath() const {
    const std::string path = Path();
    return path.empty() ? path : path + kTempSuffix;
}

bool CSessionRecordStore::Write(const CSessionRecord& record) {
    try {
        const std::string bytes = FormatSessionRecord(record);
        const std::string path = Path();
        if (bytes.empty() || path.empty()) {
            return false;
        }
        if (!::CreateDirectoryA(m_strFolder.c_str(), nullptr)) {
            const DWORD error = ::GetLastError();
            if (error != ERROR_ALREADY_EXISTS) {
                return false;
            }
        }
        // A fixed temporary name: one left by a killed write is simply
        // overwritten by the next one instead of piling up.
        const std::string tempPath = TempPath();
        CTempFileGuard tempGuard(tempPath);
        UniqueHandle temp(::CreateFileA(tempPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!temp) {
            return false;
        }
        DWORD written = 0;
        if (!::WriteFile(temp.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                         nullptr) ||
            written != bytes.size() || !::FlushFileBuffers(temp.Get())) {
            return false;
        }
        // The move needs the file closed; the data is on disk already.
        temp.Reset();
        if (!::MoveFileExA(tempPath.c_str(), path.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return false;
        }
        tempGuard.Keep();
        return true;
    } catch (...) {
        return false;
    }
}

CSessionRecordStore::ReadResult CSessionRecordStore::Read(CSessionRecord& record) const {
    try {
        const std::string path = Path();
        if (path.empty()) {
            return ReadResult::None;
        }
        HANDLE raw = ::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                   OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD error = ::GetLastError();
        const UniqueHandle file(raw);
        if (!file) {
            return IsMissing(error) ? ReadResult::None : ReadResult::Corrupt;
        }
        // One byte more than a record may hold tells a too-long file apart.
        std::string bytes(kMaxSessionRecordBytes + 1, '\0');
        std::size_t total = 0;
        while (total < bytes.size()) {
            DWORD got = 0;
            if (!::ReadFile(file.Get(), &bytes[total], static_cast<DWORD>(bytes.size() - total),
                            &got, nullptr)) {
                return ReadResult::Corrupt;
            }
            if (got == 0) {
                break;
            }
            total += got;
        }
        bytes.resize(total);
        return ParseSessionRecord(bytes, record) ? ReadResult::Valid : ReadResult::Corrupt;
    } catch (...) {
        return ReadResult::Corrupt;
    }
}

bool CSessionRecordStore::Remove() {
    try {
        const std::string path = Path();
        if (path.empty()) {
            return false;
        }
        if (::DeleteFileA(path.c_str())) {
            return true;
        }
        const DWORD error = ::GetLastError();
        return IsMissing(error);
    } catch (...) {
        return false;
    }
}

bool CSessionRecordStore::SetAside() {
    try {
        const std::string path = Path();
        if (path.empty()) {
            return false;
        }
        const std::string stem = path + kSetAsideInfix + SetAsideStamp() + "-";
        for (unsigned n = 1; n <= kMaxSetAsideTries; ++n) {
            const std::string target = stem + std::to_string(n);
            // No MOVEFILE_REPLACE_EXISTING: an earlier set-aside file stays.
            if (::MoveFileExA(path.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) {
                return true;
            }
            const DWORD error = ::GetLastError();
            if (IsMissing(error)) {
                return true;
            }
            if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) {
                return false;
            }
        }
        return false;
    } catch (...) {
        return false;
    }
}
