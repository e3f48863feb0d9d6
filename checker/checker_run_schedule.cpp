#include "checker/checker_run_schedule.h"

bool CRunSchedule::StartsRun(Cause cause) const {
    switch (cause) {
    case Cause::kDialogStart:
    case Cause::kOkCommand:
        return true;
    case Cause::kRunTimer:
        return m_phase == Phase::kIdle;
    }
    return false;
}

void CRunSchedule::LaunchBegan() {
    m_phase = Phase::kLaunching;
}

void CRunSchedule::LaunchEnded() {
    if (m_phase == Phase::kLaunching) {
        m_phase = Phase::kProbing;
    }
}

void CRunSchedule::RunEnded() {
    if (m_phase == Phase::kProbing) {
        m_phase = Phase::kIdle;
    }
}

std::uint32_t ProbeGiveUpMs(std::uint32_t boundMs) {
    constexpr std::uint32_t kLongest = UINT32_MAX;
    return boundMs > kLongest - kProbeGiveUpGraceMs ? kLongest : boundMs + kProbeGiveUpGraceMs;
}
