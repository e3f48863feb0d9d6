#include "gui/controls/color_static.h"

CColorStatic::CColorStatic()
    : m_crText(RGB(0, 0, 0)), m_crBackground(::GetSysColor(COLOR_BTNFACE)) {
    m_brBackground.CreateSolidBrush(m_crBackground);
}

CColorStatic::~CColorStatic() = default;

HBRUSH CColorStatic::CtlColor(HDC dc, UINT) {
    ::SetTextColor(dc, m_crText);
    ::SetBkColor(dc, m_crBackground);
    return m_brBackground.Get();
}
