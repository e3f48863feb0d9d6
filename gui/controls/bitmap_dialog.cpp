#include "bitmap_dialog.h"

#include <cstring>

namespace {

const char kTrackbarClass[] = "msctls_trackbar32";

} // namespace

CBitmapDialog::CBitmapDialog(UINT templateId, CWnd* parent)
    : CDialog(templateId, parent), m_brushHollow(StockBrush(NULL_BRUSH)) {}

HBRUSH CBitmapDialog::OnCtlColor(HDC dc, HWND control, UINT ctlType) {
    // The default first: a control that colours itself answers here.
    const HBRUSH answer = CDialog::OnCtlColor(dc, control, ctlType);
    if (!m_bStaticTransparent || ctlType != CTLCOLOR_STATIC) {
        return answer;
    }
    char className[256] = {};
    ::GetClassNameA(control, className, sizeof className);
    if (std::strcmp(className, kTrackbarClass) == 0) {
        return answer;
    }
    ::SetBkMode(dc, TRANSPARENT);
    return m_brushHollow;
}

void CBitmapDialog::OnLButtonDown(UINT flags, POINT point) {
    CDialog::OnLButtonDown(flags, point);
}
