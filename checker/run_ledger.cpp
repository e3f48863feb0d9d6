#include "run_ledger.h"

CRunLedger::RunId CRunLedger::BeginRun(std::size_t entryCount) {
    ++m_nCurrentRun;
    // Identity 0 never names a run, even after the counter wraps.
    if (m_nCurrentRun == 0) {
        ++m_nCurrentRun;
    }
    m_nEntryCount = entryCount;
    m_nFinished = 0;
    return m_nCurrentRun;
}

bool CRunLedger::FinishProbe(RunId run) {
    if (run == 0 || run != m_nCurrentRun || m_nFinished >= m_nEntryCount) {
        return false;
    }
    ++m_nFinished;
    return true;
}
