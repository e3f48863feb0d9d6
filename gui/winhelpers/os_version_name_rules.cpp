#include "gui/winhelpers/os_version_name_rules.h"

namespace winhelpers {

namespace {

std::string WorkstationName(const OsVersionRecord& r) {
    const unsigned long minor = r.minorVersion;
    if (r.majorVersion == 6) {
        return minor == 0 ? "Windows Vista" : std::string();
    }
    if (r.majorVersion == 5) {
        switch (minor) {
        case 2:
            return "Windows XP 64 bit";
        case 1:
            return (r.suiteMask & kSuitePersonal) != 0 ? "Windows XP Home Edition"
                                                       : "Windows XP Professional Edition";
        case 0:
            return "Windows 2000";
        default:
            return std::string();
        }
    }
    // Every other major version, older or newer, was taken for NT 4.0.
    return "Windows NT 4.0";
}

std::string ServerName(const OsVersionRecord& r) {
    if (r.majorVersion < 5) {
        return "Windows NT 4.0 Server";
    }
    std::string name = r.minorVersion == 2 ? "Windows .Net" : "Windows 2000";
    if ((r.suiteMask & kSuiteDataCenter) != 0) {
        name += " DataCenter Server";
    } else if ((r.suiteMask & kSuiteEnterprise) != 0) {
        name += " Enterprise Server";
    } else if (r.suiteMask == kSuiteBlade) {
        // Equality, not a bit test: a blade server with other suites is a plain server.
        name += " Web Server";
    } else {
        name += " Server";
    }
    return name;
}

std::string Windows9xName(const OsVersionRecord& r) {
    if (r.minorVersion < 10) {
        return "Windows 95";
    }
    if (r.minorVersion < 90) {
        return "Windows 98";
    }
    return "Windows ME";
}

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

} // namespace

std::string TrimWhiteSpace(const std::string& text) {
    std::string::size_type begin = 0;
    std::string::size_type end = text.size();
    while (begin < end && IsWhiteSpace(text[begin])) {
        ++begin;
    }
    while (end > begin && IsWhiteSpace(text[end - 1])) {
        --end;
    }
    return text.substr(begin, end - begin);
}

std::string OsVersionNameFor(const OsVersionRecord& record) {
    std::string name;
    if (record.platformId == kPlatformNt) {
        if (record.productType == kNtWorkstation) {
            name = WorkstationName(record);
        } else if (record.productType == kNtServer) {
            name = ServerName(record);
        }
        // Domain controllers (and any other product type) have no name.
    } else if (record.platformId == kPlatformWindows) {
        name = Windows9xName(record);
    }
    return TrimWhiteSpace(name);
}

} // namespace winhelpers
