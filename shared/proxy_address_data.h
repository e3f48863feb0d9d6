// The proxy engine object both programs use: the liveness probe through one
// proxy, and the removal of an entry from a list file. On Windows it also
// saves, applies and restores the machine's proxy options for one use.
#pragma once

#include <atomic>
#include <string>

#include "shared/probe_rules.h"

#ifdef _WIN32
#include "shared/proxy_options.h"
#endif

class CProxyAddressData {
public:
    CProxyAddressData();
    virtual ~CProxyAddressData() = default;
    CProxyAddressData(const CProxyAddressData&) = delete;
    CProxyAddressData& operator=(const CProxyAddressData&) = delete;

    // Probe through "address:port". True when the test file came back as "OK".
    bool ProbeProxy(const std::string& address, int port);
    // Probe through a proxy text "address:port". 1 alive, 0 not alive.
    int ProbeProxyString(const std::string& proxy);
    // The same probe with its library calls on the calling thread, for a
    // caller that runs each probe on a worker of its own. The library's
    // time-outs (m_nProbeBoundMs) end a call waiting on a silent proxy, so the
    // call returns about then; a proxy that trickles its answer can hold it
    // longer, and the caller gives up on such a probe itself. `sendReturned`,
    // when given, is set once the request has been sent (a give-up before
    // that is a time-out of the send). `weight`, when given, tells what a
    // failure says of the proxy.
    int ProbeProxyStringOnThisThread(const std::string& proxy,
                                     std::atomic<bool>* sendReturned = nullptr,
                                     probe::FailureWeight* weight = nullptr);

    // Rewrites the list file without any line equal (exactly, case-sensitively)
    // to the entry. True when the file held the entry and was rewritten.
    bool RemoveLineFromFile(const std::string& path, const std::string& entry);

#ifdef _WIN32
    // The machine's options into this object's own list; the library's result.
    bool SaveProxyOptions();
    // Writes this object's saved list back, with no notification.
    bool RestoreProxyOptions();
    // Applies "address:port" as the machine's proxy (see ::ApplyProxy).
    bool ApplyProxy(const std::string& address, int port);

    // The library calls go through here (tests watch them).
    IInternetOptions* m_pInternetOptions;
    CSavedProxyOptions m_SavedOptions;
#endif

    // User-agent text of the probe; empty means the program's file name.
    std::string m_strUserAgent;
    // Hard bound of one probe; a probe still running then ends as "not alive".
    // Also the library's connect, send and receive time-outs of each probe.
    unsigned m_nProbeBoundMs;
};
