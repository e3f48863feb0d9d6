#include "tools/standins/absolute_uri.h"

#include "tools/standins/http_head.h"

#include <cctype>

namespace standins {

namespace {

// "host[:port]" into host and port; `port` keeps its value when none is written.
bool SplitAuthority(std::string_view authority, std::string_view& host, int& port) {
    if (authority.empty() || authority.find('@') != std::string_view::npos) {
        return false;
    }
    host = authority;
    const std::size_t colon = authority.rfind(':');
    if (colon != std::string_view::npos && authority.find(']', colon) == std::string_view::npos) {
        host = authority.substr(0, colon);
        const std::string_view digits = authority.substr(colon + 1);
        if (digits.empty() || digits.size() > 5) {
            return false;
        }
        port = 0;
        for (char c : digits) {
            if (!std::isdigit(static_cast<unsigned char>(c))) {
                return false;
            }
            port = port * 10 + (c - '0');
        }
        if (port < 1 || port > 65535) {
            return false;
        }
    }
    if (host.size() >= 2 && host.front() == '[' && host.back() == ']') {
        host = host.substr(1, host.size() - 2);
    }
    return !host.empty();
}

} // namespace

bool SplitAbsoluteUri(std::string_view target, CAbsoluteUri& out) {
    constexpr std::string_view kScheme = "http://";
    if (target.size() < kScheme.size() ||
        !EqualsIgnoreCase(target.substr(0, kScheme.size()), kScheme)) {
        return false;
    }
    std::string_view rest = target.substr(kScheme.size());
    const std::size_t authority_end = rest.find_first_of("/?#");
    const std::string_view authority = rest.substr(0, authority_end);
    std::string_view path =
        authority_end == std::string_view::npos ? std::string_view() : rest.substr(authority_end);
    std::string_view host;
    int port = 80;
    if (!SplitAuthority(authority, host, port)) {
        return false;
    }
    const std::size_t fragment = path.find('#');
    path = path.substr(0, fragment);
    out.m_strHost = std::string(host);
    out.m_nPort = port;
    if (path.empty() || path.front() != '/') {
        out.m_strPath = "/" + std::string(path);
    } else {
        out.m_strPath = std::string(path);
    }
    return true;
}

bool SplitConnectTarget(std::string_view target, CAbsoluteUri& out) {
    std::string_view host;
    int port = 0;
    if (!SplitAuthority(target, host, port) || port == 0) {
        return false;
    }
    out.m_strHost = std::string(host);
    out.m_nPort = port;
    out.m_strPath.clear();
    return true;
}

bool IsLoopbackHost(std::string_view host) {
    return host == "127.0.0.1" || EqualsIgnoreCase(host, "localhost");
}

std::string RequestPath(std::string_view target) {
    CAbsoluteUri uri;
    std::string_view path = target;
    std::string owned;
    if (SplitAbsoluteUri(target, uri)) {
        owned = uri.m_strPath;
        path = owned;
    }
    path = path.substr(0, path.find_first_of("?#"));
    return std::string(path);
}

} // namespace standins
