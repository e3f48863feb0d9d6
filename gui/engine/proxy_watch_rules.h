// When the watch on the proxy in force probes it, and when it gives up on it.
// Public proxies die without warning, and the user's browser then has no web
// until the next switch; the watch moves the session on instead. Portable:
// times are milliseconds of one monotonic clock.
#pragma once

#include <cstddef>
#include <cstdint>

struct CWatchTiming {
    // The first probe after a switch, then one every `m_nEveryMs` from the
    // start of the one before; each probe ends by `m_nProbeBoundMs`. Two
    // passing failures in a row take at most first + every + bound, and a
    // proxy that dies just after a good probe is given up within
    // 2 * every + bound: 40 s, under the 45 s the user waits at most.
    std::uint64_t m_nFirstProbeMs = 5000;
    std::uint64_t m_nEveryMs = 15000;
    unsigned m_nProbeBoundMs = 10000;
};

enum class WatchProbe { Alive, Failed, FailedFinal };

enum class WatchStep {
    Stay,   // the proxy in force stays
    MoveOn, // move to the next entry, as the period's end does
};

class CProxyWatchRules {
public:
    static constexpr std::uint64_t kNever = UINT64_MAX;

    explicit CProxyWatchRules(CWatchTiming timing = CWatchTiming()) : m_timing(timing) {}

    const CWatchTiming& Timing() const { return m_timing; }

    // A switch (the period's end or the watch's) put a proxy in force.
    void OnSwitch(std::uint64_t nowMs);
    // The session ended: nothing to watch.
    void OnSessionEnd();

    // Milliseconds until the next probe is due: 0 when it is, kNever when
    // nothing is in force.
    std::uint64_t MsToNextProbe(std::uint64_t nowMs) const;

    // The probe begun at `startedMs` came back at `nowMs`. Two failures in a
    // row, or one final one, move the session on; but once every entry of
    // the list (`listCount`) has been given up on with none alive between,
    // the watch rests for one rotation period (`periodMs`) instead of going
    // round again, and the proxy in force stays until the period moves on.
    WatchStep OnProbe(WatchProbe result, std::uint64_t startedMs, std::uint64_t nowMs,
                      std::size_t listCount, std::uint64_t periodMs);

    bool IsResting(std::uint64_t nowMs) const { return nowMs < m_nRestUntil; }

private:
    CWatchTiming m_timing;
    bool m_bInForce = false;
    std::uint64_t m_nNextProbeAt = 0;
    std::uint64_t m_nRestUntil = 0;
    int m_nFailuresInRow = 0;
    // Entries given up on since the last one found alive.
    std::size_t m_nGivenUp = 0;
};
