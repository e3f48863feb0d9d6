// The absolute-form request target that clients send to a proxy.
#pragma once

#include <string>
#include <string_view>

namespace standins {

struct CAbsoluteUri {
    std::string m_strHost; // as written, without brackets or port
    int m_nPort = 80;
    std::string m_strPath; // origin-form: path and query, at least "/"
};

// Splits "http://host[:port][/path][?query]". Only the http scheme is accepted
// (case-insensitive); user info, empty hosts and ports outside 1..65535 are refused.
bool SplitAbsoluteUri(std::string_view target, CAbsoluteUri& out);

// Splits the authority-form target of a CONNECT, "host:port" (the port is
// required); the path is left empty.
bool SplitConnectTarget(std::string_view target, CAbsoluteUri& out);

// The only origins the relay may reach: the loopback address by number or name.
bool IsLoopbackHost(std::string_view host);

// The path of a request target in either form, without query or fragment.
std::string RequestPath(std::string_view target);

} // namespace standins
