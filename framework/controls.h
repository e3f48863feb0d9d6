// Control wrappers: one-line message forwards over CWnd. They own nothing; a
// derived skinned control attaches with SubclassDlgItem (or DDX_Control) and
// then receives its own messages and the parent's reflected ones.
#pragma once

#include <string>

#include "framework/wnd.h"

class CButton : public CWnd {
public:
    static const CRuntimeClass classCButton;
    const CRuntimeClass* GetRuntimeClass() const override;

    CButton() = default;
    explicit CButton(HWND hwnd) : CWnd(hwnd) {}

    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int check) const { SendMessage(BM_SETCHECK, static_cast<WPARAM>(check)); }
    UINT GetState() const { return static_cast<UINT>(SendMessage(BM_GETSTATE)); }
    void SetState(bool pushed) const { SendMessage(BM_SETSTATE, pushed ? TRUE : FALSE); }
    UINT GetButtonStyle() const { return static_cast<UINT>(GetStyle() & 0xFFFF); }
    void SetButtonStyle(UINT style, bool redraw = true) const {
        SendMessage(BM_SETSTYLE, style, redraw ? TRUE : FALSE);
    }

    // Owner drawing, for the reflected WM_DRAWITEM of an owner-drawn button.
    virtual void DrawItem(DRAWITEMSTRUCT* item);
    bool OnChildDrawItem(DRAWITEMSTRUCT* item) override;
};

class CStatic : public CWnd {
public:
    static const CRuntimeClass classCStatic;
    const CRuntimeClass* GetRuntimeClass() const override;

    CStatic() = default;
    explicit CStatic(HWND hwnd) : CWnd(hwnd) {}

    HICON SetIcon(HICON icon) const {
        return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
    }
};

class CEdit : public CWnd {
public:
    static const CRuntimeClass classCEdit;
    const CRuntimeClass* GetRuntimeClass() const override;

    CEdit() = default;
    explicit CEdit(HWND hwnd) : CWnd(hwnd) {}

    void LimitText(int maxChars) const { SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(maxChars)); }
    void SetSel(int start, int end) const {
        SendMessage(EM_SETSEL, static_cast<WPARAM>(start), static_cast<LPARAM>(end));
    }
    void ReplaceSel(const char* text) const {
        SendMessage(EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
    }
    void Clear() const { SendMessage(WM_CLEAR); }
};

class CListBox : public CWnd {
public:
    static const CRuntimeClass classCListBox;
    const CRuntimeClass* GetRuntimeClass() const override;

    CListBox() = default;
    explicit CListBox(HWND hwnd) : CWnd(hwnd) {}

    int GetCount() const { return static_cast<int>(SendMessage(LB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(LB_GETCURSEL)); }
    int SetCurSel(int index) const {
        return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index)));
    }
    int SetSel(int index, bool select = true) const {
        return static_cast<int>(
            SendMessage(LB_SETSEL, select ? TRUE : FALSE, static_cast<LPARAM>(index)));
    }
    int GetTextLen(int index) const {
        return static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(index)));
    }
    // The item's text; empty for an index out of range.
    std::string GetText(int index) const;
    int AddString(const char* text) const {
        return static_cast<int>(SendMessage(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    int InsertString(int index, const char* text) const {
        return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index),
                                            reinterpret_cast<LPARAM>(text)));
    }
    int DeleteString(int index) const {
        return static_cast<int>(SendMessage(LB_DELETESTRING, static_cast<WPARAM>(index)));
    }
    void ResetContent() const { SendMessage(LB_RESETCONTENT); }
    int FindString(int startAfter, const char* text) const {
        return static_cast<int>(SendMessage(LB_FINDSTRING, static_cast<WPARAM>(startAfter),
                                            reinterpret_cast<LPARAM>(text)));
    }
    int FindStringExact(int startAfter, const char* text) const {
        return static_cast<int>(SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(startAfter),
                                            reinterpret_cast<LPARAM>(text)));
    }
    int SelectString(int startAfter, const char* text) const {
        return static_cast<int>(SendMessage(LB_SELECTSTRING, static_cast<WPARAM>(startAfter),
                                            reinterpret_cast<LPARAM>(text)));
    }
};

