// The main window's answers to the engine: messages in the program's own
// message box, and the Start/Stop button's skins.
#pragma once

#include "gui/app/dialog_engine_window.h"

class CSulvantixDlg;

class CSulvantixEngineWindow : public CDialogEngineWindow {
public:
    explicit CSulvantixEngineWindow(CSulvantixDlg& dialog);

protected:
    void ShowMessageBox(const std::string& text) override;
    void SetStartStopLook(bool stopLook) override;

private:
    CSulvantixDlg& m_main;
};
