#include "gui/controls/static_font_fit.h"

#include <string>

#include "framework/gdi.h"
#include "gui/controls/app_font_table.h"
#include "gui/controls/static_text_rules.h"

int ChooseFittingFontEntry(int entry, const std::function<bool(int)>& fits) {
    const int smallest = entry % 2 == 0 ? 2 : 1;
    for (int candidate = entry; candidate >= smallest; candidate -= 2) {
        if (fits(candidate)) {
            return candidate;
        }
    }
    return smallest;
}

bool StaticTextFits(HWND control, HFONT font) {
    RECT client{};
    ::GetClientRect(control, &client);
    const int length = ::GetWindowTextLengthA(control);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    ::GetWindowTextA(control, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(length));
    if (text.empty()) {
        return true;
    }
    const auto style = static_cast<std::uint32_t>(::GetWindowLongPtrA(control, GWL_STYLE));
    // Laid out as the text will be drawn, without ellipses (they would hide the cut).
    const UINT format =
        (controls::StaticTextFormat(style) &
         ~(controls::kDtEndEllipsis | controls::kDtPathEllipsis | controls::kDtWordEllipsis)) |
        DT_CALCRECT;
    ScopedGetDC dc(control);
    if (dc.Get() == nullptr) {
        return true;
    }
    ScopedSelect selected(dc, font != nullptr ? static_cast<HGDIOBJ>(font)
                                              : ::GetStockObject(DEFAULT_GUI_FONT));
    RECT needed = {0, 0, client.right, 0};
    ::DrawTextA(dc, text.c_str(), length, &needed, format);
    return needed.right <= client.right && needed.bottom <= client.bottom;
}

int SetFittingAppFont(HWND control, int entry) {
    const int chosen = ChooseFittingFontEntry(
        entry, [control](int candidate) { return StaticTextFits(control, AppFont(candidate)); });
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(AppFont(chosen)), TRUE);
    return chosen;
}
