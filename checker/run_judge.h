// What one validation run knows for judging its proxies' anonymity: the
// addresses that are the user's own, learnt by fetching the judge directly
// at the start of the run and from the machine's interfaces. A run whose
// judge cannot be had judges nothing, and its live proxies are published as
// they always were.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "checker/checker_judge_rules.h"

class CJudgeExchange;

// The direct fetch holds the run's start, so it gets a short bound of its own.
constexpr DWORD kDirectJudgeBoundMs = 10000;
// How long a probe's worker waits for the proxy to take the judge's
// connection before the probe starts; a proxy slower than that is asked after
// its probe instead.
constexpr DWORD kJudgeHeadStartMs = 2000;

class CRunJudge {
public:
    // Fetches the judge directly and traces what came of it.
    static std::shared_ptr<const CRunJudge> Learn();

    bool Judging() const { return !m_userAddresses.empty(); }

    // Sends the judge's request through `proxy`, to be answered while its
    // test file is probed. Nothing when this run judges nothing.
    void Ask(CJudgeExchange& exchange, const std::string& proxy) const;

    // Reads what the judge saw of the request through `proxy` (asking now if
    // the request could not go out before the probe) within `boundMs`.
    // Unknown when this run judges nothing or no whole judge page came back.
    judge::Anonymity Judge(CJudgeExchange& exchange, const std::string& proxy, DWORD boundMs) const;

private:
    std::string m_strUserAgent;
    std::vector<std::string> m_userAddresses;
};
