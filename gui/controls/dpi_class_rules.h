// The display-scaling class (96, 120 or 98120) from the Windows name and the
// number one registry source gave. The Win32 side performs the read named by
// DpiSourceFor and hands over what it got.
#pragma once

#include <string>

namespace controls {

// The three class keys; callers compare for equality, they are not resolutions.
constexpr unsigned kDpiNormal = 96;
constexpr unsigned kDpiLarge = 120;
constexpr unsigned kDpiLarge9x = 98120;

// Predefined registry roots, as their handle values.
constexpr unsigned long kRootCurrentUser = 0x80000001ul;
constexpr unsigned long kRootLocalMachine = 0x80000002ul;
constexpr unsigned long kRootCurrentConfig = 0x80000005ul;

enum class DpiSource {
    kUserDesktop,     // Windows 7 and 8: the user's desktop LogPixels (REG_DWORD)
    kDisplaySettings, // Windows 98 and ME: DPIPhysicalX of the current config (string)
    kFontsProfile,    // everything else: the hardware profile's fonts LogPixels (REG_DWORD)
};

struct DpiRegistryValue {
    unsigned long root;
    const char* key;
    const char* value;
    bool isString; // read with ReadString and taken as a decimal number, else ReadDword
};

// "Windows 8..." becomes "Windows 8", then "Windows 7..." becomes "Windows 7".
std::string NormalizeDpiWindowsName(const std::string& windowsName);

// Which source answers for a Windows name (normalised here first).
DpiSource DpiSourceFor(const std::string& windowsName);
DpiRegistryValue DpiRegistryValueOf(DpiSource source);

// What the read gave: a DWORD number, or the text of a string value.
struct DpiReading {
    bool succeeded = false;
    unsigned long number = 0;
    std::string text;
};

// A DPIPhysicalX text as a decimal number (leading blanks and a sign allowed,
// digits up to the first other character, 0 without digits); the exact text
// "120" stands for the Windows 9x large class and gives 98120.
long long DpiNumberFromText(const std::string& text);

// Up to 96 gives 96, exactly 98120 gives 98120, anything else 120.
unsigned DpiClassFromNumber(long long value);

// The class for what the source's read gave; a failed read gives 96.
unsigned DpiClassFor(DpiSource source, const DpiReading& reading);

} // namespace controls
