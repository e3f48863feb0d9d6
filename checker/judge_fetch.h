// The checker's exchanges with the update server's judge over a plain socket:
// once directly, to learn how the world sees this machine, and once through
// each proxy, to see what the proxy gives away. The request through a proxy
// goes out beside the probe of the test file, so a slow proxy costs one wait,
// not two; its answer is read only once the probe found the proxy alive. Every
// wait is bounded in time, and the answer in bytes, whatever comes back.
#pragma once

// clang-format off
#include <winsock2.h>
#include <windows.h>
// clang-format on

#include <string>
#include <vector>

struct CJudgeAnswer {
    bool m_bSent = false; // the request went out
    int m_nError = 0;     // the socket error when something failed
    unsigned long m_nStatus = 0;
    std::string m_strBody; // at most the page bound
    bool m_bWhole = false; // a whole answer came within the bounds
};

// A fresh token for one fetch: 128 random bits as hex; empty when the system
// has no randomness to give.
std::string FreshJudgeToken();

class CJudgeExchange {
public:
    CJudgeExchange() = default;
    ~CJudgeExchange();
    CJudgeExchange(const CJudgeExchange&) = delete;
    CJudgeExchange& operator=(const CJudgeExchange&) = delete;

    // Connects to `proxy` ("address:port"), or to the judge itself when it is
    // empty, waiting at most `connectMs`, and sends the request. False when
    // the request could not go out in that time; Send may be tried again.
    bool Send(const std::string& proxy, const std::string& token, const std::string& userAgent,
              DWORD connectMs);
    bool Sent() const { return m_bSent; }
    // The token of the request sent last.
    const std::string& Token() const { return m_strToken; }

    // Reads the answer to the request sent, for at most `boundMs`.
    CJudgeAnswer Receive(DWORD boundMs);

private:
    void Close();

    SOCKET m_socket = INVALID_SOCKET;
    std::string m_strToken;
    bool m_bSent = false;
    int m_nError = 0;
};

// The IPv4 addresses of this machine's interfaces, as text.
std::vector<std::string> MachineAddresses();
