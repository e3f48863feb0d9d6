// The checker's application object. At start it opens the shared link and
// chooses its mode: the hidden checker dialog, or, for a standard user on
// Vista or later, a relaunch request to the launch service.
#pragma once

#include <windows.h>

#include "framework/app.h"
#include "shared/shared_link.h"

class CVettorApp : public CWinApp {
public:
    CVettorApp() = default;
    ~CVettorApp() override;

    // Runs the chosen mode to its end and answers FALSE: the program then ends.
    BOOL InitInstance() override;

private:
    void RunRelaunchMode();
    void RunCheckerMode();

    CSharedLink m_link;
    bool m_bIsAdministrator = false;
    // "Advapi32.dll", kept loaded for the program's life.
    HMODULE m_hRightsLibrary = nullptr;
};
