#include "checker/run_judge.h"

#include <algorithm>

#include "checker/judge_fetch.h"
#include "framework/module_paths.h"
#include "framework/trace.h"
#include "shared/build_urls.h"
#include "shared/probe_rules.h"

namespace {

judge::CJudgeFetchResult FetchResultOf(const CJudgeAnswer& answer) {
    return judge::CJudgeFetchResult{answer.m_bWhole, answer.m_bSent ? answer.m_nStatus : 0,
                                    answer.m_strBody};
}

// Why a direct fetch taught nothing, for the trace.
std::string WhyNoJudge(const CJudgeAnswer& answer) {
    if (!answer.m_bSent) {
        return "error " + std::to_string(answer.m_nError);
    }
    if (answer.m_nStatus != 200) {
        return "status " + std::to_string(answer.m_nStatus);
    }
    return answer.m_bWhole ? "not a judge page" : "page cut short";
}

} // namespace

std::shared_ptr<const CRunJudge> CRunJudge::Learn() {
    auto learnt = std::make_shared<CRunJudge>();
    const std::string path = GetModuleFilePath();
    learnt->m_strUserAgent = path.empty() ? std::string() : probe::ProgramNameFromPath(path);
    const std::string token = FreshJudgeToken();
    const CJudgeAnswer answer =
        FetchJudge(std::string(), learnt->m_strUserAgent, token, kDirectJudgeBoundMs);
    const std::string own = token.empty()
                                ? std::string()
                                : judge::OwnAddressFromDirectFetch(FetchResultOf(answer), token);
    if (own.empty()) {
        TraceText(std::string("No judge at ") + BuildJudgeUrl() + " (" + WhyNoJudge(answer) +
                  "): live proxies are published unjudged");
        return learnt;
    }
    learnt->m_userAddresses.push_back(own);
    for (std::string& address : MachineAddresses()) {
        if (std::find(learnt->m_userAddresses.begin(), learnt->m_userAddresses.end(), address) ==
            learnt->m_userAddresses.end()) {
            learnt->m_userAddresses.push_back(std::move(address));
        }
    }
    TraceText(std::string("Judge at ") + BuildJudgeUrl() + " sees this machine as " + own);
    return learnt;
}

judge::Anonymity CRunJudge::JudgeProxy(const std::string& proxy, DWORD boundMs) const {
    if (!Judging()) {
        return judge::Anonymity::Unknown;
    }
    const std::string token = FreshJudgeToken();
    if (token.empty()) {
        return judge::Anonymity::Unknown;
    }
    const CJudgeAnswer answer = FetchJudge(proxy, m_strUserAgent, token, boundMs);
    return judge::JudgeProxyFetch(FetchResultOf(answer), token, m_userAddresses);
}
