// The display metrics' Windows name: the system helper's version table with
// Windows 7 and 8 added, the "98" rule of the current-version registry value,
// and the process-wide name cache.
#pragma once

#include <functional>
#include <string>

#include "gui/winhelpers/os_version_name_rules.h"

namespace controls {

// HKEY_LOCAL_MACHINE key and string value that may name Windows 98.
extern const char* const kCurrentVersionKey;
extern const char* const kCurrentVersionValue;

// The name the version record gives by the display metrics' table, or empty:
// the system helper's name, except that workstations 6.1 and 6.2 are
// "Windows 7" and "Windows 8".
std::string OsVerTagFor(const winhelpers::OsVersionRecord& record);

// True when the current-version "Version" text names Windows 98.
bool VersionValueSays98(const std::string& versionValue);

// How the name's inputs are gathered, each asked only when it is needed.
struct OsVerTagSources {
    // The "Version" text under the current-version key; empty when the key or
    // the value is missing.
    std::function<std::string()> readVersionValue;
    // Fills the record; false when GetVersionExA fails.
    std::function<bool(winhelpers::OsVersionRecord*)> getVersion;
};

// A cached name is returned as is. Otherwise the "98" registry rule answers
// "Windows 98" without caching it; then the version record's name is stored
// in the cache (a row without a name leaves it empty, so the next call asks
// again). A failing version call returns the cache unchanged.
std::string ResolveOsVerTag(std::string& cache, const OsVerTagSources& sources);

} // namespace controls
