// The checker's completion message to the GUI's main window: sent with
// SendMessageA, wParam and lParam 0, to the dialog window captioned
// "Sulvantix". The GUI keeps exactly that caption so the checker finds it.
#pragma once

#include <windows.h>

constexpr UINT WM_CHECKER_DONE = WM_APP + 101;

// FindWindowA's class and caption of the GUI's main window.
constexpr const char* kSulvantixWindowClass = "#32770";
constexpr const char* kSulvantixWindowCaption = "Sulvantix";
