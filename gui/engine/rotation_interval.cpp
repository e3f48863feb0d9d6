#include "gui/engine/rotation_interval.h"

#include "shared/proxy_entry.h"

namespace {

// SetTimer takes up to USER_TIMER_MAXIMUM (0x7FFFFFFF) milliseconds.
constexpr long long kLongestPeriodMs = 0x7FFFFFFF;

} // namespace

long long RotationIntervalSeconds(std::string_view itemText) {
    const long long number = AtoiDecimal(itemText);
    return itemText.find("Hrs") != std::string_view::npos ? number * 3600 : number;
}

unsigned RotationPeriodMs(std::string_view itemText, unsigned msPerSecond) {
    long long ms = RotationIntervalSeconds(itemText) * static_cast<long long>(msPerSecond);
    if (ms < 0) {
        ms = 0;
    }
    return static_cast<unsigned>(ms > kLongestPeriodMs ? kLongestPeriodMs : ms);
}
