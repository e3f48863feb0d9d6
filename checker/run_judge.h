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

// The direct fetch holds the run's start, so it gets a short bound of its own.
constexpr DWORD kDirectJudgeBoundMs = 10000;

class CRunJudge {
public:
    // Fetches the judge directly and traces what came of it.
    static std::shared_ptr<const CRunJudge> Learn();

    bool Judging() const { return !m_userAddresses.empty(); }

    // Fetches the judge through `proxy` within `boundMs` and judges what the
    // judge saw. Unknown when this run judges nothing.
    judge::Anonymity JudgeProxy(const std::string& proxy, DWORD boundMs) const;

private:
    std::string m_strUserAgent;
    std::vector<std::string> m_userAddresses;
};
