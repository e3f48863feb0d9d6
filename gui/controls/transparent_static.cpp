#include "gui/controls/transparent_static.h"

#include <string>

#include "framework/gdi.h"
#include "gui/controls/static_text_rules.h"

static_assert(controls::kSsCenter == SS_CENTER && controls::kSsRight == SS_RIGHT &&
                  controls::kSsSimple == SS_SIMPLE &&
                  controls::kSsLeftNoWordWrap == SS_LEFTNOWORDWRAP &&
                  controls::kSsNoPrefix == SS_NOPREFIX &&
                  controls::kSsCenterImage == SS_CENTERIMAGE &&
                  controls::kSsEndEllipsis == SS_ENDELLIPSIS &&
                  controls::kSsPathEllipsis == SS_PATHELLIPSIS &&
                  controls::kSsWordEllipsis == SS_WORDELLIPSIS,
              "static styles");
static_assert(controls::kDtCenter == DT_CENTER && controls::kDtRight == DT_RIGHT &&
                  controls::kDtVCenter == DT_VCENTER && controls::kDtWordBreak == DT_WORDBREAK &&
                  controls::kDtSingleLine == DT_SINGLELINE &&
                  controls::kDtNoPrefix == DT_NOPREFIX &&
                  controls::kDtPathEllipsis == DT_PATH_ELLIPSIS &&
                  controls::kDtEndEllipsis == DT_END_ELLIPSIS &&
                  controls::kDtWordEllipsis == DT_WORD_ELLIPSIS,
              "DrawText formats");

IMPLEMENT_DYNAMIC(CTransparentStatic, CStatic)

CTransparentStatic::~CTransparentStatic() = default;

void CTransparentStatic::OnPaint() {
    ScopedPaint dc(GetSafeHwnd());
    if (dc.Get() == nullptr) {
        return;
    }
    RECT client = GetClientRect();
    const std::string text = GetWindowText();
    // Without a font of its own (WM_GETFONT answers null) the DC's stays.
    ScopedSelect font(dc, GetFont());
    const UINT format = controls::StaticTextFormat(GetStyle());
    ::SetBkMode(dc, TRANSPARENT);
    CDC(dc).DrawText(text, &client, format);
}
