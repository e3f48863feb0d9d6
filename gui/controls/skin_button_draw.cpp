// CxSkinButton's drawing: the face of each state, the caption over it, and the
// bitmap transfers (copy, stretch, tile, masked) and the mask's region.
#include "gui/controls/skin_button.h"

#include <string>

#include "gui/controls/skin_button_guard.h"
#include "gui/controls/skin_button_rules.h"

static_assert(kDtCenter == DT_CENTER && kDtVCenter == DT_VCENTER && kDtSingleLine == DT_SINGLELINE,
              "portable DrawText bits match the system's");

namespace {

SkinRect ToSkinRect(const RECT& r) {
    return SkinRect{r.left, r.top, r.right, r.bottom};
}

RECT ToRect(const SkinRect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

// The item's device context belongs to the system button: its colours and
// modes go back as they were.
class ScopedSaveDC {
public:
    explicit ScopedSaveDC(HDC dc) : m_dc(dc), m_saved(::SaveDC(dc)) {}
    ~ScopedSaveDC() {
        if (m_saved != 0) {
            ::RestoreDC(m_dc, m_saved);
        }
    }
    ScopedSaveDC(const ScopedSaveDC&) = delete;
    ScopedSaveDC& operator=(const ScopedSaveDC&) = delete;

private:
    HDC m_dc;
    int m_saved;
};

// Windows clips a button's painting to its window region; Wine does not for
// the button class (CS_PARENTDC), so the caption would spill outside the
// mask's shape. Clipping here gives the same picture on both.
void ClipToWindowRegion(HWND wnd, HDC dc) {
    CRgn shape;
    if (shape.CreateRectRgn(0, 0, 0, 0) && ::GetWindowRgn(wnd, shape) != ERROR) {
        ::ExtSelectClipRgn(dc, shape, RGN_AND);
    }
}

} // namespace

bool CxSkinButton::FollowPressedState() {
    HWND self = GetSafeHwnd();
    POINT cursor{};
    if (!m_bPressedByMouse || self == nullptr || ::GetCapture() != self ||
        !::GetCursorPos(&cursor)) {
        return false;
    }
    switch (FollowPush(IsCursorOverSelf(cursor), (GetState() & BST_PUSHED) != 0)) {
    case SkinPushChange::kPush:
        SendMessage(BM_SETSTATE, TRUE);
        return true;
    case SkinPushChange::kRelease:
        SendMessage(BM_SETSTATE, FALSE);
        return true;
    case SkinPushChange::kNone:
        break;
    }
    return false;
}

HBITMAP CxSkinButton::FaceBitmap(SkinLook look) const {
    switch (look) {
    case SkinLook::kDisabled:
        return m_bmpDisabled;
    case SkinLook::kPressed:
        return m_bmpDown;
    case SkinLook::kHover:
        return m_bmpOver;
    case SkinLook::kFocus:
        return m_bmpFocus;
    case SkinLook::kNormal:
        return m_bmpNormal;
    case SkinLook::kPlainFace:
        break;
    }
    return nullptr;
}

void CxSkinButton::DrawItem(DRAWITEMSTRUCT* item) {
    SkinButtonGuard("Exception caught in CxSkinButton::DrawItem", [&] {
        if (item == nullptr || item->hDC == nullptr || FollowPressedState()) {
            return;
        }
        HDC dc = item->hDC;
        ScopedSaveDC keep(dc);
        ClipToWindowRegion(GetSafeHwnd(), dc);
        std::string caption = GetWindowText();
        RECT r = item->rcItem;
        bool focus = (item->itemState & ODS_FOCUS) != 0;
        SkinLook look = ChooseSkinLook(SkinLookInput{(item->itemState & ODS_DISABLED) != 0,
                                                     (item->itemState & ODS_SELECTED) != 0, focus,
                                                     m_bChecked, m_bHover, m_bmpNormal.IsValid(),
                                                     m_bmpOver.IsValid(), m_bmpFocus.IsValid()});
        ::SetBkMode(dc, TRANSPARENT);

        if (HBITMAP face = FaceBitmap(look)) {
            DrawBitmap(dc, face, r, m_nDrawMode);
        } else {
            CDC(dc).FillSolidRect(r, ::GetSysColor(COLOR_BTNFACE));
        }
        if (m_nBorder != 0) {
            ::DrawEdge(dc, &r, IsSunkenLook(look) ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
        }
        switch (CaptionColourFor(look)) {
        case SkinTextColour::kGray:
            ::SetTextColor(dc, ::GetSysColor(COLOR_GRAYTEXT));
            break;
        case SkinTextColour::kPressed:
            ::SetTextColor(dc, m_crTextPressed);
            break;
        case SkinTextColour::kHover:
            ::SetTextColor(dc, m_crTextHover);
            break;
        case SkinTextColour::kNormal:
            ::SetTextColor(dc, m_crTextNormal);
            break;
        case SkinTextColour::kKeep:
            break;
        }
        if (DrawsFocusRect(look, focus, m_nFocusRectMargin)) {
            RECT f = r;
            ::InflateRect(&f, -m_nFocusRectMargin, -m_nFocusRectMargin);
            ::DrawFocusRect(dc, &f);
        }

        SkinCaption text = LayoutSkinCaption(ToSkinRect(r), look, m_nFocusRectMargin);
        RECT t = ToRect(text.rect);
        CDC out(dc);
        if (text.embossed) {
            COLORREF gray = ::SetTextColor(dc, ::GetSysColor(COLOR_3DHILIGHT));
            out.DrawText(caption, &t, kSkinCaptionFormat);
            ::SetTextColor(dc, gray);
        }
        out.DrawText(caption, &t, kSkinCaptionFormat);
    });
}

void CxSkinButton::DrawBitmap(HDC dc, HBITMAP bitmap, const RECT& r, int drawMode) {
    SkinButtonGuard("Exception caught in CxSkinButton::DrawBitmap", [&] {
        if (drawMode == 2) {
            FillWithBitmap(dc, bitmap, r);
            return;
        }
        int w = r.right - r.left;
        int h = r.bottom - r.top;
        if (bitmap == nullptr || dc == nullptr || w <= 0 || h <= 0) {
            return;
        }
        int bw = GetBitmapWidth(bitmap);
        int bh = GetBitmapHeight(bitmap);
        CMemoryDC source(dc);
        ScopedSelect selectSource(source, bitmap);
        if (!m_bmpMask.IsValid()) {
            if (drawMode == 1) {
                ::StretchBlt(dc, r.left, r.top, w, h, source, 0, 0, bw, bh, SRCCOPY);
            } else {
                ::BitBlt(dc, r.left, r.top, w, h, source, 0, 0, SRCCOPY);
            }
            return;
        }
        // Composed off-screen and copied once, so the screen never shows the
        // inverted intermediate: background ^ bitmap, AND mask, ^ bitmap keeps
        // the background under white mask pixels and the bitmap under black.
        int mw = GetBitmapWidth(m_bmpMask);
        int mh = GetBitmapHeight(m_bmpMask);
        CMemoryDC mask(dc);
        ScopedSelect selectMask(mask, m_bmpMask);
        CMemoryDC compose(dc);
        CBitmap canvas;
        if (!canvas.CreateCompatibleBitmap(dc, w, h)) {
            return;
        }
        ScopedSelect selectCanvas(compose, canvas);
        ::BitBlt(compose, 0, 0, w, h, dc, r.left, r.top, SRCCOPY);
        auto transfer = [&](HDC from, int fromW, int fromH, DWORD rop) {
            if (drawMode == 1) {
                ::StretchBlt(compose, 0, 0, w, h, from, 0, 0, fromW, fromH, rop);
            } else {
                ::BitBlt(compose, 0, 0, w, h, from, 0, 0, rop);
            }
        };
        transfer(source, bw, bh, SRCINVERT);
        transfer(mask, mw, mh, SRCAND);
        transfer(source, bw, bh, SRCINVERT);
        ::BitBlt(dc, r.left, r.top, w, h, compose, 0, 0, SRCCOPY);
    });
}

void CxSkinButton::FillWithBitmap(HDC dc, HBITMAP bitmap, const RECT& r) {
    SkinButtonGuard("Exception caught in CxSkinButton::FillWithBitmap", [&] {
        if (bitmap == nullptr || dc == nullptr) {
            return;
        }
        CMemoryDC source(dc);
        ScopedSelect selectSource(source, bitmap);
        for (const SkinRect& tile :
             TileRects(ToSkinRect(r), GetBitmapWidth(bitmap), GetBitmapHeight(bitmap))) {
            ::BitBlt(dc, tile.left, tile.top, tile.right - tile.left, tile.bottom - tile.top,
                     source, 0, 0, SRCCOPY);
        }
    });
}

HRGN CxSkinButton::CreateRgnFromBitmap(HBITMAP bitmap, COLORREF transparent) {
    try {
        if (bitmap == nullptr) {
            return nullptr;
        }
        ScopedGetDC control(GetSafeHwnd());
        CMemoryDC pixels(control);
        ScopedSelect selectBitmap(pixels, bitmap);
        CMaskRunList runs;
        FindMaskRuns(
            GetBitmapWidth(bitmap), GetBitmapHeight(bitmap),
            [&](int x, int y) { return ::GetPixel(pixels, x, y) != transparent; }, runs);
        CRgn region;
        if (!region.CreateRectRgn(0, 0, 0, 0)) {
            return nullptr;
        }
        for (const SkinRect& run : runs.Runs()) {
            CRgn piece;
            if (piece.CreateRectRgn(run.left, run.top, run.right, run.bottom)) {
                region.CombineRgn(region, piece, RGN_OR);
            }
        }
        return static_cast<HRGN>(region.Detach());
    } catch (...) {
        TraceText("Exception caught in CxSkinButton::CreateRgnFromBitmap");
    }
    return ::CreateRectRgn(0, 0, 0, 0);
}

int CxSkinButton::GetBitmapWidth(HBITMAP bitmap) {
    BITMAP info{};
    SkinButtonGuard("Exception caught in CxSkinButton::GetBitmapWidth", [&] {
        if (bitmap != nullptr) {
            ::GetObjectA(bitmap, sizeof(info), &info);
        }
    });
    return info.bmWidth;
}

int CxSkinButton::GetBitmapHeight(HBITMAP bitmap) {
    BITMAP info{};
    SkinButtonGuard("Exception caught in CxSkinButton::GetBitmapHeight", [&] {
        if (bitmap != nullptr) {
            ::GetObjectA(bitmap, sizeof(info), &info);
        }
    });
    return info.bmHeight;
}
