#include "gui/controls/os_version_tag_rules.h"

namespace controls {

const char* const kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
const char* const kCurrentVersionValue = "Version";

std::string OsVerTagFor(const winhelpers::OsVersionRecord& record) {
    if (record.platformId == winhelpers::kPlatformNt &&
        record.productType == winhelpers::kNtWorkstation && record.majorVersion == 6) {
        if (record.minorVersion == 1) {
            return "Windows 7";
        }
        if (record.minorVersion == 2) {
            return "Windows 8";
        }
    }
    return winhelpers::OsVersionNameFor(record);
}

bool VersionValueSays98(const std::string& versionValue) {
    return versionValue.find("98") != std::string::npos;
}

std::string ResolveOsVerTag(std::string& cache, const OsVerTagSources& sources) {
    if (!cache.empty()) {
        return cache;
    }
    if (sources.readVersionValue && VersionValueSays98(sources.readVersionValue())) {
        return "Windows 98";
    }
    winhelpers::OsVersionRecord record;
    if (!sources.getVersion || !sources.getVersion(&record)) {
        return cache;
    }
    cache = winhelpers::TrimWhiteSpace(OsVerTagFor(record));
    return cache;
}

} // namespace controls
