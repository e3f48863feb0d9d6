// What the update server stand-in answers, as a decision over plain values.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "tools/standins/http_head.h"

namespace standins {

// kNoJudge: as kOk, but "/judge" is not found (a server without the judge).
enum class ServerMode { kOk, kError, kDown, kNoJudge };

// "ok", "error" or "down", surrounding white space ignored.
std::optional<ServerMode> ParseServerMode(std::string_view text);
std::string_view ServerModeName(ServerMode mode);

// "<state_dir>/mode-<port>": a test writes a mode here to flip the live server.
std::string ModeFilePath(std::string_view state_dir, int port);

// Content of the test file.
constexpr std::string_view kTestFileBody = "OK";

// Browser-style error pages. The short one has its tell-tale words in the
// first 512 bytes; the long one only after them, so a reader that judges
// 512-byte chunks sees it in the second chunk.
const std::string& ShortErrorPage();
const std::string& LongErrorPage();

struct CRoute {
    enum class Kind { kTestFile, kJudge, kFile, kErrorPage, kNotFound, kBadMethod };
    Kind m_kind = Kind::kNotFound;
    std::string m_strFile;                // kFile: path relative to the root, no leading "/"
    const std::string* m_pPage = nullptr; // kErrorPage
};

// In error mode every path gets an error page: "/test.txt" the short one,
// others the long one; a query "?short" or "?long" picks one explicitly.
// In ok mode "/test.txt" and "/judge" (with any query) are built in and
// other paths name files of the root; paths that could leave the root are
// not found.
CRoute RouteRequest(ServerMode mode, std::string_view method, std::string_view target);

std::string_view ContentTypeFor(std::string_view file);

// The judge's page: "REMOTE_ADDR: <address>" and then every header of the
// request as received, "Name: value" a line, each line ending in CR LF.
std::string JudgePage(std::string_view remote_address, const Headers& headers);

} // namespace standins
