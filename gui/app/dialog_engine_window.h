// The main window's side of the engine seam: IEngineWindow over a dialog made
// from template 102, its controls found by their identifiers. The main
// window derives from it for the skinned message box and the Start/Stop
// skins; tests derive from it to record what the user would see.
#pragma once

#include <string>

#include "framework/dialog.h"
#include "gui/engine/engine_window.h"

class CDialogEngineWindow : public IEngineWindow {
public:
    explicit CDialogEngineWindow(CDialog& dialog) : m_dialog(dialog) {}

    // The box itself, then SetAnonimizeStatusOnListCount.
    void ShowMessage(const std::string& text) final;
    void ShowStandardMessage(const std::string& text) override;
    void EnableControlGroup(int group, bool disable) override;
    void SetAnonimizeStatusOnListCount() override;
    void UpdateData(bool save) override;
    void SetStartStopLook(bool stopLook) override;
    void FlashStartStop() override;
    void InvalidateAll() override;
    void CloseAndQuit(int exitCode) override;
    void PostQuit(int exitCode) override;
    int ListCount() override;
    int ListCurSel() override;
    void ListSetCurSel(int index) override;
    void ListSetSel(int index, bool select) override;
    std::string ListText(int index) override;
    void ListDeleteString(int index) override;
    int ListSelectString(const std::string& text) override;
    void ListAddString(const std::string& text) override;
    int LoadProxyListBox(const std::string& directory, std::vector<std::string>& staging) override;
    std::string TimerSelectionText() override;
    int AddressFields(std::uint8_t fields[4]) override;
    void ClearAddress() override;
    std::string PortText() override;
    void ClearPort() override;
    std::uintptr_t SetTimer(unsigned id, unsigned periodMs) override;
    void KillTimer(unsigned id) override;

protected:
    // Shows the message modally and returns when the user has closed it.
    virtual void ShowMessageBox(const std::string& text) = 0;

    HWND Item(int id) const { return ::GetDlgItem(m_dialog.GetSafeHwnd(), id); }
    CDialog& m_dialog;
};
