// The checker's start-up decisions, over plain answers of the system.
#pragma once

enum class VettorMode {
    // Validate the lists in the hidden dialog.
    Checker,
    // Ask the launch service for an elevated start, then exit.
    Relaunch,
};

// Only a standard user on Vista or later needs the relaunch.
VettorMode ChooseVettorMode(bool isAdministrator, bool isVistaOrLater);

// From GetVersionExA: a failed query counts as older than Vista.
bool IsVistaOrLaterVersion(bool queryOk, unsigned long platformId, unsigned long majorVersion);

// Relaunch mode waits for the launch service only when it is not running yet.
unsigned RelaunchServiceWaitMs(bool serviceRunning);

// The administrator test: the token is a member of BUILTIN\Administrators, or,
// on Vista and later, its linked token is (an administrator whose process is
// not elevated). Any failed step counts as "not a member".
bool IsAdministratorFromTokens(bool tokenIsMember, bool versionQueryOk, unsigned long majorVersion,
                               bool linkedTokenIsMember);
