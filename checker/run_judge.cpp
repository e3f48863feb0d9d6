#include "checker/run_judge.h"

#include <algorithm>

#include "checker/judge_fetch.h"
#include "framework/module_paths.h"
#include "framework/trace.h"
#include "shared/build_urls.h"
#include "shared/probe_rules.h"

namespace {

judge::CJudgeFetchResult FetchResultOf(const CJudgeAnswer& answer) {
    return judge::CJudgeFetchResult{answer.m_bWhole, answer.m_nStatus, answer.m_strBody};
}

// Why a direct fetch taught nothing, for the trace.
std::string WhyNoJudge(const CJudgeAnswer& answer) {
    if (!answer.m_bSent || (!answer.m_bWhole && answer.m_nStatus == 0)) {
        return "socket error " + std::to_string(answer.m_nError);
    }
    if (answer.m_nStatus != 200) {
        return "status " + std::to_string(answer.m_nStatus);
    }
    return answer.m_bWhole ? "not a judge page" : "no whole page";
}

} // namespace

std::shared_ptr<const CRunJudge> CRunJudge::Learn() {
    auto learnt = std::make_shared<CRunJudge>();
    const std::string path = GetModuleFilePath();
    learnt->m_strUserAgent = path.empty() ? std::string() : probe::ProgramNameFromPath(path);
    CJudgeExchange exchange;
    const DWORD started = ::GetTickCount();
    exchange.Send(std::string(), FreshJudgeToken(), learnt->m_strUserAgent, kDirectJudgeBoundMs);
    const DWORD elapsed = ::GetTickCount() - started;
    const CJudgeAnswer answer =
        exchange.Receive(elapsed < kDirectJudgeBoundMs ? kDirectJudgeBoundMs - elapsed : 0);
    const std::string own =
        judge::OwnAddressFromDirectFetch(FetchResultOf(answer), exchange.Token());
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

void CRunJudge::Ask(CJudgeExchange& exchange, const std::string& proxy) const {
    if (Judging()) {
        exchange.Send(proxy, FreshJudgeToken(), m_strUserAgent, kJudgeHeadStartMs);
    }
}

judge::Anonymity CRunJudge::Judge(CJudgeExchange& exchange, const std::string& proxy,
                                  DWORD boundMs) const {
    if (!Judging()) {
        return judge::Anonymity::Unknown;
    }
    const DWORD started = ::GetTickCount();
    if (!exchange.Sent() && !exchange.Send(proxy, FreshJudgeToken(), m_strUserAgent, boundMs)) {
        return judge::Anonymity::Unknown;
    }
    const DWORD elapsed = ::GetTickCount() - started;
    const CJudgeAnswer answer = exchange.Receive(elapsed < boundMs ? boundMs - elapsed : 0);
    return judge::JudgeProxyFetch(FetchResultOf(answer), exchange.Token(), m_userAddresses);
}
