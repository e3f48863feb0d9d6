// ParseUrl: a refused URL leaves the result alone; an accepted one has sane
// parts, and written out again it parses to the same parts.
#include <cstddef>
#include <cstdint>
#include <string>

#include "framework/url_parser.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

bool SameParts(const ParsedUrl& a, const ParsedUrl& b) {
    return a.service == b.service && a.server == b.server && a.object == b.object &&
           a.port == b.port;
}

void CheckParts(const ParsedUrl& url) {
    FUZZ_CHECK(!url.server.empty());
    for (char c : url.server) {
        const auto u = static_cast<unsigned char>(c);
        FUZZ_CHECK(u > 0x20 && u != 0x7f);
        FUZZ_CHECK(c != '/' && c != '?' && c != '#' && c != '@');
    }
    FUZZ_CHECK(!url.object.empty() && url.object[0] == '/');
    FUZZ_CHECK(url.object.find('#') == std::string::npos);
    if (url.service != UrlService::kOther) {
        FUZZ_CHECK(url.port != 0);
    }
}

// A server that begins with '[' or would lose a ':' to the port goes in
// brackets; the port is written whenever there is one.
std::string Format(const ParsedUrl& url) {
    std::string text = url.service == UrlService::kHttp    ? "http://"
                       : url.service == UrlService::kHttps ? "HTTPS://"
                                                           : "x-other+1.0://";
    const bool bracket =
        url.server[0] == '[' || (url.port == 0 && url.server.find(':') != std::string::npos);
    text += bracket ? "[" + url.server + "]" : url.server;
    if (url.port != 0) {
        text += ":" + std::to_string(url.port);
    }
    return text + url.object;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    ParsedUrl untouched;
    untouched.server = "untouched";
    untouched.object = "/untouched";
    untouched.port = 1;
    ParsedUrl parsed = untouched;
    if (!ParseUrl(text, parsed)) {
        FUZZ_CHECK(SameParts(parsed, untouched));
        return 0;
    }
    CheckParts(parsed);

    const std::string again = Format(parsed);
    ParsedUrl reparsed;
    FUZZ_CHECK(ParseUrl(again, reparsed));
    FUZZ_CHECK(SameParts(reparsed, parsed));
    return 0;
}
