// Who sits at the screen: the desktop shell's process, the user identifier of
// a process token in its text form, and the running Windows version's name.
// Stateless; callers make one on the stack.
#pragma once

#include <windows.h>

#include <string>

#include "framework/handle.h"

class CSystemHelper {
public:
    // The text form ("S-1-5-18") into text, *length characters offered. A
    // short buffer sets *length to the size needed and the last error to
    // ERROR_INSUFFICIENT_BUFFER; an invalid identifier gives false.
    bool SidToText(PSID sid, char* text, DWORD* length) const;

    // The token user's identifier text of a process, or empty.
    std::string GetTokenUserSid(HANDLE process) const;

    // This helper's name of the running version (it knows no Windows after
    // Vista), or empty.
    std::string GetOSVersionName() const;

    // A process of that executable name, opened with all access, or none. On
    // Windows 2000 the last "explorer.exe" of the snapshot, whatever the name.
    UniqueHandle FindProcess(const std::string& exeName) const;

    // The identifier text of the user who owns the first "explorer.exe", or empty.
    std::string GetExplorerUserSid() const;
};
