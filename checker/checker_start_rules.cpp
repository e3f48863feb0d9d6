#include "checker/checker_start_rules.h"

namespace {
constexpr unsigned long kPlatformWin32Nt = 2;
constexpr unsigned long kVistaMajorVersion = 6;
constexpr unsigned kServiceStartWaitMs = 90000;
} // namespace

VettorMode ChooseVettorMode(bool isAdministrator, bool isVistaOrLater) {
    return !isAdministrator && isVistaOrLater ? VettorMode::Relaunch : VettorMode::Checker;
}

bool IsVistaOrLaterVersion(bool queryOk, unsigned long platformId, unsigned long majorVersion) {
    return queryOk && platformId == kPlatformWin32Nt && majorVersion >= kVistaMajorVersion;
}

unsigned RelaunchServiceWaitMs(bool serviceRunning) {
    return serviceRunning ? 0u : kServiceStartWaitMs;
}

bool IsAdministratorFromTokens(bool tokenIsMember, bool versionQueryOk, unsigned long majorVersion,
                               bool linkedTokenIsMember) {
    if (tokenIsMember) {
        return true;
    }
    return versionQueryOk && majorVersion >= kVistaMajorVersion && linkedTokenIsMember;
}
