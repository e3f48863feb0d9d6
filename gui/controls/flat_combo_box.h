// A combo box that looks flat: it paints over the system's 3-D border with
// the button-face colour and shows a thin raised frame only while the cursor
// is over it or it has the focus, and a pressed frame while the left button
// is held on it. Hover is polled with a 10 ms timer that runs from a mouse
// move until the cursor has left (and the focus is elsewhere) or the button
// goes down. Combo boxes with an edit field complete typed text from the
// list. Alt+letter typed into the control is swallowed.
//
// Its parent must be an attached framework window: CBN_SETFOCUS,
// CBN_KILLFOCUS and CBN_EDITUPDATE come back to the control by reflection and
// stop there; other notifications go on to the parent.
#pragma once

#include "framework/controls.h"
#include "gui/controls/flat_combo_rules.h"

class CCJFlatComboBox : public CComboBox {
    DECLARE_DYNAMIC(CCJFlatComboBox)

public:
    static constexpr UINT_PTR kHoverTimerId = 1;
    static constexpr UINT kHoverPollMs = 10;

    CCJFlatComboBox();
    ~CCJFlatComboBox() override;

    // Swallows WM_SYSCHAR aimed at the control or one of its children.
    bool PreTranslateMessage(MSG* msg) override;

    // Paints the frame for a state on the control's DC.
    void DrawCombo(controls::FlatComboState state, COLORREF topLeft, COLORREF bottomRight);

    void OnMouseMove(UINT flags, POINT point) override;
    void OnLButtonDown(UINT flags, POINT point) override;
    void OnLButtonUp(UINT flags, POINT point) override;
    void OnTimer(UINT_PTR id) override;
    void OnPaint() override;
    void OnSysColorChange() override;
    bool OnReflectedCommand(UINT code) override;

protected:
    void OnCbnSetFocus();
    void OnCbnKillFocus();
    void OnCbnEditUpdate();

    int m_nDropButtonWidth;
    BOOL m_bLButtonDown = FALSE;
    BOOL m_bHotDrawn = FALSE; // the raised look the timer drew is on the screen
    BOOL m_bHasFocus = FALSE;
    COLORREF m_clrHighlight = 0;
    COLORREF m_clrShadow = 0;
    COLORREF m_clrFace = 0;

private:
    void ReadSysColours();
    bool CursorOverWindow() const;
    void PollHover(bool timerMessage);
};
