#include "gui/winhelpers/process_match_rules.h"

namespace winhelpers {

const char* const kLastMatchWindowsName = "Windows 2000";
const char* const kDesktopShellExe = "explorer.exe";

namespace {

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

} // namespace

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::string::size_type i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

ProcessMatch MatchProcessEntry(const std::string& windowsName, const std::string& wantedExe,
                               const std::string& entryExe) {
    if (windowsName == kLastMatchWindowsName) {
        return EqualsIgnoringCase(entryExe, kDesktopShellExe) ? ProcessMatch::kOpenAndGoOn
                                                              : ProcessMatch::kSkip;
    }
    return EqualsIgnoringCase(entryExe, wantedExe) ? ProcessMatch::kOpenAndStop
                                                   : ProcessMatch::kSkip;
}

} // namespace winhelpers
