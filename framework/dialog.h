// Dialogs from resource templates or from in-memory templates, run modally
// (DoModal, with the framework's own modal loop) or modeless (Create).
//
// The dialog procedure only hands the object to the window at WM_INITDIALOG;
// from then on every message goes through the object's subclass (CWnd), and
// unhandled ones reach the dialog manager's default processing.
//
// A dialog made from a resource template first applies its initialisation
// data, when the module has some for its id (dialog_init_data.h): the list and
// combo box strings are in place before OnInitDialog runs.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "framework/wnd.h"

class CDataExchange;

class CDialog : public CWnd {
public:
    static const CRuntimeClass classCDialog;
    const CRuntimeClass* GetRuntimeClass() const override;

    // Template from the resource module (AfxGetResourceHandle).
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    // Template bytes (e.g. CDialogTemplate::Build), copied.
    explicit CDialog(std::vector<std::uint8_t> memoryTemplate, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally and answers the EndDialog code, or -1 when the
    // dialog could not be created. A dialog without a parent is owned by the
    // application's main window when there is one; an owner on this thread is
    // disabled while the dialog runs (one on another thread is not touched:
    // disabling it would wait on that thread).
    INT_PTR DoModal();
    // Creates the dialog modeless; destroy it with DestroyWindow or by
    // destroying the object.
    bool Create(CWnd* parent = nullptr);
    // Modal: ends the modal loop with the code. Modeless: hides the dialog.
    void EndDialog(INT_PTR result);
    bool IsModalRunning() const { return m_bModalRunning; }

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange* dx);
    // Transfers between controls and members through DoDataExchange: true
    // saves the controls into the members, false loads the controls.
    BOOL UpdateData(BOOL saveAndValidate = TRUE);

    bool SetDefID(UINT id) const { return SendMessage(DM_SETDEFID, id) != 0; }

    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    // Dialog keyboard handling (Tab, Enter, Escape, mnemonics).
    bool PreTranslateMessage(MSG* msg) override;
    void PostNcDestroy() override;

protected:
    CWnd* m_pParentWnd;

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND CreateFromTemplate(HWND owner);
    HWND ChooseOwner() const;
    void ApplyInitData() const;
    void RunModalLoop();

    UINT m_nTemplateId = 0;
    std::vector<std::uint8_t> m_memoryTemplate;
    bool m_bModalRunning = false;
    std::atomic<bool> m_bEndModal{false};
    std::atomic<INT_PTR> m_nModalResult{-1};
};

// Dialog data exchange: one direction per UpdateData call.
class CDataExchange {
public:
    CDataExchange(CWnd* dialog, bool saveAndValidate)
        : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}
    bool m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
};

// Attaches the control object to the dialog's control on first use.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
// Lends a plain wrapper the dialog's control on first use, without attaching:
// a control that handles none of its own messages needs no subclass, and
// under Wine every message through a subclass costs two trips to the server
// (a list box filled with 50,000 entries takes seconds instead of a fraction).
void DDX_Handle(CDataExchange* dx, int id, CWnd& control);
void DDX_Text(CDataExchange* dx, int id, std::string& value);
// Selected index of a combo box (CB_ERR, -1, for none).
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
// Check state of a button (BST_UNCHECKED, BST_CHECKED, BST_INDETERMINATE).
void DDX_Check(CDataExchange* dx, int id, int& state);
