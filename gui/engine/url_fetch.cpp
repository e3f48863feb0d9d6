#include "gui/engine/url_fetch.h"

#include <windows.h>
#include <wininet.h>

#include <vector>

#include "shared/build_urls.h"
#include "shared/probe_rules.h"

namespace {

const char* const kFetchAgent = "Sulvantix";
const char* const kYes = "YES";
const char* const kNo = "NO";
constexpr DWORD_PTR kFetchContext = 1;

class CInternetHandle {
public:
    explicit CInternetHandle(HINTERNET h) : m_h(h) {}
    ~CInternetHandle() {
        if (m_h != nullptr) {
            ::InternetCloseHandle(m_h);
        }
    }
    CInternetHandle(const CInternetHandle&) = delete;
    CInternetHandle& operator=(const CInternetHandle&) = delete;
    HINTERNET Get() const { return m_h; }

private:
    HINTERNET m_h;
};

// The local copy of the body; closed by its owner on every way out.
class CLocalFile {
public:
    CLocalFile() = default;
    ~CLocalFile() { Close(); }
    CLocalFile(const CLocalFile&) = delete;
    CLocalFile& operator=(const CLocalFile&) = delete;

    bool Create(const std::string& path) {
        Close();
        m_h = ::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
        return m_h != INVALID_HANDLE_VALUE;
    }
    bool Write(const char* data, DWORD size) {
        DWORD written = 0;
        return ::WriteFile(m_h, data, size, &written, nullptr) && written == size;
    }
    void Close() {
        if (m_h != INVALID_HANDLE_VALUE) {
            ::CloseHandle(m_h);
            m_h = INVALID_HANDLE_VALUE;
        }
    }

private:
    HANDLE m_h = INVALID_HANDLE_VALUE;
};

bool IsYes(const std::string& result) {
    return ::lstrcmpiA(result.c_str(), kYes) == 0;
}

// The HTTP status, where there is one, is 2xx. Other schemes have none.
bool IsSuccessStatus(HINTERNET file) {
    DWORD status = 0;
    DWORD length = sizeof status;
    if (!::HttpQueryInfoA(file, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &length,
                          nullptr)) {
        return true;
    }
    return status >= 200 && status < 300;
}

bool LibraryConnectedState() {
    DWORD flags = 0;
    return ::InternetGetConnectedState(&flags, 0) != FALSE;
}

} // namespace

std::string FetchUrl(const std::string& url, const std::string& localPath, bool save) {
    try {
        bool errorPage = false;
        // The machine's current settings: during a session the fetch goes through the proxy in
        // force.
        CInternetHandle session(
            ::InternetOpenA(kFetchAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
        if (session.Get() == nullptr) {
            return kYes;
        }
        CInternetHandle file(
            ::InternetOpenUrlA(session.Get(), url.c_str(), probe::kCloseConnectionHeader,
                               static_cast<DWORD>(-1), probe::kFetchUrlFlags, kFetchContext));
        if (file.Get() == nullptr) {
            return kYes;
        }
        // A server that answers with a failure status ("404 Not Found", a
        // proxy's "502 Bad Gateway") sends a page, not the file: taken as the
        // list, that page would replace the user's list.
        if (!IsSuccessStatus(file.Get())) {
            return kYes;
        }
        CLocalFile local;
        if (save && !local.Create(localPath)) {
            return kYes;
        }
        std::vector<char> chunk(probe::kFetchChunkSize);
        for (;;) {
            DWORD read = 0;
            if (!::InternetReadFile(file.Get(), chunk.data(), static_cast<DWORD>(chunk.size()),
                                    &read)) {
                return kYes;
            }
            if (read == 0) {
                return errorPage ? kYes : kNo;
            }
            if (probe::IsErrorPageChunk(chunk.data(), read)) {
                errorPage = true;
                if (save) {
                    // What came before the error chunk stays in the file.
                    return kYes;
                }
                continue;
            }
            if (save && !local.Write(chunk.data(), read)) {
                return kYes;
            }
        }
    } catch (...) {
        return kYes;
    }
}

bool IsNetworkAvailable() {
    return IsNetworkAvailable(BuildTestUrl());
}

bool IsNetworkAvailable(const std::string& testUrl) {
    return IsNetworkAvailable(testUrl, &LibraryConnectedState);
}

bool IsNetworkAvailable(const std::string& testUrl, ConnectedStateQuery connectedState) {
    try {
        if (IsYes(FetchUrl(testUrl, std::string(), false))) {
            return false;
        }
        return connectedState != nullptr && connectedState();
    } catch (...) {
        return false;
    }
}
