// The anonymity of a proxy, judged from the page the update server's judge
// ("<base URL>/judge") answers: the address the request came from
// ("REMOTE_ADDR: a.b.c.d" on the first line) and every header it received,
// one "Name: value" a line. The request carries a header of the checker's
// own with a value fresh for each fetch, so a page that was not made for
// this request (a proxy's cache, a page rewritten on the way) is told from a
// real one and judges nothing. Portable.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace judge {

// The checker's header on every judge request; its value is a fresh token.
constexpr char kTokenHeader[] = "X-Vettor-Token";
// What is read of a judge page at the most; a longer page is not a judge's.
constexpr std::size_t kMaxPageBytes = 64 * 1024;

enum class Anonymity {
    Unknown,     // no page made for this request: nothing is judged
    Transparent, // the page shows one of the user's own addresses
    Anonymous,   // no user address, but the request was marked as proxied
    Elite,       // neither
};

struct CJudgePage {
    std::string m_strRemoteAddress;
    std::vector<std::pair<std::string, std::string>> m_headers;
};

// False for anything but a judge page: no "REMOTE_ADDR: " first line, a
// byte that is no text (NUL or another control but tab, CR and LF), a line
// that is no header, or more than kMaxPageBytes.
bool ParseJudgePage(std::string_view text, CJudgePage& page);

// Transparent when any of `userAddresses` is the address the judge saw or
// stands, as a whole address, in any header but Host; anonymous when a
// forwarding or proxy header is there (Via, X-Forwarded-For, Forwarded,
// X-Real-IP, Client-IP, Proxy-Connection and their kin); elite otherwise.
// Unknown when the page does not carry `token` in the checker's header.
Anonymity Classify(const CJudgePage& page, const std::string& token,
                   const std::vector<std::string>& userAddresses);

// What a fetch of the judge brought back.
struct CJudgeFetchResult {
    bool m_bWhole = false; // the body was read to its end within the bounds
    unsigned long m_nStatus = 0;
    std::string_view m_body;
};

// The address the judge saw on the checker's own direct fetch: that of a
// whole 200 judge page made for this request; empty for anything else.
std::string OwnAddressFromDirectFetch(const CJudgeFetchResult& fetch, const std::string& token);

// A proxy's class from its fetch of the judge: Unknown unless a whole 200
// judge page made for this request came back.
Anonymity JudgeProxyFetch(const CJudgeFetchResult& fetch, const std::string& token,
                          const std::vector<std::string>& userAddresses);

// "transparent", "anonymous", "elite" or "unknown".
const char* AnonymityText(Anonymity anonymity);

} // namespace judge
