#include "gui/engine/proxy_watch_rules.h"

#include <algorithm>

void CProxyWatchRules::OnSwitch(std::uint64_t nowMs) {
    m_bInForce = true;
    m_nFailuresInRow = 0;
    m_nNextProbeAt = std::max(nowMs + m_timing.m_nFirstProbeMs, m_nRestUntil);
}

void CProxyWatchRules::OnSessionEnd() {
    *this = CProxyWatchRules(m_timing);
}

std::uint64_t CProxyWatchRules::MsToNextProbe(std::uint64_t nowMs) const {
    if (!m_bInForce) {
        return kNever;
    }
    return m_nNextProbeAt > nowMs ? m_nNextProbeAt - nowMs : 0;
}

WatchStep CProxyWatchRules::OnProbe(WatchProbe result, std::uint64_t startedMs, std::uint64_t nowMs,
                                    std::size_t listCount, std::uint64_t periodMs) {
    if (!m_bInForce) {
        return WatchStep::Stay;
    }
    m_nNextProbeAt = std::max(startedMs + m_timing.m_nEveryMs, nowMs);
    if (result == WatchProbe::Alive) {
        m_nFailuresInRow = 0;
        m_nGivenUp = 0;
        return WatchStep::Stay;
    }
    ++m_nFailuresInRow;
    if (result == WatchProbe::Failed && m_nFailuresInRow < 2) {
        return WatchStep::Stay;
    }
    m_nFailuresInRow = 0;
    if (++m_nGivenUp >= std::max<std::size_t>(listCount, 1)) {
        // A whole pass without a live entry: going round again would only
        // spin through dead proxies.
        m_nGivenUp = 0;
        m_nRestUntil = nowMs + periodMs;
        m_nNextProbeAt = m_nRestUntil;
        return WatchStep::Stay;
    }
    return WatchStep::MoveOn;
}
