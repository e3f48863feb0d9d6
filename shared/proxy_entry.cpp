#include "shared/proxy_entry.h"

#include <climits>

int AtoiDecimal(std::string_view text) {
    std::size_t i = 0;
    // atoi's white space is isspace() in the C locale.
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate the magnitude in a wider type and stop growing it once it
    // passes the int range, so long digit runs neither overflow nor wrap.
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;
    long long magnitude = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (magnitude <= kLimit) {
            magnitude = magnitude * 10 + (text[i] - '0');
        }
    }
    if (negative) {
        return magnitude >= kLimit ? INT_MIN : static_cast<int>(-magnitude);
    }
    return magnitude > INT_MAX ? INT_MAX : static_cast<int>(magnitude);
}

CProxyEntryParts SplitProxyEntry(std::string_view entry) {
    CProxyEntryParts parts;
    const std::size_t colon = entry.rfind(':');
    if (colon == std::string_view::npos) {
        parts.m_nPort = AtoiDecimal(entry);
        return parts;
    }
    parts.m_strAddress.assign(entry.substr(0, colon));
    parts.m_nPort = AtoiDecimal(entry.substr(colon + 1));
    return parts;
}
