// At most one start per period, so a loop of requests cannot spin the
// service. Time is a caller's millisecond tick (GetTickCount64 in the
// service, any clock in tests); 64 bits never wrap in practice. Portable.
#pragma once

#include <cstdint>

class CStartRateLimit {
public:
    static constexpr std::uint64_t kDefaultPeriodMs = 10000;

    explicit CStartRateLimit(std::uint64_t periodMs = kDefaultPeriodMs) : m_nPeriodMs(periodMs) {}

    // True when nothing was started yet, or a whole period has passed since
    // the last start. A tick earlier than the last start (a caller's clock
    // that went back) finds the slot closed.
    bool IsOpen(std::uint64_t nowMs) const;
    // A start was made (or tried) now: the slot closes for a period.
    void Take(std::uint64_t nowMs);

private:
    std::uint64_t m_nPeriodMs;
    bool m_bTaken = false;
    std::uint64_t m_nLastStartMs = 0;
};
