// Which process-snapshot entries the process search takes. On Windows 2000
// every desktop shell seen is opened and the walk goes on, so the last one wins;
// elsewhere the first entry with the wanted name ends the walk.
#pragma once

#include <string>

namespace winhelpers {

// The Windows name under which the search keeps the last match.
extern const char* const kLastMatchWindowsName; // "Windows 2000"
extern const char* const kDesktopShellExe;      // "explorer.exe"

enum class ProcessMatch {
    kSkip,        // not this entry
    kOpenAndStop, // open it; the walk ends with it
    kOpenAndGoOn, // open it in place of an earlier match; keep walking
};

// ASCII case folding, as executable names compare.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);

// windowsName: the system helper's name of the running version. On Windows
// 2000 the entry is compared with "explorer.exe" itself, not the wanted name.
ProcessMatch MatchProcessEntry(const std::string& windowsName, const std::string& wantedExe,
                               const std::string& entryExe);

} // namespace winhelpers
