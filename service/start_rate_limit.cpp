#include "service/start_rate_limit.h"

bool CStartRateLimit::IsOpen(std::uint64_t nowMs) const {
    if (!m_bTaken) {
        return true;
    }
    return nowMs >= m_nLastStartMs && nowMs - m_nLastStartMs >= m_nPeriodMs;
}

void CStartRateLimit::Take(std::uint64_t nowMs) {
    m_bTaken = true;
    m_nLastStartMs = nowMs;
}
