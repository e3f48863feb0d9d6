// Run once before the window tests. Under Wine without a window manager
// (Xvfb), hiding or destroying a visible top-level window waits two seconds
// for a manager that never answers. This asks Wine, for each program named on
// the command line only, not to hand its windows to a window manager. Wine
// reads the setting when a program starts, so it cannot be set from inside the
// program itself. On Windows it does nothing.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

bool IsWine() {
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

bool SetUnmanaged(const std::string& exe) {
    std::string key = "Software\\Wine\\AppDefaults\\" + exe + "\\X11 Driver";
    HKEY h = nullptr;
    if (::RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &h,
                          nullptr) != ERROR_SUCCESS) {
        return false;
    }
    LONG rc = ::RegSetValueExA(h, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    ::RegCloseKey(h);
    return rc == ERROR_SUCCESS;
}

} // namespace

int main(int argc, char** argv) {
    if (!IsWine()) {
        return 0;
    }
    int failures = 0;
    for (int i = 1; i < argc; ++i) {
        if (!SetUnmanaged(argv[i])) {
            std::fprintf(stderr, "cannot set the window setting of %s\n", argv[i]);
            ++failures;
        }
    }
    return failures == 0 ? 0 : 1;
}
