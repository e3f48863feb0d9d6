#include "sulvantix_engine_window.h"

#include "gui/controls/color_message_box.h"
#include "resources/sulvantix/sulvantix_resource.h"

void CSulvantixEngineWindow::ShowMessageBox(const std::string& text) {
    CColorMessageBox box(text);
    box.DoModal();
}

void CSulvantixEngineWindow::SetStartStopLook(bool stopLook) {
    // The Start and Stop skins go here; until then the state reads as text.
    ::SetWindowTextA(Item(IDC_START_STOP), stopLook ? "Stop Anonymizing" : "Start Anonymizing");
}
