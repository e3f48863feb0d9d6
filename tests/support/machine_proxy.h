// The machine's proxy options as every WinINet program of the prefix sees
// them (InternetQueryOptionA, per-connection options of the LAN connection):
// read, set, kept and put back, and watched while a session rotates.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "framework/handle.h"

struct CMachineProxy {
    bool m_bRead = false;
    DWORD m_dwFlags = 0;
    bool m_bHasServer = false;
    std::string m_strServer;
    bool m_bHasBypass = false;
    std::string m_strBypass;
};

CMachineProxy QueryMachineProxy();
// Flags and server (null: none); the bypass only when given. Wine keeps no
// bypass and reads flags 3 back as 2.
bool SetMachineProxy(DWORD flags, const char* server, const char* bypass = nullptr);
// What the machine's traffic goes through: the server while the proxy flag is
// on, else "direct". Only the proxy flag is asked, since Wine drops the direct
// flag beside it.
std::string ProxyLabel(const CMachineProxy& proxy);
inline std::string MachineProxyLabel() {
    return ProxyLabel(QueryMachineProxy());
}

// The prefix's own settings, put back when the guard goes.
class CMachineProxyGuard {
public:
    CMachineProxyGuard() : m_saved(QueryMachineProxy()) {}
    ~CMachineProxyGuard();
    CMachineProxyGuard(const CMachineProxyGuard&) = delete;
    CMachineProxyGuard& operator=(const CMachineProxyGuard&) = delete;

private:
    const CMachineProxy m_saved;
};

// Reads the machine's proxy every 100 ms on a thread of its own and keeps each
// change of ProxyLabel with the tick it was first seen; the first entry is the
// label at the start.
class CProxyWatcher {
public:
    struct CChange {
        DWORD m_nTick;
        std::string m_strLabel;
    };

    CProxyWatcher();
    ~CProxyWatcher();
    CProxyWatcher(const CProxyWatcher&) = delete;
    CProxyWatcher& operator=(const CProxyWatcher&) = delete;

    std::vector<CChange> Changes() const;
    std::vector<std::string> Labels() const;
    // True once `count` labels (the first included) have been seen.
    bool WaitForLabels(std::size_t count, DWORD timeoutMs) const;

private:
    void Watch();

    mutable std::mutex m_mutex;
    std::vector<CChange> m_changes;
    UniqueHandle m_hStop;
    std::thread m_thread;
};
