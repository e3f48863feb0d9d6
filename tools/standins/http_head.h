// Parsing and building of HTTP/1.x message heads, as the stand-ins need them.
// Lenient on input (bare "\n" line ends are accepted), strict on output.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standins {

struct CHeader {
    std::string m_strName;
    std::string m_strValue;
};

using Headers = std::vector<CHeader>;

struct CRequestHead {
    std::string m_strMethod;
    std::string m_strTarget;
    std::string m_strVersion;
    Headers m_headers;
};

struct CResponseHead {
    std::string m_strVersion;
    int m_nStatus = 0;
    std::string m_strReason;
    Headers m_headers;
};

// Offset just past the blank line that ends the head at the start of `data`,
// or nullopt while the head is incomplete.
std::optional<std::size_t> FindHeadEnd(std::string_view data);

// The head's lines without their line ends, up to (not including) the blank line.
std::vector<std::string> SplitHeadLines(std::string_view head);

bool ParseRequestHead(std::string_view head, CRequestHead& out);
bool ParseResponseHead(std::string_view head, CResponseHead& out);

bool EqualsIgnoreCase(std::string_view a, std::string_view b);
// True when the comma-separated list `value` holds `token` (case-insensitive).
bool HasToken(std::string_view value, std::string_view token);

std::optional<std::string_view> FindHeader(const Headers& headers, std::string_view name);
void RemoveHeader(Headers& headers, std::string_view name);

enum class LengthStatus { kAbsent, kValid, kInvalid };
// Content-Length of a message; conflicting or malformed values are invalid.
LengthStatus ContentLength(const Headers& headers, std::size_t& length);

// HTTP/1.1 keeps the connection unless told to close; HTTP/1.0 only when
// asked to keep it (a client talking to a proxy may say so in Proxy-Connection).
bool WantsKeepAlive(const CRequestHead& head);

std::string_view ReasonPhrase(int status);

// "HTTP/1.1 <status> <reason>\r\n", the headers, then the blank line.
std::string BuildResponseHead(int status, const Headers& headers);

// A complete response with Content-Length framing. `keep_alive` false adds
// "Connection: close"; `omit_body` (answers to HEAD) keeps the length header
// but sends no body bytes.
std::string BuildResponse(int status, Headers headers, std::string_view body, bool keep_alive,
                          bool omit_body = false);

} // namespace standins
