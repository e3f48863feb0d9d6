#include "framework/url_parser.h"

#include <cstddef>

namespace {

bool IsSchemeChar(char c, bool first) {
    const bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (first) {
        return alpha;
    }
    return alpha || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(const std::string& text, const char* word) {
    std::size_t i = 0;
    for (; word[i] != '\0'; ++i) {
        if (i >= text.size() || Lower(text[i]) != word[i]) {
            return false;
        }
    }
    return i == text.size();
}

// Spaces and control characters never belong to a host name.
bool IsServerText(const std::string& server) {
    if (server.empty()) {
        return false;
    }
    for (char c : server) {
        const unsigned char u = static_cast<unsigned char>(c);
        if (u <= 0x20 || u == 0x7f) {
            return false;
        }
    }
    return true;
}

bool ParsePort(const std::string& text, unsigned short& port) {
    if (text.empty() || text.size() > 5) {
        return false;
    }
    unsigned value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535) {
        return false;
    }
    port = static_cast<unsigned short>(value);
    return true;
}

} // namespace

bool ParseUrl(const std::string& url, ParsedUrl& out) {
    const std::size_t colon = url.find("://");
    if (colon == std::string::npos || colon == 0) {
        return false;
    }
    for (std::size_t i = 0; i < colon; ++i) {
        if (!IsSchemeChar(url[i], i == 0)) {
            return false;
        }
    }
    ParsedUrl parsed;
    const std::string scheme = url.substr(0, colon);
    if (EqualsNoCase(scheme, "http")) {
        parsed.service = UrlService::kHttp;
        parsed.port = 80;
    } else if (EqualsNoCase(scheme, "https")) {
        parsed.service = UrlService::kHttps;
        parsed.port = 443;
    }

    const std::size_t authorityBegin = colon + 3;
    std::size_t authorityEnd = url.find_first_of("/?#", authorityBegin);
    if (authorityEnd == std::string::npos) {
        authorityEnd = url.size();
    }
    std::string authority = url.substr(authorityBegin, authorityEnd - authorityBegin);
    // User name and password are not part of the server.
    const std::size_t at = authority.rfind('@');
    if (at != std::string::npos) {
        authority.erase(0, at + 1);
    }

    std::string portText;
    bool hasPort = false;
    if (!authority.empty() && authority[0] == '[') {
        // Bracketed IPv6 literal: its colons are not the port separator.
        const std::size_t close = authority.find(']');
        if (close == std::string::npos) {
            return false;
        }
        parsed.server = authority.substr(1, close - 1);
        const std::string rest = authority.substr(close + 1);
        if (!rest.empty()) {
            if (rest[0] != ':') {
                return false;
            }
            hasPort = true;
            portText = rest.substr(1);
        }
    } else {
        const std::size_t portColon = authority.rfind(':');
        if (portColon != std::string::npos) {
            hasPort = true;
            portText = authority.substr(portColon + 1);
            authority.erase(portColon);
        }
        parsed.server = authority;
    }
    if (!IsServerText(parsed.server)) {
        return false;
    }
    if (hasPort && !ParsePort(portText, parsed.port)) {
        return false;
    }

    // The fragment stays with the client; the query goes to the server.
    std::string object = url.substr(authorityEnd);
    const std::size_t hash = object.find('#');
    if (hash != std::string::npos) {
        object.erase(hash);
    }
    if (object.empty() || object[0] != '/') {
        object.insert(0, "/");
    }
    parsed.object = object;
    out = parsed;
    return true;
}
