// A static text that answers its parent's colour query itself: black text on
// the button-face colour (read once, at construction) with a brush of its own.
// The parent must pass the query to its base handling for the answer to
// count; a picture-backed dialog then still swaps in its hollow brush and
// keeps the text colour set here.
#pragma once

#include "framework/controls.h"
#include "framework/gdi.h"

class CColorStatic : public CStatic {
public:
    CColorStatic();
    ~CColorStatic() override;

    HBRUSH CtlColor(HDC dc, UINT ctlType) override;

protected:
    COLORREF m_crText;
    COLORREF m_crBackground;
    CBrush m_brBackground;
};
