#include "checker/checker_trace_stamp.h"

#include <cstdio>

namespace {

std::string DatePart(const std::tm* localTime) {
    char date[64];
    if (localTime == nullptr) {
        std::snprintf(date, sizeof date, "%d/%d/%d ", 0, 0, 0);
    } else {
        std::snprintf(date, sizeof date, "%d/%d/%d ", localTime->tm_mday, localTime->tm_mon + 1,
                      localTime->tm_year + 1900);
    }
    return date;
}

// "%H:%M:%S" through strftime; empty when there is no time or it fails.
std::string TimeOfDay(const std::tm* localTime) {
    if (localTime == nullptr) {
        return std::string();
    }
    char text[128];
    const std::size_t length = std::strftime(text, sizeof text, "%H:%M:%S", localTime);
    return std::string(text, length);
}

// Local time of now, or false when the conversion fails.
bool LocalNow(std::tm& out) {
#ifdef _WIN32
    const __time64_t now = _time64(nullptr);
    return _localtime64_s(&out, &now) == 0;
#else
    const std::time_t now = std::time(nullptr);
    return localtime_r(&now, &out) != nullptr;
#endif
}

} // namespace

std::string FormatTraceStamp(const std::tm* localTime) {
    return "[ " + DatePart(localTime) + TimeOfDay(localTime) + " ] ";
}

std::string FormatRunStampEnd(const std::tm* localTime) {
    return " - " + FormatTraceStamp(localTime);
}

std::string CurrentTraceStamp() {
    std::tm local{};
    return FormatTraceStamp(LocalNow(local) ? &local : nullptr);
}

std::string CurrentRunStampEnd() {
    std::tm local{};
    return FormatRunStampEnd(LocalNow(local) ? &local : nullptr);
}
