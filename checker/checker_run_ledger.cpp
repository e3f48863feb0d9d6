#include "checker/checker_run_ledger.h"

void CRunLedger::BeginRun(std::size_t entryCount) {
    m_nEntryCount = entryCount;
    m_nFinished = 0;
    m_outstanding.clear();
}

CRunLedger::Ticket CRunLedger::StartProbe(const std::string& entry, std::uint32_t nowMs) {
    auto ticket = std::make_shared<CProbeTicket>(entry, nowMs);
    m_outstanding.emplace(ticket.get(), ticket);
    return ticket;
}

bool CRunLedger::FinishProbe(const CProbeTicket& ticket) {
    // Tickets of earlier runs were dropped at BeginRun, given-up ones at expiry.
    if (m_outstanding.erase(&ticket) == 0 || m_nFinished >= m_nEntryCount) {
        return false;
    }
    ++m_nFinished;
    return true;
}

void CRunLedger::FinishUnticketedProbe() {
    if (m_nFinished < m_nEntryCount) {
        ++m_nFinished;
    }
}

std::vector<CRunLedger::Ticket> CRunLedger::ExpireProbes(std::uint32_t nowMs,
                                                         std::uint32_t boundMs) {
    std::vector<Ticket> expired;
    for (auto it = m_outstanding.begin(); it != m_outstanding.end();) {
        // Unsigned difference: right across a wrap of the tick.
        if (nowMs - it->second->StartMs() >= boundMs) {
            expired.push_back(it->second);
            it = m_outstanding.erase(it);
        } else {
            ++it;
        }
    }
    for (std::size_t i = 0; i < expired.size() && m_nFinished < m_nEntryCount; ++i) {
        ++m_nFinished;
    }
    return expired;
}
