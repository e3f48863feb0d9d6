#include "gui/controls/cpu_info.h"

#include <windows.h>

#include "framework/trace.h"
#include "gui/controls/dpi_class_rules.h"
#include "gui/controls/os_version_tag_rules.h"

namespace {

// The process-wide Windows name, empty until a version record gave a name.
std::string g_strOSVerTagCache;

bool ReadVersionRecord(winhelpers::OsVersionRecord* record) {
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
        return false;
    }
    record->platformId = info.dwPlatformId;
    record->majorVersion = info.dwMajorVersion;
    record->minorVersion = info.dwMinorVersion;
    record->suiteMask = info.wSuiteMask;
    record->productType = info.wProductType;
    return true;
}

HKEY RootKey(unsigned long root) {
    switch (root) {
    case controls::kRootCurrentUser:
        return HKEY_CURRENT_USER;
    case controls::kRootCurrentConfig:
        return HKEY_CURRENT_CONFIG;
    default:
        return HKEY_LOCAL_MACHINE;
    }
}

} // namespace

std::string CCPUInfo::GetOSVerTag() {
    try {
        controls::OsVerTagSources sources;
        sources.readVersionValue = [this]() {
            std::string version;
            if (m_registry.KeyExists(controls::kCurrentVersionKey, HKEY_LOCAL_MACHINE)) {
                m_registry.ReadString(controls::kCurrentVersionKey, controls::kCurrentVersionValue,
                                      &version, HKEY_LOCAL_MACHINE);
            }
            return version;
        };
        sources.getVersion = ReadVersionRecord;
        return controls::ResolveOsVerTag(g_strOSVerTagCache, sources);
    } catch (...) {
        TraceText("Exception caught in CCPUInfo::GetOSVerTag");
        return std::string();
    }
}

unsigned CCPUInfo::GetDpiValue() {
    try {
        const controls::DpiSource source = controls::DpiSourceFor(GetOSVerTag());
        const controls::DpiRegistryValue where = controls::DpiRegistryValueOf(source);
        controls::DpiReading reading;
        if (where.isString) {
            reading.succeeded =
                m_registry.ReadString(where.key, where.value, &reading.text, RootKey(where.root));
        } else {
            DWORD number = 0;
            reading.succeeded =
                m_registry.ReadDword(where.key, where.value, &number, RootKey(where.root));
            reading.number = number;
        }
        return controls::DpiClassFor(source, reading);
    } catch (...) {
        TraceText("Exception caught in CCPUInfo::GetDpiValue");
        return 0;
    }
}
