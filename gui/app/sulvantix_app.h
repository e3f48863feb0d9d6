// The GUI program's application object: start-up checks, the single
// instance, sockets, display scaling, the font table, and the main window run
// modally. The program ends when the window does.
#pragma once

#include <windows.h>

#include "framework/app.h"
#include "gui/app/single_instance.h"
#include "gui/controls/app_font_table.h"

class CSulvantixApp : public CWinApp, public CSingleInstance {
public:
    CSulvantixApp() = default;
    ~CSulvantixApp() override;

    // Runs the main window to its end and answers FALSE.
    BOOL InitInstance() override;
    // TRUE when the user may create a key under HKEY_LOCAL_MACHINE.
    BOOL CheckRegistryRights();

    unsigned m_nDPIValue = 0;
    CAppFontTable m_apFonts;

private:
    bool m_bSocketsStarted = false;
};
