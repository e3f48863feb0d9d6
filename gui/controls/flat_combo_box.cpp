#include "gui/controls/flat_combo_box.h"

#include <string>

#include "framework/gdi.h"

IMPLEMENT_DYNAMIC(CCJFlatComboBox, CComboBox)

using controls::FlatComboState;

CCJFlatComboBox::CCJFlatComboBox() : m_nDropButtonWidth(::GetSystemMetrics(SM_CXHTHUMB)) {
    ReadSysColours();
}

CCJFlatComboBox::~CCJFlatComboBox() {
    // A window that outlives its object should not keep waking its thread.
    if (IsAttached()) {
        KillTimer(kHoverTimerId);
    }
}

void CCJFlatComboBox::ReadSysColours() {
    m_clrHighlight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    m_clrShadow = ::GetSysColor(COLOR_BTNSHADOW);
    m_clrFace = ::GetSysColor(COLOR_BTNFACE);
}

bool CCJFlatComboBox::CursorOverWindow() const {
    POINT cursor{};
    ::GetCursorPos(&cursor);
    RECT window = GetWindowRect();
    return ::PtInRect(&window, cursor) != FALSE;
}

bool CCJFlatComboBox::PreTranslateMessage(MSG* msg) {
    if (msg != nullptr && msg->message == WM_SYSCHAR) {
        HWND self = GetSafeHwnd();
        if (msg->hwnd == self || ::IsChild(self, msg->hwnd)) {
            return true;
        }
    }
    return CComboBox::PreTranslateMessage(msg);
}

void CCJFlatComboBox::DrawCombo(FlatComboState state, COLORREF topLeft, COLORREF bottomRight) {
    RECT client = GetClientRect();
    const controls::FlatComboColours colours{m_clrHighlight, m_clrShadow, m_clrFace};
    const auto rings = controls::FlatComboFrames(
        controls::FrameRect{client.left, client.top, client.right, client.bottom},
        m_nDropButtonWidth, IsWindowEnabled(), state, topLeft, bottomRight, colours);
    ScopedGetDC dc(GetSafeHwnd());
    if (dc.Get() == nullptr) {
        return;
    }
    CDC draw(dc);
    for (const controls::FrameRing& ring : rings) {
        const RECT r{ring.rect.left, ring.rect.top, ring.rect.right, ring.rect.bottom};
        draw.Draw3dRect(r, ring.topLeft, ring.bottomRight);
    }
}

void CCJFlatComboBox::OnMouseMove(UINT, POINT) {
    SetTimer(kHoverTimerId, kHoverPollMs);
    PollHover(false);
    Default();
}

void CCJFlatComboBox::OnLButtonDown(UINT, POINT) {
    m_bLButtonDown = TRUE;
    Default();
}

void CCJFlatComboBox::OnLButtonUp(UINT, POINT) {
    m_bLButtonDown = FALSE;
    Invalidate(true);
    Default();
}

void CCJFlatComboBox::OnTimer(UINT_PTR) {
    PollHover(true);
}

// The poll behind OnTimer. Only a real timer message goes on to the default
// processing: from OnMouseMove, Default() would repeat the mouse move's.
void CCJFlatComboBox::PollHover(bool timerMessage) {
    const controls::HoverStep step = controls::DecideHoverStep(
        m_bLButtonDown != FALSE, CursorOverWindow(), m_bHasFocus != FALSE, m_bHotDrawn != FALSE);
    if (step.killTimer) {
        KillTimer(kHoverTimerId);
    }
    m_bHotDrawn = step.hotDrawn ? TRUE : FALSE;
    if (step.draw) {
        if (*step.draw == FlatComboState::kFlat) {
            DrawCombo(FlatComboState::kFlat, m_clrFace, m_clrFace);
        } else {
            DrawCombo(*step.draw, m_clrShadow, m_clrHighlight);
        }
    }
    if (step.passToDefault && timerMessage) {
        Default();
    }
}

void CCJFlatComboBox::OnPaint() {
    // Only the first paint finds these edges to remove.
    ModifyStyleEx(WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE, 0, SWP_FRAMECHANGED);
    Default();
    if (!CursorOverWindow() && !m_bHasFocus) {
        DrawCombo(FlatComboState::kFlat, m_clrFace, m_clrFace);
    } else {
        DrawCombo(FlatComboState::kRaised, m_clrShadow, m_clrHighlight);
    }
}

void CCJFlatComboBox::OnSysColorChange() {
    CComboBox::OnSysColorChange();
    ReadSysColours();
}

bool CCJFlatComboBox::OnReflectedCommand(UINT code) {
    switch (code) {
    case CBN_SETFOCUS:
        OnCbnSetFocus();
        return true;
    case CBN_KILLFOCUS:
        OnCbnKillFocus();
        return true;
    case CBN_EDITUPDATE:
        OnCbnEditUpdate();
        return true;
    default:
        return CComboBox::OnReflectedCommand(code);
    }
}

void CCJFlatComboBox::OnCbnSetFocus() {
    m_bHasFocus = TRUE;
    DrawCombo(FlatComboState::kRaised, m_clrShadow, m_clrHighlight);
}

void CCJFlatComboBox::OnCbnKillFocus() {
    m_bHasFocus = FALSE;
    DrawCombo(FlatComboState::kFlat, m_clrFace, m_clrFace);
}

void CCJFlatComboBox::OnCbnEditUpdate() {
    const std::string typed = GetWindowText();
    const int typedLength = static_cast<int>(typed.size());
    const auto selection = controls::EditSelectionFromResult(SendMessage(CB_GETEDITSEL));
    const bool matched = SelectString(-1, typed.c_str()) != CB_ERR;
    const controls::AutoCompletePlan plan =
        controls::PlanAutoComplete(typedLength, selection, matched);
    if (plan.restoreText) {
        SetWindowText(typed);
        if (plan.restoreSelection) {
            SetEditSel(plan.restoreSelection->start, plan.restoreSelection->end);
        }
    }
    SetEditSel(plan.finalSelection.start, plan.finalSelection.end);
}
