#include "gui/controls/skin_button.h"

#include "gui/controls/skin_button_guard.h"
#include "gui/controls/skin_button_rules.h"

IMPLEMENT_DYNAMIC(CxSkinButton, CButton)

CxSkinButton::CxSkinButton() = default;

// The bitmaps and the tooltip go with their members; the region is the window's.
CxSkinButton::~CxSkinButton() = default;

void CxSkinButton::PreSubclassWindow() {
    SkinButtonGuard("Exception caught in CxSkinButton::PreSubclassWindow", [&] {
        m_nButtonKind = ClassifySkinButtonStyle(GetStyle() & 0xFFFF);
        CButton::PreSubclassWindow();
        // The system button then leaves all drawing, and all automatic check
        // handling, to this object.
        ModifyStyle(0, BS_OWNERDRAW);
    });
}

void CxSkinButton::SetSkin(UINT normal, UINT down, UINT over, UINT disabled, UINT focus, UINT mask,
                           short drawMode, short border, short focusMargin) {
    SkinButtonGuard("Exception caught in CxSkinButton::SetSkin", [&] {
        for (CBitmap* b :
             {&m_bmpNormal, &m_bmpDown, &m_bmpDisabled, &m_bmpMask, &m_bmpOver, &m_bmpFocus}) {
            b->DeleteObject();
        }
        auto load = [](CBitmap& bitmap, UINT id) {
            if (SkinResourceId(id) != 0) {
                bitmap.LoadBitmap(SkinResourceId(id));
            }
        };
        load(m_bmpNormal, normal);
        load(m_bmpDown, down);
        load(m_bmpOver, over);
        load(m_bmpFocus, focus);
        load(m_bmpDisabled, SkinResourceId(disabled) != 0 ? disabled : normal);

        m_nDrawMode = ClampSkinDrawMode(drawMode);
        m_nBorder = border;
        m_nFocusRectMargin = ClampSkinFocusMargin(focusMargin);

        if (SkinResourceId(mask) == 0) {
            return;
        }
        load(m_bmpMask, mask);
        CRgn region;
        region.Attach(CreateRgnFromBitmap(m_bmpMask, RGB(255, 255, 255)));
        if (region.IsValid()) {
            HRGN handle = region.Get();
            if (SetWindowRgn(region, true)) {
                m_hRgn = handle;
            }
        }
        // A mask that did not load has no size to take.
        if (m_nDrawMode == 0 && m_bmpMask.IsValid()) {
            SetWindowPos(nullptr, 0, 0, GetBitmapWidth(m_bmpMask), GetBitmapHeight(m_bmpMask),
                         SWP_NOMOVE | SWP_NOZORDER);
        }
    });
}

COLORREF CxSkinButton::SetTextColor(COLORREF normal) {
    COLORREF previous = m_crTextNormal;
    SkinButtonGuard("Exception caught in CxSkinButton::SetTextColor",
                    [&] { m_crTextNormal = normal; });
    return previous;
}

COLORREF CxSkinButton::SetTextColors(COLORREF normal, COLORREF pressed, COLORREF hover) {
    COLORREF previous = m_crTextNormal;
    SkinButtonGuard("Exception caught in CxSkinButton::SetTextColors", [&] {
        m_crTextNormal = normal;
        // Zero means "keep": black cannot be chosen for these two.
        if (pressed != 0) {
            m_crTextPressed = pressed;
        }
        if (hover != 0) {
            m_crTextHover = hover;
        }
    });
    return previous;
}

void CxSkinButton::RelayEvent(UINT message, WPARAM wParam, LPARAM lParam) {
    SkinButtonGuard("Exception caught in CxSkinButton::RelayEvent", [&] {
        HWND tip = m_ToolTip.GetSafeHwnd();
        if (tip == nullptr || !::IsWindow(tip)) {
            return;
        }
        MSG msg{};
        msg.hwnd = GetSafeHwnd();
        msg.message = message;
        msg.wParam = wParam;
        msg.lParam = lParam;
        msg.time = 0;
        msg.pt.x = LOWORD(lParam);
        msg.pt.y = HIWORD(lParam);
        m_ToolTip.RelayEvent(&msg);
    });
}

bool CxSkinButton::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_SKINBUTTON_UNCHECK:
        result = OnGroupUncheck(wParam, lParam);
        return true;
    case BM_SETCHECK:
        result = OnBMSetCheck(wParam, lParam);
        return true;
    case BM_GETCHECK:
        result = OnBMGetCheck(wParam, lParam);
        return true;
    default:
        return CButton::OnMessage(msg, wParam, lParam, result);
    }
}

void CxSkinButton::InvalidateCompanion() const {
    if (m_pCompanion != nullptr && m_pCompanion->GetSafeHwnd() != nullptr) {
        m_pCompanion->Invalidate(true);
    }
}

void CxSkinButton::InvalidateAll() const {
    Invalidate(true);
    InvalidateCompanion();
}

bool CxSkinButton::IsCursorOverSelf(POINT screenPoint) const {
    // WindowFromPoint honours the window region: outside the mask's shape the
    // parent is under the cursor.
    return ::WindowFromPoint(screenPoint) == GetSafeHwnd();
}

void CxSkinButton::RequestCheck() {
    int check = SkinCheckRequest(m_nButtonKind, m_bChecked);
    if (check >= 0) {
        SendMessage(BM_SETCHECK, static_cast<WPARAM>(check));
    }
}

