// The dialog base of the picture-backed main window: static texts are drawn
// transparently over the picture (trackbars keep their own background).
#pragma once

#include "framework/dialog.h"
#include "framework/gdi.h"

class CBitmapDialog : public CDialog {
public:
    CBitmapDialog(UINT templateId, CWnd* parent);

    HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlType) override;
    void OnLButtonDown(UINT flags, POINT point) override;

protected:
    bool m_bStaticTransparent = true;
    // The stock hollow brush: borrowed, never deleted.
    CGdiRef<HBRUSH> m_brushHollow;
};