class CComboBox : public CWnd {
public:
    static const CRuntimeClass classCComboBox;
    const CRuntimeClass* GetRuntimeClass() const override;

    CComboBox() = default;
    explicit CComboBox(HWND hwnd) : CWnd(hwnd) {}

    int GetCount() const { return static_cast<int>(SendMessage(CB_GETCOUNT)); }
    int GetCurSel() const { return static_cast<int>(SendMessage(CB_GETCURSEL)); }
    int SetCurSel(int index) const {
        return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
    }
    int GetLBTextLen(int index) const {
        return static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
    }
    // The item's text; empty for an index out of range.
    std::string GetLBText(int index) const;
    int AddString(const char* text) const {
        return static_cast<int>(SendMessage(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
    }
    void ResetContent() const { SendMessage(CB_RESETCONTENT); }
    int SelectString(int startAfter, const char* text) const {
        return static_cast<int>(SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(startAfter),
                                            reinterpret_cast<LPARAM>(text)));
    }
    int FindStringExact(int startAfter, const char* text) const {
        return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(startAfter),
                                            reinterpret_cast<LPARAM>(text)));
    }
    bool SetExtendedUI(bool extended = true) const {
        return SendMessage(CB_SETEXTENDEDUI, extended ? TRUE : FALSE) != CB_ERR;
    }
    bool GetExtendedUI() const { return SendMessage(CB_GETEXTENDEDUI) != 0; }
    // Start in the low word, end in the high word (CB_ERR without an edit field).
    DWORD GetEditSel() const { return static_cast<DWORD>(SendMessage(CB_GETEDITSEL)); }
    bool SetEditSel(int start, int end) const {
        return SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(start, end)) != CB_ERR;
    }
    void ShowDropDown(bool show = true) const { SendMessage(CB_SHOWDROPDOWN, show ? TRUE : FALSE); }
    bool GetDroppedState() const { return SendMessage(CB_GETDROPPEDSTATE) != 0; }

    // Owner drawing of an owner-drawn combo box's items.
    virtual void DrawItem(DRAWITEMSTRUCT* item);
    bool OnChildDrawItem(DRAWITEMSTRUCT* item) override;
};

class CIPAddressCtrl : public CWnd {
public:
    static const CRuntimeClass classCIPAddressCtrl;
    const CRuntimeClass* GetRuntimeClass() const override;

    CIPAddressCtrl() = default;
    explicit CIPAddressCtrl(HWND hwnd) : CWnd(hwnd) {}

    // The four fields (blank ones read 0); answers how many are not blank.
    int GetAddress(BYTE& f0, BYTE& f1, BYTE& f2, BYTE& f3) const;
    int GetAddress(DWORD& address) const {
        return static_cast<int>(SendMessage(IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address)));
    }
    void SetAddress(BYTE f0, BYTE f1, BYTE f2, BYTE f3) const {
        SendMessage(IPM_SETADDRESS, 0, static_cast<LPARAM>(MAKEIPADDRESS(f0, f1, f2, f3)));
    }
    void ClearAddress() const { SendMessage(IPM_CLEARADDRESS); }
    bool IsBlank() const { return SendMessage(IPM_ISBLANK) != 0; }
    void SetFieldFocus(WORD field) const { SendMessage(IPM_SETFOCUS, field); }
};

// A tooltip window created on request and destroyed with the object. Until
// Create succeeds, RelayEvent does nothing.
class CToolTipCtrl : public CWnd {
public:
    static const CRuntimeClass classCToolTipCtrl;
    const CRuntimeClass* GetRuntimeClass() const override;

    CToolTipCtrl() = default;
    bool Create(CWnd* owner, DWORD style = 0);
    void RelayEvent(MSG* msg) const;
};
