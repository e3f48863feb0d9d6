#include "tools/standins/http_head.h"

#include <cctype>

namespace standins {
namespace {

std::string_view TrimSpaces(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.remove_prefix(1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.remove_suffix(1);
    }
    return s;
}

bool IsTokenChar(char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (std::isalnum(u) != 0) {
        return true;
    }
    return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool ParseHeaderLines(const std::vector<std::string>& lines, Headers& out) {
    out.clear();
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos || colon == 0) {
            return false;
        }
        const std::string_view name(line.data(), colon);
        for (char c : name) {
            if (!IsTokenChar(c)) {
                return false;
            }
        }
        const std::string_view value = TrimSpaces(std::string_view(line).substr(colon + 1));
        out.push_back(CHeader{std::string(name), std::string(value)});
    }
    return true;
}

bool IsHttpVersion(std::string_view v) {
    return v.size() == 8 && v.substr(0, 5) == "HTTP/" &&
           std::isdigit(static_cast<unsigned char>(v[5])) && v[6] == '.' &&
           std::isdigit(static_cast<unsigned char>(v[7]));
}

} // namespace

std::optional<std::size_t> FindHeadEnd(std::string_view data) {
    // The head ends at the first empty line, whichever line end the client uses.
    std::size_t line_start = 0;
    for (std::size_t i = 0; i < data.size(); ++i) {
        if (data[i] != '\n') {
            continue;
        }
        std::size_t line_len = i - line_start;
        if (line_len > 0 && data[i - 1] == '\r') {
            --line_len;
        }
        if (line_len == 0 && line_start > 0) {
            return i + 1;
        }
        line_start = i + 1;
    }
    return std::nullopt;
}

std::vector<std::string> SplitHeadLines(std::string_view head) {
    std::vector<std::string> lines;
    while (!head.empty()) {
        const std::size_t nl = head.find('\n');
        std::string_view line = head.substr(0, nl);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty()) {
            break;
        }
        lines.emplace_back(line);
        if (nl == std::string_view::npos) {
            break;
        }
        head.remove_prefix(nl + 1);
    }
    return lines;
}

bool ParseRequestHead(std::string_view head, CRequestHead& out) {
    const std::vector<std::string> lines = SplitHeadLines(head);
    if (lines.empty()) {
        return false;
    }
    const std::string& first = lines[0];
    const std::size_t sp1 = first.find(' ');
    if (sp1 == std::string::npos || sp1 == 0) {
        return false;
    }
    const std::size_t sp2 = first.find(' ', sp1 + 1);
    if (sp2 == std::string::npos || sp2 == sp1 + 1 ||
        first.find(' ', sp2 + 1) != std::string::npos) {
        return false;
    }
    out.m_strMethod = first.substr(0, sp1);
    out.m_strTarget = first.substr(sp1 + 1, sp2 - sp1 - 1);
    out.m_strVersion = first.substr(sp2 + 1);
    for (char c : out.m_strMethod) {
        if (!IsTokenChar(c)) {
            return false;
        }
    }
    if (!IsHttpVersion(out.m_strVersion)) {
        return false;
    }
    return ParseHeaderLines(lines, out.m_headers);
}

bool ParseResponseHead(std::string_view head, CResponseHead& out) {
    const std::vector<std::string> lines = SplitHeadLines(head);
    if (lines.empty()) {
        return false;
    }
    const std::string& first = lines[0];
    const std::size_t sp1 = first.find(' ');
    if (sp1 == std::string::npos) {
        return false;
    }
    out.m_strVersion = first.substr(0, sp1);
    if (!IsHttpVersion(out.m_strVersion)) {
        return false;
    }
    const std::string_view rest = std::string_view(first).substr(sp1 + 1);
    if (rest.size() < 3) {
        return false;
    }
    int status = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        if (!std::isdigit(static_cast<unsigned char>(rest[i]))) {
            return false;
        }
        status = status * 10 + (rest[i] - '0');
    }
    if (rest.size() > 3 && rest[3] != ' ') {
        return false;
    }
    out.m_nStatus = status;
    out.m_strReason = rest.size() > 4 ? std::string(rest.substr(4)) : std::string();
    return ParseHeaderLines(lines, out.m_headers);
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool HasToken(std::string_view value, std::string_view token) {
    while (true) {
        const std::size_t comma = value.find(',');
        if (EqualsIgnoreCase(TrimSpaces(value.substr(0, comma)), token)) {
            return true;
        }
        if (comma == std::string_view::npos) {
            return false;
        }
        value.remove_prefix(comma + 1);
    }
}

