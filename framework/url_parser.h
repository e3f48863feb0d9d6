// The framework's URL parser: splits a URL into service type, server, object
// path and port. Plain types only, so it builds and is tested natively.
#pragma once

#include <string>

enum class UrlService {
    kHttp,
    kHttps,
    kOther, // any other scheme; the port is then 0 unless the URL gives one
};

struct ParsedUrl {
    UrlService service = UrlService::kOther;
    std::string server;
    // Path and query as sent in the request line; "/" when the URL has none.
    std::string object = "/";
    unsigned short port = 0;
};

// False (and `out` untouched) for text that is not "scheme://server[:port][/object]",
// for an empty server and for a port that is not a decimal in 1..65535.
bool ParseUrl(const std::string& url, ParsedUrl& out);
