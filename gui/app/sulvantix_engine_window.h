// The main window's answers to the engine: messages in the program's own
// message box, and the Start/Stop button's look.
#pragma once

#include "dialog_engine_window.h"

class CSulvantixEngineWindow : public CDialogEngineWindow {
public:
    using CDialogEngineWindow::CDialogEngineWindow;

    void SetStartStopLook(bool stopLook) override;

protected:
    void ShowMessageBox(const std::string& text) override;
};
