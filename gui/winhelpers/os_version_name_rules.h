// The system helper's Windows names from the fields of a version record
// (OSVERSIONINFOEXA), as plain functions. Its last named workstation release
// is Windows Vista.
#pragma once

#include <string>

namespace winhelpers {

// VER_PLATFORM_*, VER_NT_* and VER_SUITE_* values the tables look at.
constexpr unsigned long kPlatformWindows = 1; // VER_PLATFORM_WIN32_WINDOWS
constexpr unsigned long kPlatformNt = 2;      // VER_PLATFORM_WIN32_NT
constexpr unsigned char kNtWorkstation = 1;   // VER_NT_WORKSTATION
constexpr unsigned char kNtServer = 3;        // VER_NT_SERVER
constexpr unsigned short kSuiteEnterprise = 0x0002;
constexpr unsigned short kSuiteDataCenter = 0x0080;
constexpr unsigned short kSuitePersonal = 0x0200;
constexpr unsigned short kSuiteBlade = 0x0400;

// The fields of OSVERSIONINFOEXA the names depend on.
struct OsVersionRecord {
    unsigned long platformId = 0;
    unsigned long majorVersion = 0;
    unsigned long minorVersion = 0;
    unsigned short suiteMask = 0;
    unsigned char productType = 0;
};

// The name trimmed at both ends, or empty for a row without a name (every
// workstation 6.x after Vista among them).
std::string OsVersionNameFor(const OsVersionRecord& record);

// Trims the white space (as isspace) at both ends.
std::string TrimWhiteSpace(const std::string& text);

} // namespace winhelpers
