#include "dialog_engine_window.h"

#include <commctrl.h>

#include <iterator>

#include "framework/app.h"
#include "framework/controls.h"
#include "gui/engine/proxy_list_loader.h"
#include "resources/sulvantix/sulvantix_resource.h"

namespace {

// The buttons of each group, in the order they are switched.
const int kGroup1[] = {IDC_REMOVE, IDC_VETTOR, IDC_START_STOP, IDC_ADD, IDC_UPDATE};
const int kGroup2[] = {IDC_REMOVE, IDC_VETTOR, IDC_UPDATE, IDC_ADD};
const int kGroup3[] = {IDC_REMOVE, IDC_UPDATE, IDC_ADD, IDC_START_STOP, IDC_VETTOR};

} // namespace

void CDialogEngineWindow::ShowMessage(const std::string& text) {
    ShowMessageBox(text);
    SetAnonimizeStatusOnListCount();
}

void CDialogEngineWindow::ShowStandardMessage(const std::string& text) {
    AfxMessageBox(text.c_str(), MB_OK);
}

void CDialogEngineWindow::EnableControlGroup(int group, bool disable) {
    const int* begin = nullptr;
    const int* end = nullptr;
    switch (group) {
    case 1:
        begin = std::begin(kGroup1);
        end = std::end(kGroup1);
        break;
    case 2:
        begin = std::begin(kGroup2);
        end = std::end(kGroup2);
        break;
    case 3:
        begin = std::begin(kGroup3);
        end = std::end(kGroup3);
        break;
    default:
        break;
    }
    for (const int* id = begin; id != end; ++id) {
        ::EnableWindow(Item(*id), disable ? FALSE : TRUE);
    }
    SetAnonimizeStatusOnListCount();
}

void CDialogEngineWindow::SetAnonimizeStatusOnListCount() {
    const bool any = ::SendMessageA(Item(IDC_PROXY_LIST), LB_GETCOUNT, 0, 0) > 0;
    ::EnableWindow(Item(IDC_START_STOP), any ? TRUE : FALSE);
}

void CDialogEngineWindow::UpdateData(bool save) {
    m_dialog.UpdateData(save ? TRUE : FALSE);
}

void CDialogEngineWindow::SetStartStopLook(bool) {}

void CDialogEngineWindow::FlashStartStop() {
    ::FlashWindow(Item(IDC_START_STOP), FALSE);
}

void CDialogEngineWindow::InvalidateAll() {
    ::InvalidateRect(m_dialog.GetSafeHwnd(), nullptr, TRUE);
}

void CDialogEngineWindow::CloseAndQuit(int exitCode) {
    m_dialog.EndDialog(IDCANCEL);
    ::PostQuitMessage(exitCode);
}

void CDialogEngineWindow::PostQuit(int exitCode) {
    ::PostQuitMessage(exitCode);
}

int CDialogEngineWindow::ListCount() {
    return static_cast<int>(::SendMessageA(Item(IDC_PROXY_LIST), LB_GETCOUNT, 0, 0));
}

int CDialogEngineWindow::ListCurSel() {
    return static_cast<int>(::SendMessageA(Item(IDC_PROXY_LIST), LB_GETCURSEL, 0, 0));
}

void CDialogEngineWindow::ListSetCurSel(int index) {
    ::SendMessageA(Item(IDC_PROXY_LIST), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void CDialogEngineWindow::ListSetSel(int index, bool select) {
    ::SendMessageA(Item(IDC_PROXY_LIST), LB_SETSEL, select ? TRUE : FALSE,
                   static_cast<LPARAM>(index));
}

std::string CDialogEngineWindow::ListText(int index) {
    return CListBox(Item(IDC_PROXY_LIST)).GetText(index);
}

void CDialogEngineWindow::ListDeleteString(int index) {
    ::SendMessageA(Item(IDC_PROXY_LIST), LB_DELETESTRING, static_cast<WPARAM>(index), 0);
}

int CDialogEngineWindow::ListSelectString(const std::string& text) {
    const LRESULT found =
        ::SendMessageA(Item(IDC_PROXY_LIST), LB_SELECTSTRING, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(text.c_str()));
    return found == LB_ERR ? -1 : static_cast<int>(found);
}

void CDialogEngineWindow::ListAddString(const std::string& text) {
    ::SendMessageA(Item(IDC_PROXY_LIST), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

int CDialogEngineWindow::LoadProxyListBox(const std::string& directory,
                                          std::vector<std::string>& staging) {
    // The compact load keeps a huge list's memory to a few times its file; a
    // string per staged line would cost ten times or more.
    staging.clear();
    return ::LoadProxyLists(Item(IDC_PROXY_LIST), Item(IDC_START_STOP), directory);
}

std::string CDialogEngineWindow::TimerSelectionText() {
    CComboBox combo(Item(IDC_TIMER_COMBO));
    const int selected = combo.GetCurSel();
    return selected < 0 ? std::string() : combo.GetLBText(selected);
}

int CDialogEngineWindow::AddressFields(std::uint8_t fields[4]) {
    DWORD address = 0;
    const int nonBlank = static_cast<int>(::SendMessageA(Item(IDC_PROXY_ADDRESS), IPM_GETADDRESS, 0,
                                                         reinterpret_cast<LPARAM>(&address)));
    fields[0] = static_cast<std::uint8_t>(FIRST_IPADDRESS(address));
    fields[1] = static_cast<std::uint8_t>(SECOND_IPADDRESS(address));
    fields[2] = static_cast<std::uint8_t>(THIRD_IPADDRESS(address));
    fields[3] = static_cast<std::uint8_t>(FOURTH_IPADDRESS(address));
    return nonBlank;
}

void CDialogEngineWindow::ClearAddress() {
    ::SendMessageA(Item(IDC_PROXY_ADDRESS), IPM_CLEARADDRESS, 0, 0);
}

std::string CDialogEngineWindow::PortText() {
    return CWnd(Item(IDC_PROXY_PORT)).GetWindowText();
}

void CDialogEngineWindow::ClearPort() {
    HWND port = Item(IDC_PROXY_PORT);
    ::SendMessageA(port, WM_CLEAR, 0, 0);
    ::SetWindowTextA(port, "");
}

std::uintptr_t CDialogEngineWindow::SetTimer(unsigned id, unsigned periodMs) {
    return ::SetTimer(m_dialog.GetSafeHwnd(), id, periodMs, nullptr);
}

void CDialogEngineWindow::KillTimer(unsigned id) {
    ::KillTimer(m_dialog.GetSafeHwnd(), id);
}
