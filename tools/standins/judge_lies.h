// Judge pages of proxies that lie to a checker: a stale page from a "cache",
// and hostile pages of their own that echo the request (its token included),
// so that only the checker's own bounds protect it. Plain values.
#pragma once

#include "tools/standins/farm_behaviour.h"
#include "tools/standins/http_head.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace standins {

// The token of a request long gone, on the cached page.
constexpr std::string_view kStaleJudgeToken = "5f3c9a0e7b1d4c28a6e0f2b9d8c7e1a4";
// How much filler judge_huge puts after the echoed request, at least.
constexpr std::size_t kJudgeHugeFillerBytes = 2 * 1024 * 1024;
// How many binary bytes judge_binary puts after it.
constexpr std::size_t kJudgeBinaryBytes = 4096;

// A request for the judge's page: path "/judge", any query, either target form.
bool IsJudgeRequest(const CRequestHead& head);

// What judge_cache answers for the judge: an elite-looking page from the
// proxy's onward address whose token belongs to another request.
std::string CachedJudgePage(int listen_port);
CScript CachedJudgeScript(int listen_port, bool head_request, bool keep_alive);

// What judge_rewrite puts in front of the judge's page.
std::string_view JudgeBanner();

// The answer of judge_huge, judge_binary or judge_endless to one request:
// their own judge page for the judge, 200 "OK" for anything else.
CScript HostileJudgeScript(Behaviour behaviour, const CRequestHead& head, int listen_port,
                           bool keep_alive);

} // namespace standins
