// Accounting of the checker's validation runs: which run is current, how many
// of its probes have finished, and whether a worker's result still belongs to
// it. Each run gets an identity, so a worker left over from an earlier run
// neither writes into the new run's files nor counts toward its total.
//
// Not thread-safe by itself: the checker uses it under its file lock.
#pragma once

#include <cstddef>
#include <cstdint>

class CRunLedger {
public:
    using RunId = std::uint32_t;

    // Starts a new run of `entryCount` probes; earlier runs end here.
    RunId BeginRun(std::size_t entryCount);

    // A probe of `run` has finished (or its worker could not be started).
    // True when it counted: the run is current, so its result is to be written.
    bool FinishProbe(RunId run);

    bool IsCurrent(RunId run) const { return run == m_nCurrentRun; }
    RunId CurrentRun() const { return m_nCurrentRun; }
    std::size_t EntryCount() const { return m_nEntryCount; }
    std::size_t FinishedCount() const { return m_nFinished; }
    // Every probe of the current run has finished (true at once for none).
    bool IsComplete() const { return m_nFinished >= m_nEntryCount; }

private:
    RunId m_nCurrentRun = 0;
    std::size_t m_nEntryCount = 0;
    std::size_t m_nFinished = 0;
};
