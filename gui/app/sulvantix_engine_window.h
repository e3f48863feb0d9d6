// The main window's answers to the engine: messages in the program's own
// message box, and the Start/Stop button's skins.
#pragma once

#include "dialog_engine_window.h"

class CSulvantixDlg;

class CSulvantixEngineWindow : public CDialogEngineWindow {
public:
    explicit CSulvantixEngineWindow(CSulvantixDlg& dialog);

    void SetStartStopLook(bool stopLook) override;

protected:
    void ShowMessageBox(const std::string& text) override;

private:
    CSulvantixDlg& m_main;
};
