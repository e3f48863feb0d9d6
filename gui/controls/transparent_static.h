// A static text that draws its text straight onto whatever lies under it, so
// a dialog's background picture shows through. It paints no background and
// does not ask its parent for colours; the text is black in the control's own
// font. Changing the text draws over what is on the screen: the owner has the
// parent repaint the area first.
#pragma once

#include "framework/controls.h"

class CTransparentStatic : public CStatic {
    DECLARE_DYNAMIC(CTransparentStatic)

public:
    CTransparentStatic() = default;
    ~CTransparentStatic() override;

    void OnPaint() override;
};
