// The application object: one static instance per program, found by our own
// WinMain (winmain.cpp, target sulvantix_winmain). WinMain calls InitInstance;
// when it answers FALSE the program ends at once (after ExitInstance), else
// Run pumps messages until WM_QUIT and answers ExitInstance.
#pragma once

#include <windows.h>

#include <atomic>
#include <string>

#include "framework/object.h"

class CWnd;

class CWinApp : public CCmdTarget {
public:
    static const CRuntimeClass classCWinApp;
    const CRuntimeClass* GetRuntimeClass() const override;

    // The first application object constructed is the program's (AfxGetApp).
    CWinApp();
    ~CWinApp() override;
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    // The program's exit code; the default is the WM_QUIT code Run saw (0 when
    // none was seen).
    virtual int ExitInstance();
    virtual int Run();
    // Handles one message of the calling thread's queue (waiting for one);
    // false on WM_QUIT, which is posted again for the loop that owns it.
    virtual bool PumpMessage();

    HINSTANCE m_hInstance;
    int m_nCmdShow = SW_SHOWDEFAULT;
    // The main window while it runs. Atomic: other threads read it (the
    // single-instance wake-up); only the user-interface thread writes it.
    std::atomic<CWnd*> m_pMainWnd{nullptr};

protected:
    int m_nQuitCode = 0;
};

CWinApp* AfxGetApp();
// The program file's name without directory and extension ("Sulvantix").
const char* AfxGetAppName();
HINSTANCE AfxGetInstanceHandle();
// The module that holds dialogs, bitmaps and strings: the program itself.
HINSTANCE AfxGetResourceHandle();
CWnd* AfxGetMainWnd();
HWND AfxGetMainWndHandle();
// Standard message box owned by the main window, captioned with the
// application name. The ID form loads the text from a string resource.
int AfxMessageBox(const char* text, UINT type = MB_OK);
int AfxMessageBox(UINT promptId, UINT type = MB_OK);
// PumpMessage of the application, or of the framework when there is none.
bool AfxPumpMessage();
// What WinMain does; separate so a test can run it.
int AfxWinMain(HINSTANCE instance, int cmdShow);
