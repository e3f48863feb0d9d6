#include "shared/proxy_options.h"

#include <cstring>

#include "shared/probe_rules.h"

namespace {

class CWinInetOptions : public IInternetOptions {
public:
    BOOL QueryOption(HINTERNET handle, DWORD option, void* buffer, DWORD* length) override {
        return ::InternetQueryOptionA(handle, option, buffer, length);
    }
    BOOL SetOption(HINTERNET handle, DWORD option, void* buffer, DWORD length) override {
        return ::InternetSetOptionA(handle, option, buffer, length);
    }
    BOOL GetConnectedState(DWORD* flags) override { return ::InternetGetConnectedState(flags, 0); }
};

void FreeText(INTERNET_PER_CONN_OPTIONA& option) {
    if (IsTextOption(option.dwOption) && option.Value.pszValue != nullptr) {
        ::GlobalFree(option.Value.pszValue);
        option.Value.pszValue = nullptr;
    }
}

// The list record for `count` options; the size field is the record's own size.
void FillListHeader(INTERNET_PER_CONN_OPTION_LISTA& list, INTERNET_PER_CONN_OPTIONA* options,
                    DWORD count) {
    list.dwSize = sizeof(INTERNET_PER_CONN_OPTION_LISTA);
    list.pszConnection = nullptr; // the default (LAN) connection
    list.dwOptionCount = count;
    list.dwOptionError = 0;
    list.pOptions = options;
}

} // namespace

#ifndef _WIN64
static_assert(sizeof(INTERNET_PER_CONN_OPTION_LISTA) == 20, "the 32-bit option list is 20 bytes");
#endif

IInternetOptions& SystemInternetOptions() {
    static CWinInetOptions api;
    return api;
}

bool IsTextOption(DWORD option) {
    return option == INTERNET_PER_CONN_AUTOCONFIG_URL || option == INTERNET_PER_CONN_PROXY_BYPASS ||
           option == INTERNET_PER_CONN_PROXY_SERVER ||
           option == INTERNET_PER_CONN_AUTOCONFIG_SECONDARY_URL;
}

CSavedProxyOptions::CSavedProxyOptions() : m_list{}, m_options{}, m_dwBufferLength(0) {
    Prepare();
}

CSavedProxyOptions::~CSavedProxyOptions() {
    Release();
}

void CSavedProxyOptions::Prepare() {
    Release();
    for (int i = 0; i < kSavedOptionCount; ++i) {
        m_options[i] = INTERNET_PER_CONN_OPTIONA{};
        m_options[i].dwOption = kSavedOptionIds[i];
    }
    FillListHeader(m_list, m_options, kSavedOptionCount);
    m_dwBufferLength = sizeof(INTERNET_PER_CONN_OPTION_LISTA);
}

void CSavedProxyOptions::Release() {
    for (INTERNET_PER_CONN_OPTIONA& option : m_options) {
        FreeText(option);
    }
    m_bSaved = false;
}

bool CSavedProxyOptions::SetText(int index, const char* text) {
    if (index < 0 || index >= kSavedOptionCount || !IsTextOption(m_options[index].dwOption)) {
        return false;
    }
    FreeText(m_options[index]);
    if (text == nullptr) {
        return true;
    }
    const std::size_t bytes = std::strlen(text) + 1;
    char* copy = static_cast<char*>(::GlobalAlloc(GMEM_FIXED, bytes));
    if (copy == nullptr) {
        return false;
    }
    std::memcpy(copy, text, bytes);
    m_options[index].Value.pszValue = copy;
    return true;
}

bool SaveProxyOptions(IInternetOptions& api, CSavedProxyOptions& saved) {
    saved.Prepare();
    const BOOL ok = api.QueryOption(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &saved.m_list,
                                    &saved.m_dwBufferLength);
    saved.m_bSaved = ok != FALSE;
    return saved.m_bSaved;
}

bool RestoreProxyOptions(IInternetOptions& api, const CSavedProxyOptions& saved) {
    // A list whose query failed holds no settings: written back, it would
    // turn every option of the user's off.
    if (!saved.IsSaved()) {
        return false;
    }
    // The library reads the list and does not keep it; the cast only meets its signature.
    auto& list = const_cast<INTERNET_PER_CONN_OPTION_LISTA&>(saved.m_list);
    return api.SetOption(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list,
                         saved.m_dwBufferLength) != FALSE;
}

bool ApplyProxy(IInternetOptions& api, const std::string& address, int port) {
    const std::string proxy = probe::ProxyText(address, port);
    if (proxy.size() > kLongestProxyText) {
        return false;
    }
    char server[kLongestProxyText + 1] = {};
    std::memcpy(server, proxy.c_str(), proxy.size() + 1);
    char bypass[] = "<local>";

    INTERNET_PER_CONN_OPTIONA options[3] = {};
    options[0].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
    options[0].Value.pszValue = server;
    options[1].dwOption = INTERNET_PER_CONN_FLAGS;
    options[1].Value.dwValue = PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY;
    options[2].dwOption = INTERNET_PER_CONN_PROXY_BYPASS;
    options[2].Value.pszValue = bypass;
    INTERNET_PER_CONN_OPTION_LISTA list = {};
    FillListHeader(list, options, 3);

    if (!api.SetOption(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, sizeof list)) {
        return false;
    }
    // Answers ignored: Wine's refresh answers FALSE though nothing failed.
    api.SetOption(nullptr, INTERNET_OPTION_REFRESH, nullptr, 0);
    api.SetOption(nullptr, INTERNET_OPTION_SETTINGS_CHANGED, nullptr, 0);
    return true;
}

CCurrentProxyQuery QueryCurrentProxy(IInternetOptions& api) {
    CCurrentProxyQuery current;
    INTERNET_PER_CONN_OPTIONA options[2] = {};
    options[0].dwOption = INTERNET_PER_CONN_FLAGS;
    options[1].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
    INTERNET_PER_CONN_OPTION_LISTA list = {};
    FillListHeader(list, options, 2);
    DWORD length = sizeof list;
    if (!api.QueryOption(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, &length)) {
        return current;
    }
    current.m_bRead = true;
    current.m_dwFlags = options[0].Value.dwValue;
    if (options[1].Value.pszValue != nullptr) {
        current.m_bHasServer = true;
        try {
            current.m_strServer = options[1].Value.pszValue;
        } catch (...) {
            current.m_bRead = false;
        }
    }
    FreeText(options[1]);
    return current;
}
