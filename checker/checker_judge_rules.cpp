#include "checker/checker_judge_rules.h"

#include <algorithm>
#include <cctype>

#include "checker/judge_text.h"

namespace judge {
namespace {

constexpr std::string_view kRemotePrefix = "REMOTE_ADDR: ";

// Headers a proxy adds to say a request went through it.
const char* const kProxyHeaders[] = {
    "via",
    "x-forwarded-for",
    "forwarded",
    "x-real-ip",
    "client-ip",
    "x-client-ip",
    "proxy-connection",
    "x-proxy-id",
    "forwarded-for",
    "x-forwarded",
    "true-client-ip",
    "x-cluster-client-ip",
    "proxy-client-ip",
    "x-forwarded-host",
    "x-forwarded-proto",
    "x-originating-ip",
};

bool IsText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](unsigned char c) {
        return c >= 0x20 || c == '\t' || c == '\r' || c == '\n';
    });
}

bool IsAddressChar(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0 || c == '.';
}

// `address` in `text` as a whole: not part of a longer run of digits and dots.
bool ContainsAddress(std::string_view text, const std::string& address) {
    if (address.empty()) {
        return false;
    }
    for (std::size_t at = text.find(address); at != std::string_view::npos;
         at = text.find(address, at + 1)) {
        const std::size_t end = at + address.size();
        const bool before = at > 0 && IsAddressChar(text[at - 1]);
        const bool after = end < text.size() && IsAddressChar(text[end]);
        if (!before && !after) {
            return true;
        }
    }
    return false;
}

} // namespace

bool ParseJudgePage(std::string_view text, CJudgePage& page) {
    page = CJudgePage();
    if (text.size() > kMaxPageBytes || !IsText(text) ||
        text.substr(0, kRemotePrefix.size()) != kRemotePrefix) {
        return false;
    }
    bool first = true;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line =
            TrimHeaderSpace(end == std::string_view::npos ? text : text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        if (first) {
            // The prefix's own space may have gone with the trimming.
            const std::size_t from = std::min(line.size(), kRemotePrefix.size());
            page.m_strRemoteAddress = std::string(TrimHeaderSpace(line.substr(from)));
            first = false;
            continue;
        }
        if (line.empty()) {
            continue;
        }
        const std::size_t colon = line.find(':');
        if (colon == 0 || colon == std::string_view::npos) {
            return false;
        }
        page.m_headers.emplace_back(std::string(TrimHeaderSpace(line.substr(0, colon))),
                                    std::string(TrimHeaderSpace(line.substr(colon + 1))));
    }
    return !page.m_strRemoteAddress.empty();
}

Anonymity Classify(const CJudgePage& page, const std::string& token,
                   const std::vector<std::string>& userAddresses) {
    const std::string tokenName = LowerText(kTokenHeader);
    const bool madeForUs =
        !token.empty() &&
        std::any_of(page.m_headers.begin(), page.m_headers.end(), [&](const auto& header) {
            return LowerText(header.first) == tokenName && header.second == token;
        });
    if (!madeForUs) {
        return Anonymity::Unknown;
    }
    bool proxied = false;
    for (const std::string& address : userAddresses) {
        if (!address.empty() && page.m_strRemoteAddress == address) {
            return Anonymity::Transparent;
        }
    }
    for (const auto& [name, value] : page.m_headers) {
        const std::string lower = LowerText(name);
        if (lower == "host") {
            continue;
        }
        for (const std::string& address : userAddresses) {
            if (ContainsAddress(value, address)) {
                return Anonymity::Transparent;
            }
        }
        proxied = proxied || std::find(std::begin(kProxyHeaders), std::end(kProxyHeaders), lower) !=
                                 std::end(kProxyHeaders);
    }
    return proxied ? Anonymity::Anonymous : Anonymity::Elite;
}

std::string OwnAddressFromDirectFetch(const CJudgeFetchResult& fetch, const std::string& token) {
    CJudgePage page;
    if (!fetch.m_bWhole || fetch.m_nStatus != 200 || !ParseJudgePage(fetch.m_body, page) ||
        Classify(page, token, {}) == Anonymity::Unknown) {
        return std::string();
    }
    return page.m_strRemoteAddress;
}

Anonymity JudgeProxyFetch(const CJudgeFetchResult& fetch, const std::string& token,
                          const std::vector<std::string>& userAddresses) {
    CJudgePage page;
    if (!fetch.m_bWhole || fetch.m_nStatus != 200 || !ParseJudgePage(fetch.m_body, page)) {
        return Anonymity::Unknown;
    }
    return Classify(page, token, userAddresses);
}

const char* AnonymityText(Anonymity anonymity) {
    switch (anonymity) {
    case Anonymity::Transparent:
        return "transparent";
    case Anonymity::Anonymous:
        return "anonymous";
    case Anonymity::Elite:
        return "elite";
    case Anonymity::Unknown:
        break;
    }
    return "unknown";
}

} // namespace judge
