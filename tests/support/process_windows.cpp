#include "tests/support/process_windows.h"

#include <cstring>

namespace {

struct CWindowSearch {
    DWORD m_nProcessId;
    const char* m_pszClassName;
    std::vector<HWND> m_found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<CWindowSearch*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    char className[64] = {};
    if (owner == search->m_nProcessId &&
        (search->m_pszClassName == nullptr ||
         (::GetClassNameA(window, className, sizeof className) > 0 &&
          std::strcmp(className, search->m_pszClassName) == 0))) {
        search->m_found.push_back(window);
    }
    return TRUE;
}

} // namespace

std::vector<HWND> ProcessWindows(DWORD processId, const char* className) {
    CWindowSearch search{processId, className, {}};
    if (processId != 0) {
        ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    }
    return search.m_found;
}

HWND FindProcessWindow(DWORD processId, const std::function<bool(HWND)>& match,
                       const char* className) {
    for (HWND window : ProcessWindows(processId, className)) {
        if (match(window)) {
            return window;
        }
    }
    return nullptr;
}
