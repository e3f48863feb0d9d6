// CxSkinButton: a dialog button drawn from bitmaps, one per state (normal,
// pressed or checked, hover, focus, disabled), optionally shaped by a mask
// bitmap that becomes its window region, with its caption drawn over the
// bitmap in a colour per state. It acts as push button, check box or radio
// button; the check state lives in the object, not in the system button.
//
// Use: attach with SubclassDlgItem or DDX_Control (PreSubclassWindow makes the
// control owner-drawn), then SetSkin, then SetTextColor(s) where the defaults
// don't suit. The caption is the window text, drawn on one line, centred
// both ways, in the button's font.
#pragma once

#include <windows.h>

#include "framework/controls.h"
#include "framework/gdi.h"

// Posted to the other radio buttons of a group when one becomes checked.
inline constexpr UINT WM_SKINBUTTON_UNCHECK = WM_USER + 0x100;

enum class SkinLook;

class CxSkinButton : public CButton {
    DECLARE_DYNAMIC(CxSkinButton)

    CxSkinButton();
    ~CxSkinButton() override;

    // Bitmap resource identifiers from the resource module (low 16 bits; 0 is
    // none). Disabled 0 takes the normal bitmap. Draw mode 0 copies at natural
    // size, 1 stretches, 2 tiles; with a mask, mode 0 also sizes the control
    // to the mask. A nonzero border draws a 3-D edge; the focus margin insets
    // the focus rectangle and widens the caption's side margins.
    void SetSkin(UINT normal, UINT down, UINT over, UINT disabled, UINT focus, UINT mask,
                 short drawMode, short border, short focusMargin);
    // The normal caption colour; answers the previous one.
    COLORREF SetTextColor(COLORREF normal);
    // Pressed and hover colours change only when nonzero; answers the previous
    // normal colour.
    COLORREF SetTextColors(COLORREF normal, COLORREF pressed, COLORREF hover);

    void DrawItem(DRAWITEMSTRUCT* item) override;
    void DrawBitmap(HDC dc, HBITMAP bitmap, const RECT& r, int drawMode);
    // Tiles from the rectangle's top-left corner, cutting the last column and row.
    void FillWithBitmap(HDC dc, HBITMAP bitmap, const RECT& r);
    // The pixels not of the transparent colour, as a region in bitmap
    // coordinates; the caller owns it. Null without a bitmap.
    HRGN CreateRgnFromBitmap(HBITMAP bitmap, COLORREF transparent);
    int GetBitmapWidth(HBITMAP bitmap);
    int GetBitmapHeight(HBITMAP bitmap);
    // Hands a mouse message to the tooltip once it has a window.
    void RelayEvent(UINT message, WPARAM wParam, LPARAM lParam);

    void PreSubclassWindow() override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

protected:
    BOOL OnEraseBkgnd(HDC dc) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnMouseMove(UINT flags, POINT point) override;
    void OnLButtonDblClk(UINT flags, POINT point) override;
    void OnKillFocus(HWND newFocus) override;
    void OnSetFocus(HWND oldFocus) override;
    void OnKeyDown(UINT key, UINT repeat, UINT flags) override;
    void OnMouseLeave() override;
    LRESULT OnGroupUncheck(WPARAM wParam, LPARAM lParam);
    LRESULT OnBMSetCheck(WPARAM wParam, LPARAM lParam);
    LRESULT OnBMGetCheck(WPARAM wParam, LPARAM lParam);

    bool m_bChecked = false;
    int m_nButtonKind = 0; // SkinButtonKind, from the style
    bool m_bHover = false; // leave tracking is armed
    bool m_bPressedByMouse = false;
    CToolTipCtrl m_ToolTip; // its window is made by whoever wants tips
    CBitmap m_bmpNormal;
    CBitmap m_bmpDown;
    CBitmap m_bmpDisabled;
    CBitmap m_bmpMask;
    CBitmap m_bmpOver;
    CBitmap m_bmpFocus;
    short m_nFocusRectMargin = 0;
    COLORREF m_crTextNormal = RGB(17, 31, 118);
    COLORREF m_crTextPressed = RGB(255, 255, 255);
    COLORREF m_crTextHover = RGB(255, 255, 255);
    // Given to the window with SetWindowRgn: the window owns and frees it.
    HRGN m_hRgn = nullptr;
    int m_nBorder = 0;
    short m_nDrawMode = 1;
    CWnd* m_pCompanion = nullptr; // not owned; repainted whenever the button is

private:
    void InvalidateCompanion() const;
    void InvalidateAll() const;
    bool IsCursorOverSelf(POINT screenPoint) const;
    // While pressed by the mouse: moves the pushed look to where the cursor
    // is; true when it changed, which brings a fresh drawing.
    bool FollowPressedState();
    HBITMAP FaceBitmap(SkinLook look) const;
    void RequestCheck();
};
