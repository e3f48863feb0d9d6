// Starts one of our programs in a user's session: winsta0\default, the
// account ChooseLaunchAccount picks from the session's user token, and that
// account's own environment. Every start and every reason not to start is
// traced.
#pragma once

#include <windows.h>

#include <string>

#include "framework/handle.h"
#include "service/launch_account.h"

// Starts `programPath` (quoted, no arguments, its own folder as the working
// directory) in the session; the new process, or an empty handle when nothing
// was started.
UniqueHandle StartInSession(DWORD sessionId, const std::string& programPath, LaunchPurpose purpose);
