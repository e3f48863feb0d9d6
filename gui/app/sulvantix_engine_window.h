// The main window's answers to the engine: messages in the program's own
// message box, the Start/Stop button's skins, and the session and the proxy
// in force for the notification area.
#pragma once

#include "gui/app/dialog_engine_window.h"

class CSulvantixDlg;

class CSulvantixEngineWindow : public CDialogEngineWindow {
public:
    explicit CSulvantixEngineWindow(CSulvantixDlg& dialog);

    void ShowButtons(const CEngineButtons& buttons) override;
    void ShowProxyInForce(const std::string& entry, unsigned periodMs) override;

protected:
    void ShowMessageBox(const std::string& text) override;
    void SetStartStopLook(bool stopLook) override;

private:
    CSulvantixDlg& m_main;
};
