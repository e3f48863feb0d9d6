#include "gui/controls/static_colour.h"

#include <string>

#include "gui/controls/static_colour_rules.h"

static_assert(controls::kCtlColorStatic == CTLCOLOR_STATIC, "colour query type of statics");

namespace controls {

namespace {

// At most 255 characters, as the rule reads it; empty when the window is gone.
std::string ClassNameOf(HWND hwnd) {
    char name[256] = {0};
    int length = ::GetClassNameA(hwnd, name, static_cast<int>(sizeof name));
    return std::string(name, length > 0 ? static_cast<size_t>(length) : 0);
}

} // namespace

HBRUSH ApplyStaticColourRule(HBRUSH defaultAnswer, HDC dc, HWND control, UINT ctlType,
                             bool staticsTransparent, HBRUSH hollowBrush) {
    if (ChooseStaticColour(staticsTransparent, ctlType, ClassNameOf(control)) ==
        StaticColourAnswer::kDefault) {
        return defaultAnswer;
    }
    ::SetBkMode(dc, TRANSPARENT);
    return hollowBrush;
}

} // namespace controls
