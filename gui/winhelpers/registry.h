// Read-only registry access for the program. It runs elevated, possibly under
// another account than the person at the screen, so HKEY_CURRENT_USER is sent
// to HKEY_USERS under the identifier of the user who owns the desktop shell.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/handle.h"

// The desktop user's identifier text and "\", or empty while not known. Filled
// by the first construction of CRegistry that finds "explorer.exe".
extern std::string g_strUserHivePrefix;

struct RegKeyTraits {
    using Handle = HKEY;
    static bool IsEmpty(HKEY h) { return h == nullptr; }
    static HKEY Empty() { return nullptr; }
    static void Close(HKEY h) { ::RegCloseKey(h); }
};
using UniqueRegKey = CUniqueResource<RegKeyTraits>;

// Every operation takes its root last, sends HKEY_CURRENT_USER to the desktop
// user's hive once that is known, and answers false on any failure.
class CRegistry {
public:
    CRegistry();
    virtual ~CRegistry();

    bool KeyExists(std::string subkey, HKEY root) const;
    // REG_DWORD only; *value is 0 unless the read succeeds.
    bool ReadDword(std::string subkey, std::string valueName, DWORD* value, HKEY root) const;
    // REG_SZ or REG_EXPAND_SZ (%-references left as stored), always terminated;
    // *text is empty unless the read succeeds.
    bool ReadString(std::string subkey, std::string valueName, std::string* text, HKEY root) const;
    // Appends the subkey names; true when *names holds any name afterwards.
    bool EnumSubKeys(std::string subkey, std::vector<std::string>* names, HKEY root) const;
};
