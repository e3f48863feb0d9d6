// A stand-in for the GUI's main window as the checker finds it: a top-level
// dialog window (class "#32770") captioned "Sulvantix", counting the
// completion messages it receives. Lives on the creating thread, which must
// pump messages (tests/support/message_pump.h) for the checker's SendMessageA
// to return.
#pragma once

#include <windows.h>

class CGuiStandInWindow {
public:
    CGuiStandInWindow();
    ~CGuiStandInWindow();
    CGuiStandInWindow(const CGuiStandInWindow&) = delete;
    CGuiStandInWindow& operator=(const CGuiStandInWindow&) = delete;

    HWND Handle() const { return m_hWnd; }
    // Completion messages so far, and whether every one had wParam and lParam 0.
    int DoneCount() const { return m_nDone; }
    bool AllDoneParamsZero() const { return m_bParamsZero; }
    // GetTickCount of the last completion message.
    DWORD LastDoneTick() const { return m_nLastDoneTick; }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    int m_nDone = 0;
    bool m_bParamsZero = true;
    DWORD m_nLastDoneTick = 0;
};
