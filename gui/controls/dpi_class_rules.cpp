#include "gui/controls/dpi_class_rules.h"

namespace controls {

namespace {

bool Contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

std::string NormalizeDpiWindowsName(const std::string& windowsName) {
    std::string name = windowsName;
    if (Contains(name, "Windows 8")) {
        name = "Windows 8";
    }
    if (Contains(name, "Windows 7")) {
        name = "Windows 7";
    }
    return name;
}

DpiSource DpiSourceFor(const std::string& windowsName) {
    const std::string name = NormalizeDpiWindowsName(windowsName);
    if (name == "Windows 7" || name == "Windows 8") {
        return DpiSource::kUserDesktop;
    }
    if (name == "Windows 98" || name == "Windows ME") {
        return DpiSource::kDisplaySettings;
    }
    return DpiSource::kFontsProfile;
}

DpiRegistryValue DpiRegistryValueOf(DpiSource source) {
    switch (source) {
    case DpiSource::kUserDesktop:
        return {kRootCurrentUser, "Control Panel\\Desktop", "LogPixels", false};
    case DpiSource::kDisplaySettings:
        return {kRootCurrentConfig, "Display\\Settings", "DPIPhysicalX", true};
    case DpiSource::kFontsProfile:
        break;
    }
    return {kRootLocalMachine,
            "system\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts", "LogPixels",
            false};
}

long long DpiNumberFromText(const std::string& text) {
    if (text == "120") {
        return kDpiLarge9x;
    }
    std::string::size_type i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Saturate long digit runs instead of overflowing; any huge value is class 120 anyway.
    constexpr long long kCap = 1000000000000LL;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value < kCap) {
            value = value * 10 + (text[i] - '0');
        }
    }
    return negative ? -value : value;
}

unsigned DpiClassFromNumber(long long value) {
    if (value <= static_cast<long long>(kDpiNormal)) {
        return kDpiNormal;
    }
    if (value == static_cast<long long>(kDpiLarge9x)) {
        return kDpiLarge9x;
    }
    return kDpiLarge;
}

unsigned DpiClassFor(DpiSource source, const DpiReading& reading) {
    if (!reading.succeeded) {
        return kDpiNormal;
    }
    if (DpiRegistryValueOf(source).isString) {
        return DpiClassFromNumber(DpiNumberFromText(reading.text));
    }
    return DpiClassFromNumber(static_cast<long long>(reading.number));
}

} // namespace controls
