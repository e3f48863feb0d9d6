// When the checker's dialog starts a validation run, and when it gives up on
// a probe that has not ended.
//
// A run is launching while the dialog hands its entries to their workers
// (100 ms apart, so a long list takes long), then probing until the
// completion check has published its live list. The run timer lets a run
// that is still out finish: restarting it would throw its work away, and a
// list that takes longer than the period would never be published. The
// timer's first tick after the run has ended starts the next run. The
// dialog's start and the OK command start a run whatever the state, as the
// user asked for one.
//
// Dialog thread only; portable.
#pragma once

#include <cstdint>

class CRunSchedule {
public:
    enum class Phase { kIdle, kLaunching, kProbing };
    enum class Cause { kDialogStart, kRunTimer, kOkCommand };

    // Whether `cause` starts a run now.
    bool StartsRun(Cause cause) const;

    // The run's entries are being handed out.
    void LaunchBegan();
    // The last entry has been handed out; the run waits for its probes.
    void LaunchEnded();
    // The run has published its list; no run is out.
    void RunEnded();

    Phase CurrentPhase() const { return m_phase; }

private:
    Phase m_phase = Phase::kIdle;
};

// The library's time-outs end a probe of a proxy that never answers at the
// bound, on the probe's own thread, which then reports it like any other
// dead probe (with the library's error). The completion check gives a probe
// up only this long after the bound, so it does not race those reports and
// catches only what the time-outs cannot end: a proxy that trickles its
// answer restarts the receive time-out with every byte.
constexpr std::uint32_t kProbeGiveUpGraceMs = 5000;

// How long a probe may be out before the completion check gives it up.
std::uint32_t ProbeGiveUpMs(std::uint32_t boundMs);
