// The main window's side of the engine seam: IEngineWindow over a dialog made
// from template 102, its controls found by their identifiers, and what the
// user has chosen and typed there. The main window derives from it for the
// skinned message box and the Start/Stop skins; tests derive from it to
// record what the user would see.
#pragma once

#include <string>

#include "framework/dialog.h"
#include "gui/engine/engine_window.h"
#include "gui/engine/proxy_engine.h"

class CDialogEngineWindow : public IEngineWindow {
public:
    explicit CDialogEngineWindow(CDialog& dialog) : m_dialog(dialog) {}

    void ShowList(CProxyList& list) override;
    void ShowSelection(int index) override;
    int ShowAddedEntry(const std::string& entry) override;
    int ShowRemovedEntry(int index) override;
    void ShowButtons(const CEngineButtons& buttons) override;
    // A skinned box is followed by EnableStartStopOnListCount.
    void ShowMessage(const std::string& text, EEngineMessage kind) final;
    void ClearTypedProxy() override;
    bool ArmTimer(unsigned id, unsigned periodMs) override;
    void KillTimer(unsigned id) override;
    void Quit(int exitCode, bool closeWindow) override;

    // Start/Stop enabled exactly when the list box holds an entry.
    void EnableStartStopOnListCount();
    // The user's choices and typing as the controls hold them now.
    int ListSelection() const;
    std::string PeriodText() const;
    CTypedProxy TypedProxy() const;

protected:
    // Show the message modally and return when the user has closed it.
    virtual void ShowMessageBox(const std::string& text) = 0;
    virtual void ShowStandardMessageBox(const std::string& text);
    // The Start/Stop button's look, called when it changes.
    virtual void SetStartStopLook(bool stopLook);
    virtual void FlashStartStop();

    HWND Item(int id) const { return ::GetDlgItem(m_dialog.GetSafeHwnd(), id); }
    CDialog& m_dialog;

private:
    bool m_bStopLookShown = false;
};