BOOL CxSkinButton::OnEraseBkgnd(HDC) {
    // DrawItem paints every pixel; erasing first would only flicker.
    return TRUE;
}

void CxSkinButton::OnLButtonDown(UINT flags, POINT point) {
    SkinButtonGuard("Exception caught in CxSkinButton::OnLButtonDown", [&] {
        RelayEvent(WM_LBUTTONDOWN, flags, MAKELPARAM(point.x, point.y));
        if (m_bHover) {
            TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_CANCEL | TME_LEAVE, GetSafeHwnd(),
                                  0};
            if (::TrackMouseEvent(&track)) {
                m_bHover = false;
            }
        }
        // The system button takes the capture and shows itself pushed.
        Default();
        InvalidateCompanion();
        m_bPressedByMouse = true;
    });
}

void CxSkinButton::OnLButtonUp(UINT flags, POINT point) {
    SkinButtonGuard("Exception caught in CxSkinButton::OnLButtonUp", [&] {
        if (m_nButtonKind == kSkinCheckBox || m_nButtonKind == kSkinRadioButton) {
            POINT screen = point;
            ClientToScreen(&screen);
            if (IsCursorOverSelf(screen)) {
                RequestCheck();
            }
        }
        RelayEvent(WM_LBUTTONUP, flags, MAKELPARAM(point.x, point.y));
        m_bPressedByMouse = false;
        // Releases the capture and reports the click when released over it.
        Default();
    });
}

void CxSkinButton::OnMouseMove(UINT flags, POINT point) {
    SkinButtonGuard("Exception caught in CxSkinButton::OnMouseMove", [&] {
        RelayEvent(WM_MOUSEMOVE, flags, MAKELPARAM(point.x, point.y));
        HWND self = GetSafeHwnd();
        if (m_bPressedByMouse && ::GetCapture() == self) {
            POINT screen = point;
            ClientToScreen(&screen);
            bool over = IsCursorOverSelf(screen);
            bool pushed = (GetState() & BST_PUSHED) != 0;
            if (over != pushed) {
                SendMessage(BM_SETSTATE, over ? TRUE : FALSE);
                InvalidateAll();
            }
        } else if (!m_bHover) {
            TRACKMOUSEEVENT track{sizeof(TRACKMOUSEEVENT), TME_LEAVE, self, 0};
            if (::TrackMouseEvent(&track)) {
                m_bHover = true;
                InvalidateAll();
            }
        }
        Default();
    });
}

void CxSkinButton::OnLButtonDblClk(UINT flags, POINT point) {
    SkinButtonGuard("Exception caught in CxSkinButton::OnLButtonDblClk", [&] {
        // A second press, so a double click on a check box toggles it twice.
        SendMessage(WM_LBUTTONDOWN, flags, MAKELPARAM(point.x, point.y));
    });
}

void CxSkinButton::OnKillFocus(HWND) {
    SkinButtonGuard("Exception caught in CxSkinButton::OnKillFocus", [&] {
        if (::GetCapture() == GetSafeHwnd()) {
            ::ReleaseCapture();
            m_bPressedByMouse = false;
        }
        Default();
        InvalidateCompanion();
    });
}

void CxSkinButton::OnSetFocus(HWND) {
    SkinButtonGuard("Exception caught in CxSkinButton::OnSetFocus", [&] {
        Default();
        InvalidateCompanion();
    });
}

void CxSkinButton::OnKeyDown(UINT key, UINT, UINT) {
    SkinButtonGuard("Exception caught in CxSkinButton::OnKeyDown", [&] {
        if (key == VK_SPACE) {
            RequestCheck();
        }
        Default();
    });
}

void CxSkinButton::OnMouseLeave() {
    SkinButtonGuard("Exception caught in CxSkinButton::OnMouseLeave", [&] {
        m_bHover = false;
        InvalidateAll();
    });
}

LRESULT CxSkinButton::OnGroupUncheck(WPARAM, LPARAM) {
    SkinButtonGuard("Exception caught in CxSkinButton::OnGroupUncheck", [&] {
        if (m_bChecked) {
            m_bChecked = false;
            InvalidateAll();
        }
    });
    return 0;
}

LRESULT CxSkinButton::OnBMSetCheck(WPARAM wParam, LPARAM) {
    SkinButtonGuard("Exception caught in CxSkinButton::OnBMSetCheck", [&] {
        m_bChecked = SkinCheckedAfterSet(m_nButtonKind, wParam != 0);
        if (m_nButtonKind == kSkinRadioButton && m_bChecked) {
            // Posted: the others change after this message has been handled.
            HWND self = GetSafeHwnd();
            HWND parent = GetParent();
            HWND first = nullptr;
            for (HWND next = ::GetNextDlgGroupItem(parent, self, FALSE);
                 next != nullptr && next != self && next != first;
                 next = ::GetNextDlgGroupItem(parent, next, FALSE)) {
                // The walk may circle without passing this control again (for
                // one the dialog manager skips); stop where it began.
                if (first == nullptr) {
                    first = next;
                }
                ::PostMessageA(next, WM_SKINBUTTON_UNCHECK, 0, 0);
            }
        }
        InvalidateAll();
    });
    // Not passed on: the system button keeps no check state of its own.
    return 0;
}

LRESULT CxSkinButton::OnBMGetCheck(WPARAM, LPARAM) {
    return m_bChecked ? 1 : 0;
}
