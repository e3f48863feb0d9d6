#include "run_schedule.h"

std::uint32_t ProbeGiveUpMs(std::uint32_t boundMs) {
    constexpr std::uint32_t kLongest = UINT32_MAX;
    return boundMs > kLongest - kProbeGiveUpGraceMs ? kLongest : boundMs + kProbeGiveUpGraceMs;
}