std::optional<std::string_view> FindHeader(const Headers& headers, std::string_view name) {
    for (const CHeader& h : headers) {
        if (EqualsIgnoreCase(h.m_strName, name)) {
            return std::string_view(h.m_strValue);
        }
    }
    return std::nullopt;
}

void RemoveHeader(Headers& headers, std::string_view name) {
    Headers kept;
    for (CHeader& h : headers) {
        if (!EqualsIgnoreCase(h.m_strName, name)) {
            kept.push_back(std::move(h));
        }
    }
    headers = std::move(kept);
}

LengthStatus ContentLength(const Headers& headers, std::size_t& length) {
    LengthStatus status = LengthStatus::kAbsent;
    std::size_t found = 0;
    for (const CHeader& h : headers) {
        if (!EqualsIgnoreCase(h.m_strName, "Content-Length")) {
            continue;
        }
        if (h.m_strValue.empty() || h.m_strValue.size() > 15) {
            return LengthStatus::kInvalid;
        }
        std::size_t value = 0;
        for (char c : h.m_strValue) {
            if (!std::isdigit(static_cast<unsigned char>(c))) {
                return LengthStatus::kInvalid;
            }
            value = value * 10 + static_cast<std::size_t>(c - '0');
        }
        if (status == LengthStatus::kValid && value != found) {
            return LengthStatus::kInvalid;
        }
        found = value;
        status = LengthStatus::kValid;
    }
    if (status == LengthStatus::kValid) {
        length = found;
    }
    return status;
}

bool WantsKeepAlive(const CRequestHead& head) {
    const std::optional<std::string_view> connection = FindHeader(head.m_headers, "Connection");
    const std::optional<std::string_view> proxy_connection =
        FindHeader(head.m_headers, "Proxy-Connection");
    const auto says = [&](std::string_view token) {
        return (connection && HasToken(*connection, token)) ||
               (proxy_connection && HasToken(*proxy_connection, token));
    };
    if (says("close")) {
        return false;
    }
    if (head.m_strVersion == "HTTP/1.0") {
        return says("keep-alive");
    }
    return true;
}

std::string_view ReasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 206:
        return "Partial Content";
    case 400:
        return "Bad Request";
    case 401:
        return "Unauthorized";
    case 403:
        return "Forbidden";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 407:
        return "Proxy Authentication Required";
    case 411:
        return "Length Required";
    case 413:
        return "Content Too Large";
    case 431:
        return "Request Header Fields Too Large";
    case 500:
        return "Internal Server Error";
    case 501:
        return "Not Implemented";
    case 502:
        return "Bad Gateway";
    case 504:
        return "Gateway Timeout";
    default:
        return "Unknown";
    }
}

std::string BuildResponseHead(int status, const Headers& headers) {
    std::string out = "HTTP/1.1 " + std::to_string(status) + " ";
    out += ReasonPhrase(status);
    out += "\r\n";
    for (const CHeader& h : headers) {
        out += h.m_strName;
        out += ": ";
        out += h.m_strValue;
        out += "\r\n";
    }
    out += "\r\n";
    return out;
}

std::string BuildResponse(int status, Headers headers, std::string_view body, bool keep_alive,
                          bool omit_body) {
    RemoveHeader(headers, "Content-Length");
    headers.push_back(CHeader{"Content-Length", std::to_string(body.size())});
    if (!keep_alive) {
        headers.push_back(CHeader{"Connection", "close"});
    }
    std::string out = BuildResponseHead(status, headers);
    if (!omit_body) {
        out += body;
    }
    return out;
}

} // namespace standins
