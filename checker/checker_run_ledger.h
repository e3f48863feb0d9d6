// Accounting of the checker's validation runs: which run is current, which
// of its probes are still out, and how many have finished.
//
// Each probe of a run holds a ticket that the run keeps while the probe is
// out, so a worker left over from an earlier run (whose tickets the new run
// dropped) neither writes into the new run's files nor counts toward its
// total, and a probe that overstays the bound is given up (counted as dead)
// and its late answer dropped.
//
// Not thread-safe by itself: the checker uses it under its file lock.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class CProbeTicket {
public:
    CProbeTicket(std::string entry, std::uint32_t startMs)
        : m_strEntry(std::move(entry)), m_nStartMs(startMs) {}

    const std::string& Entry() const { return m_strEntry; }
    std::uint32_t StartMs() const { return m_nStartMs; }

    // Set by the probe once its request has been sent, from its worker.
    std::atomic<bool> m_bSendReturned{false};

private:
    const std::string m_strEntry;
    const std::uint32_t m_nStartMs;
};

class CRunLedger {
public:
    using Ticket = std::shared_ptr<CProbeTicket>;

    // Starts a new run of `entryCount` probes; the probes of earlier runs
    // still out no longer count.
    void BeginRun(std::size_t entryCount);

    // A probe of the current run starts at `nowMs` (a millisecond tick that may wrap).
    Ticket StartProbe(const std::string& entry, std::uint32_t nowMs);

    // The probe has ended (or its worker could not be started). True when it
    // counted: it belongs to the current run and was not given up, so its
    // result is to be written.
    bool FinishProbe(const CProbeTicket& ticket);

    // A probe of the current run that could not even get a ticket ended dead.
    void FinishUnticketedProbe();

    // Gives up the current run's probes out for at least `boundMs`: they
    // count as ended and dead, and are returned for writing.
    std::vector<Ticket> ExpireProbes(std::uint32_t nowMs, std::uint32_t boundMs);

    std::size_t EntryCount() const { return m_nEntryCount; }
    std::size_t FinishedCount() const { return m_nFinished; }
    std::size_t OutstandingCount() const { return m_outstanding.size(); }
    // Every probe of the current run has ended (true at once for none).
    bool IsComplete() const { return m_nFinished >= m_nEntryCount; }

private:
    std::size_t m_nEntryCount = 0;
    std::size_t m_nFinished = 0;
    std::unordered_map<const CProbeTicket*, Ticket> m_outstanding;
};
