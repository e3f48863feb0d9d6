// The checker's fetches of the update server's judge page: once directly, to
// learn how the world sees this machine, and once through each live proxy, to
// see what the proxy gives away. Both carry the checker's token header and
// are bounded in time and in bytes, whatever the server or proxy sends.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct CJudgeAnswer {
    bool m_bSent = false;  // the request went out and a status came back
    DWORD m_nError = 0;    // the library's error when it did not
    DWORD m_nStatus = 0;   // the answer's status
    std::string m_strBody; // at most the page bound and one byte more
    bool m_bWhole = false; // the body was read to its end within the bounds
};

// A fresh token for one fetch: 128 random bits as hex; empty when the system
// has no randomness to give.
std::string FreshJudgeToken();

// Fetches the judge through `proxy` ("address:port"), or directly when it is
// empty, ending within `boundMs`. The body is read up to one byte past the
// page bound, so an oversized page shows as such without being read whole.
CJudgeAnswer FetchJudge(const std::string& proxy, const std::string& userAgent,
                        const std::string& token, DWORD boundMs);

// The IPv4 addresses of this machine's interfaces that are up, as text.
std::vector<std::string> MachineAddresses();
