// CWnd: the one message-dispatch mechanism of every window, dialog and
// subclassed control, plus thin forwards to the Win32 window functions.
//
// A CWnd either borrows a window (CWnd(hwnd): nothing attached, nothing owned)
// or is attached to it: SubclassWindow/SubclassDlgItem, CDialog creation and
// CreateEx install one comctl32 subclass whose procedure calls OnMessage. What
// OnMessage does not handle gets the window's default processing, and Default()
// gives a handler that processing on demand. The subclass is removed at
// WM_NCDESTROY, before the window goes, or when the object goes first.
//
// Reflection: WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLOR*, WM_NOTIFY and control
// notifications in WM_COMMAND arriving at a parent are offered first to the
// attached object of the control they concern (OnReflectedMessage), so skinned
// controls draw and colour themselves. For WM_CTLCOLOR* this happens in the
// parent's base OnCtlColor, so a parent may still replace the answer.
//
// Every attached object must be created, attached and destroyed on the thread
// that owns its window (comctl32 subclasses are thread-bound).
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <string>

#include "framework/object.h"

class CRgn;

class CWnd : public CCmdTarget {
public:
    static const CRuntimeClass classCWnd;
    const CRuntimeClass* GetRuntimeClass() const override;

    CWnd() = default;
    explicit CWnd(HWND hwnd) : m_hWnd(hwnd) {}
    ~CWnd() override;
    CWnd(const CWnd&) = delete;
    CWnd& operator=(const CWnd&) = delete;

    // Atomic because a few readers live on other threads (the single-instance
    // wake-up, workers that message the window); it changes only on the
    // window's thread.
    std::atomic<HWND> m_hWnd{nullptr};

    HWND GetSafeHwnd() const { return m_hWnd.load(); }
    operator HWND() const { return m_hWnd.load(); }

    // The object attached to a window of this process, or null.
    static CWnd* FromHandlePermanent(HWND hwnd);

    // Attaching. PreSubclassWindow runs with m_hWnd set, before the first
    // message reaches the object. False when the window is missing, belongs to
    // another thread, or already has an object.
    bool SubclassWindow(HWND hwnd);
    bool SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();
    bool IsAttached() const { return m_bAttached; }
    virtual void PreSubclassWindow() {}

