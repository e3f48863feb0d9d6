// The running Windows version's name and the display-scaling class (96, 120
// or 98120) the skins choose their layouts by. Reads go through the registry
// wrapper, whose construction here first fixes the desktop user's hive.
#pragma once

#include <string>

#include "gui/winhelpers/registry.h"

class CCPUInfo {
public:
    // The display metrics' name of the running version, or empty. The first
    // name computed from the version record is kept for the process.
    std::string GetOSVerTag();
    // 96, 120 or 98120; 0 after an exception.
    unsigned GetDpiValue();

private:
    CRegistry m_registry;
};
