#include "gui/controls/bitmap_dialog.h"

#include "gui/controls/static_colour.h"

CBitmapDialog::CBitmapDialog(UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), m_brushHollow(StockBrush(NULL_BRUSH)) {}

HBRUSH CBitmapDialog::OnCtlColor(HDC dc, HWND control, UINT ctlType) {
    // The default first: a control that colours itself answers here.
    const HBRUSH answer = CDialog::OnCtlColor(dc, control, ctlType);
    return controls::ApplyStaticColourRule(answer, dc, control, ctlType, m_bStaticTransparent,
                                           m_brushHollow);
}

void CBitmapDialog::OnLButtonDown(UINT flags, POINT point) {
    CDialog::OnLButtonDown(flags, point);
}
