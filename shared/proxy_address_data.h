// The proxy engine object both programs use: the liveness probe through one
// proxy, and the removal of an entry from a list file.
#pragma once

#include <atomic>
#include <string>

class CProxyAddressData {
public:
    CProxyAddressData();

    // Probe through "address:port". True when the test file came back as "OK".
    bool ProbeProxy(const std::string& address, int port);
    // Probe through a proxy text "address:port". 1 alive, 0 not alive.
    int ProbeProxyString(const std::string& proxy);
    // The same probe with its library calls on the calling thread and no
    // bound of its own, for a caller that bounds its workers itself and
    // gives up on one that overstays. `sendReturned`, when given, is set
    // once the request has been sent (a give-up before that is a time-out
    // of the send).
    int ProbeProxyStringOnThisThread(const std::string& proxy,
                                     std::atomic<bool>* sendReturned = nullptr);

    // Rewrites the list file without any line equal (exactly, case-sensitively)
    // to the entry. True when the file held the entry and was rewritten.
    bool RemoveLineFromFile(const std::string& path, const std::string& entry);

    // User-agent text of the probe; empty means the program's file name.
    std::string m_strUserAgent;
    // Hard bound of one probe; a probe still running then ends as "not alive".
    unsigned m_nProbeBoundMs;
};
