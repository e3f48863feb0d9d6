// The top-level windows of another program, found by its process id, as a
// user's eye finds them on the screen.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

// Top-level windows of the process in z-order, hidden ones too; with
// `className`, only the windows of that class (such as "#32770", a dialog).
std::vector<HWND> ProcessWindows(DWORD processId, const char* className = nullptr);

// The first of them that `match` accepts; null when none does.
HWND FindProcessWindow(DWORD processId, const std::function<bool(HWND)>& match,
                       const char* className = nullptr);
