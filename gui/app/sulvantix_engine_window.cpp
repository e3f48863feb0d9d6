#include "gui/app/sulvantix_engine_window.h"

#include "gui/app/color_message_box.h"
#include "gui/app/sulvantix_dlg.h"

CSulvantixEngineWindow::CSulvantixEngineWindow(CSulvantixDlg& dialog)
    : CDialogEngineWindow(dialog), m_main(dialog) {}

void CSulvantixEngineWindow::ShowMessageBox(const std::string& text) {
    CColorMessageBox box(text);
    box.DoModal();
}

void CSulvantixEngineWindow::SetStartStopLook(bool stopLook) {
    m_main.SetStartStopSkin(stopLook);
}
