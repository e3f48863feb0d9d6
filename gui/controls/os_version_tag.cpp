#include "os_version_tag.h"

namespace controls {

const char* const kCurrentVersionKey = "Software\\Microsoft\\Windows\\CurrentVersion";
const char* const kCurrentVersionValue = "Version";

std::string OsVerTagFor(const winhelpers::OsVersionRecord& record) {
    return winhelpers::WindowsNameFor(record, winhelpers::WindowsNameTable::kCpuInfo);
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
