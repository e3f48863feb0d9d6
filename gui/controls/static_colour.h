// The colour rule of the picture-backed dialogs, for their WM_CTLCOLOR*
// handling: statics go transparent over the picture with the hollow brush,
// everything else (trackbars included) keeps the default answer.
#pragma once

#include <windows.h>

namespace controls {

// defaultAnswer is what the framework's base handling gave (reflection to a
// control that colours itself included); it is returned unless the rule makes
// the static transparent, in which case the DC's background mode becomes
// TRANSPARENT and hollowBrush is returned. The text colour is left alone.
HBRUSH ApplyStaticColourRule(HBRUSH defaultAnswer, HDC dc, HWND control, UINT ctlType,
                             bool staticsTransparent, HBRUSH hollowBrush);

} // namespace controls
