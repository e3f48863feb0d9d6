#include "gui/app/sulvantix_engine_window.h"

#include "gui/app/color_message_box.h"
#include "gui/app/sulvantix_dlg.h"

CSulvantixEngineWindow::CSulvantixEngineWindow(CSulvantixDlg& dialog)
    : CDialogEngineWindow(dialog), m_main(dialog) {}

void CSulvantixEngineWindow::ShowButtons(const CEngineButtons& buttons) {
    CDialogEngineWindow::ShowButtons(buttons);
    // The Stop look is the session's: on from Start until the settings are back.
    m_main.ShowSessionInTray(buttons.m_bStopLook);
}

void CSulvantixEngineWindow::ShowProxyInForce(const std::string& entry, unsigned periodMs) {
    m_main.ShowProxyInForce(entry, periodMs);
}

void CSulvantixEngineWindow::ShowMessageBox(const std::string& text) {
    CColorMessageBox box(text);
    box.DoModal();
}

void CSulvantixEngineWindow::SetStartStopLook(bool stopLook) {
    m_main.SetStartStopSkin(stopLook);
}