    // Creates a window of an existing class (e.g. a system class) and attaches
    // it; the object then owns the window and destroys it at the latest in its
    // destructor. Messages sent during creation are not seen.
    bool CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style, int x,
                  int y, int width, int height, HWND parent, HMENU menuOrId);
    bool DestroyWindow();

    // Default processing of the message being handled (0 outside a handler and
    // inside reflected handlers, which act for the parent's message).
    LRESULT Default();

    // The dispatcher's entry: true when handled, with the answer in result.
    // The base routes to the typed handlers below.
    virtual bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // A parent's message about this control, offered before the parent acts.
    virtual bool OnReflectedMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    // Called by the framework's message loops for a message aimed at this window
    // or one of its children before it is translated and dispatched; true means
    // it was dealt with.
    virtual bool PreTranslateMessage(MSG* msg);
    // After the window is gone (WM_NCDESTROY done, object detached).
    virtual void PostNcDestroy() {}

    // Typed handlers; each base does the default processing.
    virtual bool OnCommand(UINT id, UINT code, HWND control);
    virtual bool OnNotify(NMHDR* header, LRESULT& result);
    virtual bool OnDrawItem(UINT id, DRAWITEMSTRUCT* item);
    virtual bool OnMeasureItem(UINT id, MEASUREITEMSTRUCT* item);
    // Base: the control's own CtlColor (reflection), else default processing.
    virtual HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlType);
    virtual void OnTimer(UINT_PTR id);
    virtual void OnPaint();
    virtual BOOL OnEraseBkgnd(HDC dc);
    virtual void OnSysCommand(UINT id, LPARAM lParam);
    virtual HCURSOR OnQueryDragIcon();
    virtual LRESULT OnNcHitTest(POINT screenPoint);
    virtual void OnClose();
    virtual void OnDestroy();
    virtual void OnMouseMove(UINT flags, POINT point);
    virtual void OnLButtonDown(UINT flags, POINT point);
    virtual void OnLButtonUp(UINT flags, POINT point);
    virtual void OnLButtonDblClk(UINT flags, POINT point);
    virtual void OnMouseLeave();
    virtual void OnSetFocus(HWND oldFocus);
    virtual void OnKillFocus(HWND newFocus);
    virtual void OnKeyDown(UINT key, UINT repeat, UINT flags);
    virtual void OnSysColorChange();
    virtual BOOL OnHelpInfo(HELPINFO* info);
    virtual BOOL OnQueryEndSession();

    // Reflected handlers on the control's side; the bases decline.
    virtual HBRUSH CtlColor(HDC dc, UINT ctlType);
    virtual bool OnChildDrawItem(DRAWITEMSTRUCT* item);
    virtual bool OnChildMeasureItem(MEASUREITEMSTRUCT* item);
    virtual bool OnReflectedCommand(UINT code);
    virtual bool OnReflectedNotify(NMHDR* header, LRESULT& result);

    // Thin forwards.
    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::SendMessageA(GetSafeHwnd(), msg, wParam, lParam);
    }
    bool PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const {
        return ::PostMessageA(GetSafeHwnd(), msg, wParam, lParam) != FALSE;
    }
    bool IsWindow() const { return ::IsWindow(GetSafeHwnd()) != FALSE; }
    HWND GetDlgItem(int id) const { return ::GetDlgItem(GetSafeHwnd(), id); }
    int GetDlgCtrlID() const { return ::GetDlgCtrlID(GetSafeHwnd()); }
    HWND GetParent() const { return ::GetParent(GetSafeHwnd()); }
    void SetWindowText(const char* text) const { ::SetWindowTextA(GetSafeHwnd(), text); }
    void SetWindowText(const std::string& text) const { SetWindowText(text.c_str()); }
    std::string GetWindowText() const;
    int GetWindowTextLength() const { return ::GetWindowTextLengthA(GetSafeHwnd()); }
    void SetDlgItemText(int id, const char* text) const {
        ::SetDlgItemTextA(GetSafeHwnd(), id, text);
    }
    std::string GetDlgItemText(int id) const;
    bool EnableWindow(bool enable = true) const {
        return ::EnableWindow(GetSafeHwnd(), enable ? TRUE : FALSE) != FALSE;
    }
    bool IsWindowEnabled() const { return ::IsWindowEnabled(GetSafeHwnd()) != FALSE; }
    bool IsWindowVisible() const { return ::IsWindowVisible(GetSafeHwnd()) != FALSE; }
    bool IsIconic() const { return ::IsIconic(GetSafeHwnd()) != FALSE; }
    bool ShowWindow(int cmd) const { return ::ShowWindow(GetSafeHwnd(), cmd) != FALSE; }
    bool MoveWindow(int x, int y, int width, int height, bool repaint = true) const {
        return ::MoveWindow(GetSafeHwnd(), x, y, width, height, repaint ? TRUE : FALSE) != FALSE;
    }
    bool SetWindowPos(HWND after, int x, int y, int cx, int cy, UINT flags) const {
        return ::SetWindowPos(GetSafeHwnd(), after, x, y, cx, cy, flags) != FALSE;
    }
    RECT GetClientRect() const;
    RECT GetWindowRect() const;
    void Invalidate(bool erase = true) const {
        ::InvalidateRect(GetSafeHwnd(), nullptr, erase ? TRUE : FALSE);
    }
    void InvalidateRect(const RECT* r, bool erase = true) const {
        ::InvalidateRect(GetSafeHwnd(), r, erase ? TRUE : FALSE);
    }
    void UpdateWindow() const { ::UpdateWindow(GetSafeHwnd()); }
    void SetFont(HFONT font, bool redraw = true) const {
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), redraw ? TRUE : FALSE);
    }
    HFONT GetFont() const { return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)); }
    DWORD GetStyle() const {
        return static_cast<DWORD>(::GetWindowLongPtrA(GetSafeHwnd(), GWL_STYLE));
    }
    DWORD GetExStyle() const {
        return static_cast<DWORD>(::GetWindowLongPtrA(GetSafeHwnd(), GWL_EXSTYLE));
    }
    // Remove and add style bits; with swpFlags nonzero also SetWindowPos(no
    // move, no size, no Z order, no activation | swpFlags) so frames follow.
    bool ModifyStyle(DWORD remove, DWORD add, UINT swpFlags = 0) const;
    bool ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags = 0) const;
    HWND SetFocus() const { return ::SetFocus(GetSafeHwnd()); }
    bool SetForegroundWindow() const { return ::SetForegroundWindow(GetSafeHwnd()) != FALSE; }
    HICON SetIcon(HICON icon, bool big) const {
        return reinterpret_cast<HICON>(
            SendMessage(WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
    }
    UINT_PTR SetTimer(UINT_PTR id, UINT elapseMs) const {
        return ::SetTimer(GetSafeHwnd(), id, elapseMs, nullptr);
    }
    bool KillTimer(UINT_PTR id) const { return ::KillTimer(GetSafeHwnd(), id) != FALSE; }
    HMENU GetSystemMenu(bool revert) const {
        return ::GetSystemMenu(GetSafeHwnd(), revert ? TRUE : FALSE);
    }
    bool FlashWindow(bool invert) const {
        return ::FlashWindow(GetSafeHwnd(), invert ? TRUE : FALSE) != FALSE;
    }
    // On success the window owns the region and rgn is left empty; on failure
    // rgn keeps it.
    bool SetWindowRgn(CRgn& rgn, bool redraw);
    // Centres the window over its owner (a visible, not minimised one), else
    // over the work area of the screen, kept within that work area.
    void CenterWindow() const;
    void ClientToScreen(POINT* p) const { ::ClientToScreen(GetSafeHwnd(), p); }
    void ScreenToClient(POINT* p) const { ::ScreenToClient(GetSafeHwnd(), p); }

private:
    enum class DefaultKind { kNone, kSubclass, kInitDialog };
    struct CurrentMessage {
        HWND hwnd;
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        DefaultKind kind;
    };

    friend class CDialog;
    friend LRESULT CALLBACK FrameworkSubclassProc(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);

    bool Attach(HWND hwnd);
    void Detach();
    LRESULT Dispatch(const CurrentMessage& m);
    bool ReflectToChild(HWND child, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);
    static LRESULT CallDefault(const CurrentMessage& m);

    bool m_bAttached = false;
    bool m_bOwnsWindow = false;
    const CurrentMessage* m_pCurrentMsg = nullptr;
};

// Offers a message to the attached objects from its target window up to the
// top-level window (PreTranslateMessage); true when one of them dealt with it.
// The framework's message loops call it before TranslateMessage.
bool AfxPreTranslateMessage(MSG* msg);
