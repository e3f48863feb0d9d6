// The machine's per-connection proxy options of the default (LAN) connection:
// saving the user's seven, applying one proxy, putting the saved ones back.
// Every library call goes through IInternetOptions, so tests can watch what
// the program asked for beside what the library kept.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

class IInternetOptions {
public:
    virtual ~IInternetOptions() = default;
    virtual BOOL QueryOption(HINTERNET handle, DWORD option, void* buffer, DWORD* length) = 0;
    virtual BOOL SetOption(HINTERNET handle, DWORD option, void* buffer, DWORD length) = 0;
    virtual BOOL GetConnectedState(DWORD* flags) = 0;
};

// WinINet itself.
IInternetOptions& SystemInternetOptions();

// The seven saved options, in the order they are queried and written back.
inline constexpr DWORD kSavedOptionIds[] = {INTERNET_PER_CONN_AUTODISCOVERY_FLAGS,
                                            INTERNET_PER_CONN_AUTOCONFIG_URL,
                                            INTERNET_PER_CONN_FLAGS,
                                            INTERNET_PER_CONN_PROXY_BYPASS,
                                            INTERNET_PER_CONN_PROXY_SERVER,
                                            INTERNET_PER_CONN_AUTOCONFIG_SECONDARY_URL,
                                            INTERNET_PER_CONN_AUTOCONFIG_RELOAD_DELAY_MINS};
inline constexpr int kSavedOptionCount = 7;
bool IsTextOption(DWORD option);

// A saved list: the list record, its seven option records and the buffer
// length. It owns the texts the library handed out on the query and frees
// them (GlobalFree) when released, replaced or destroyed.
class CSavedProxyOptions {
public:
    CSavedProxyOptions();
    ~CSavedProxyOptions();
    CSavedProxyOptions(const CSavedProxyOptions&) = delete;
    CSavedProxyOptions& operator=(const CSavedProxyOptions&) = delete;

    // Fills the list as a query expects it (identifiers in order, texts none).
    void Prepare();
    void Release();
    bool IsSaved() const { return m_bSaved; }

    // Takes a text of our own (a recovered record's) for option `index`;
    // false when out of memory.
    bool SetText(int index, const char* text);

    INTERNET_PER_CONN_OPTION_LISTA m_list;
    INTERNET_PER_CONN_OPTIONA m_options[kSavedOptionCount];
    DWORD m_dwBufferLength;
    bool m_bSaved = false;
};

// InternetQueryOptionA of the seven options into `saved` (released first).
// The library's result.
bool SaveProxyOptions(IInternetOptions& api, CSavedProxyOptions& saved);
// InternetSetOptionA of the saved list as it stands; no notifications follow.
bool RestoreProxyOptions(IInternetOptions& api, const CSavedProxyOptions& saved);

// The longest proxy text the options take: a 260-character buffer.
inline constexpr std::size_t kLongestProxyText = 259;
// Applies "address:port" with flags 3 and bypass "<local>", then tells the
// library the settings changed (refresh, then settings changed). False, with
// nothing sent after it, when the set fails or the text is too long to apply
// whole.
bool ApplyProxy(IInternetOptions& api, const std::string& address, int port);

// What the machine uses now: flags and proxy server text.
struct CCurrentProxyQuery {
    bool m_bRead = false;
    DWORD m_dwFlags = 0;
    bool m_bHasServer = false;
    std::string m_strServer;
};
CCurrentProxyQuery QueryCurrentProxy(IInternetOptions& api);
