#include "tests/support/machine_proxy.h"

#include <wininet.h>

#include "tests/support/message_pump.h"

namespace {

constexpr DWORD kWatchStepMs = 100;

// Takes a text the library allocated for the caller, and frees it.
void TakeText(const INTERNET_PER_CONN_OPTIONA& option, bool& has, std::string& text) {
    has = option.Value.pszValue != nullptr;
    if (has) {
        text = option.Value.pszValue;
        ::GlobalFree(option.Value.pszValue);
    }
}

} // namespace

CMachineProxy QueryMachineProxy() {
    INTERNET_PER_CONN_OPTIONA options[3] = {};
    options[0].dwOption = INTERNET_PER_CONN_FLAGS;
    options[1].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
    options[2].dwOption = INTERNET_PER_CONN_PROXY_BYPASS;
    INTERNET_PER_CONN_OPTION_LISTA list = {};
    list.dwSize = sizeof list;
    list.dwOptionCount = 3;
    list.pOptions = options;
    DWORD size = sizeof list;
    CMachineProxy proxy;
    if (!::InternetQueryOptionA(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list, &size)) {
        return proxy;
    }
    proxy.m_bRead = true;
    proxy.m_dwFlags = options[0].Value.dwValue;
    TakeText(options[1], proxy.m_bHasServer, proxy.m_strServer);
    TakeText(options[2], proxy.m_bHasBypass, proxy.m_strBypass);
    return proxy;
}

bool SetMachineProxy(DWORD flags, const char* server, const char* bypass) {
    INTERNET_PER_CONN_OPTIONA options[3] = {};
    options[0].dwOption = INTERNET_PER_CONN_FLAGS;
    options[0].Value.dwValue = flags;
    options[1].dwOption = INTERNET_PER_CONN_PROXY_SERVER;
    options[1].Value.pszValue = const_cast<char*>(server);
    options[2].dwOption = INTERNET_PER_CONN_PROXY_BYPASS;
    options[2].Value.pszValue = const_cast<char*>(bypass);
    INTERNET_PER_CONN_OPTION_LISTA list = {};
    list.dwSize = sizeof list;
    list.dwOptionCount = bypass != nullptr ? 3 : 2;
    list.pOptions = options;
    return ::InternetSetOptionA(nullptr, INTERNET_OPTION_PER_CONNECTION_OPTION, &list,
                                sizeof list) != FALSE;
}

std::string ProxyLabel(const CMachineProxy& proxy) {
    if (!proxy.m_bRead) {
        return "unreadable";
    }
    if ((proxy.m_dwFlags & PROXY_TYPE_PROXY) != 0 && proxy.m_bHasServer) {
        return proxy.m_strServer;
    }
    return "direct";
}

CMachineProxyGuard::~CMachineProxyGuard() {
    if (m_saved.m_bRead) {
        SetMachineProxy(m_saved.m_dwFlags,
                        m_saved.m_bHasServer ? m_saved.m_strServer.c_str() : nullptr,
                        m_saved.m_bHasBypass ? m_saved.m_strBypass.c_str() : nullptr);
    }
}

CProxyWatcher::CProxyWatcher() : m_hStop(::CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    m_changes.push_back({::GetTickCount(), MachineProxyLabel()});
    if (m_hStop) {
        m_thread = std::thread([this] { Watch(); });
    }
}

CProxyWatcher::~CProxyWatcher() {
    if (m_thread.joinable()) {
        ::SetEvent(m_hStop.Get());
        m_thread.join();
    }
}

void CProxyWatcher::Watch() {
    while (::WaitForSingleObject(m_hStop.Get(), kWatchStepMs) == WAIT_TIMEOUT) {
        const std::string label = MachineProxyLabel();
        const DWORD tick = ::GetTickCount();
        std::lock_guard<std::mutex> lock(m_mutex);
        if (label != m_changes.back().m_strLabel) {
            m_changes.push_back({tick, label});
        }
    }
}

std::vector<CProxyWatcher::CChange> CProxyWatcher::Changes() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_changes;
}

std::vector<std::string> CProxyWatcher::Labels() const {
    std::vector<std::string> labels;
    for (const CChange& change : Changes()) {
        labels.push_back(change.m_strLabel);
    }
    return labels;
}

bool CProxyWatcher::WaitForLabels(std::size_t count, DWORD timeoutMs) const {
    return PumpMessagesUntil([&] { return Changes().size() >= count; }, timeoutMs);
}
