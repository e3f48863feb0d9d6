#include "gui/app/dialog_engine_window.h"

#include <commctrl.h>

#include "framework/app.h"
#include "framework/controls.h"
#include "gui/engine/proxy_list_box.h"
#include "resources/sulvantix/sulvantix_resource.h"

namespace {

// Disabled while the engine is busy; Start/Stop follows the list instead.
const int kBusyButtons[] = {IDC_REMOVE, IDC_VETTOR, IDC_UPDATE, IDC_ADD};

} // namespace

void CDialogEngineWindow::ShowList(CProxyList& list) {
    HWND box = Item(IDC_PROXY_LIST);
    ShowProxyList(box, list);
    if (::SendMessageA(box, LB_GETCOUNT, 0, 0) > 0) {
        ::SendMessageA(box, LB_SETCURSEL, 0, 0);
    }
    EnableStartStopOnListCount();
}

void CDialogEngineWindow::ShowSelection(int index) {
    ::SendMessageA(Item(IDC_PROXY_LIST), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int CDialogEngineWindow::ShowAddedEntry(const std::string& entry) {
    const LRESULT at = ::SendMessageA(Item(IDC_PROXY_LIST), LB_ADDSTRING, 0,
                                      reinterpret_cast<LPARAM>(entry.c_str()));
    return at < 0 ? -1 : static_cast<int>(at);
}

int CDialogEngineWindow::ShowRemovedEntry(int index) {
    ::SendMessageA(Item(IDC_PROXY_LIST), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
    return ListSelection();
}

void CDialogEngineWindow::ShowButtons(const CEngineButtons& buttons) {
    for (int id : kBusyButtons) {
        ::EnableWindow(Item(id), buttons.m_bBusy ? FALSE : TRUE);
    }
    EnableStartStopOnListCount();
    if (buttons.m_bStopLook != m_bStopLookShown) {
        m_bStopLookShown = buttons.m_bStopLook;
        SetStartStopLook(buttons.m_bStopLook);
    }
    if (buttons.m_bFlashStartStop) {
        FlashStartStop();
    }
    if (buttons.m_bRepaintAll) {
        ::InvalidateRect(m_dialog.GetSafeHwnd(), nullptr, TRUE);
    }
}

void CDialogEngineWindow::ShowMessage(const std::string& text, EEngineMessage kind) {
    if (kind == EEngineMessage::Standard) {
        ShowStandardMessageBox(text);
        return;
    }
    ShowMessageBox(text);
    EnableStartStopOnListCount();
}

void CDialogEngineWindow::ShowStandardMessageBox(const std::string& text) {
    AfxMessageBox(text.c_str(), MB_OK);
}

void CDialogEngineWindow::SetStartStopLook(bool) {}

void CDialogEngineWindow::FlashStartStop() {
    ::FlashWindow(Item(IDC_START_STOP), FALSE);
}

void CDialogEngineWindow::EnableStartStopOnListCount() {
    const bool any = ::SendMessageA(Item(IDC_PROXY_LIST), LB_GETCOUNT, 0, 0) > 0;
    ::EnableWindow(Item(IDC_START_STOP), any ? TRUE : FALSE);
}

void CDialogEngineWindow::ClearTypedProxy() {
    ::SendMessageA(Item(IDC_PROXY_ADDRESS), IPM_CLEARADDRESS, 0, 0);
    HWND port = Item(IDC_PROXY_PORT);
    ::SendMessageA(port, WM_CLEAR, 0, 0);
    ::SetWindowTextA(port, "");
}

bool CDialogEngineWindow::ArmTimer(unsigned id, unsigned periodMs) {
    return ::SetTimer(m_dialog.GetSafeHwnd(), id, periodMs, nullptr) != 0;
}

void CDialogEngineWindow::KillTimer(unsigned id) {
    ::KillTimer(m_dialog.GetSafeHwnd(), id);
}

void CDialogEngineWindow::Quit(int exitCode, bool closeWindow) {
    if (closeWindow) {
        m_dialog.EndDialog(IDCANCEL);
    }
    ::PostQuitMessage(exitCode);
}

int CDialogEngineWindow::ListSelection() const {
    return static_cast<int>(::SendMessageA(Item(IDC_PROXY_LIST), LB_GETCURSEL, 0, 0));
}

std::string CDialogEngineWindow::PeriodText() const {
    CComboBox combo(Item(IDC_TIMER_COMBO));
    const int selected = combo.GetCurSel();
    return selected < 0 ? std::string() : combo.GetLBText(selected);
}

CTypedProxy CDialogEngineWindow::TypedProxy() const {
    CTypedProxy typed;
    DWORD address = 0;
    typed.m_nNonBlank = static_cast<int>(::SendMessageA(Item(IDC_PROXY_ADDRESS), IPM_GETADDRESS, 0,
                                                        reinterpret_cast<LPARAM>(&address)));
    typed.m_fields[0] = static_cast<std::uint8_t>(FIRST_IPADDRESS(address));
    typed.m_fields[1] = static_cast<std::uint8_t>(SECOND_IPADDRESS(address));
    typed.m_fields[2] = static_cast<std::uint8_t>(THIRD_IPADDRESS(address));
    typed.m_fields[3] = static_cast<std::uint8_t>(FOURTH_IPADDRESS(address));
    typed.m_strPort = CWnd(Item(IDC_PROXY_PORT)).GetWindowText();
    return typed;
}
