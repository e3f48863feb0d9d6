// Whether the user counts as an administrator: the process token, or on
// Vista and later its linked token, is a member of BUILTIN\Administrators.
#pragma once

#include <windows.h>

// `rightsLibrary` is the loaded "Advapi32.dll" that supplies CreateWellKnownSid.
// Every failed step answers false.
bool IsUserAdministrator(HMODULE rightsLibrary);
