// When the checker's completion check gives up on a probe that has not ended.
//
// Portable.
#pragma once

#include <cstdint>

// The library's time-outs end a probe of a proxy that never answers at the
// bound, on the probe's own thread, which then reports it like any other
// dead probe (with the library's error). The completion check gives a probe
// up only this long after the bound, so it does not race those reports and
// catches only what the time-outs cannot end: a proxy that trickles its
// answer restarts the receive time-out with every byte.
constexpr std::uint32_t kProbeGiveUpGraceMs = 5000;

// How long a probe may be out before the completion check gives it up.
std::uint32_t ProbeGiveUpMs(std::uint32_t boundMs);
