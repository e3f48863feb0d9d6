// The transparent and coloured statics and the picture dialogs' colour rule,
// drawn for real and read back from the screen.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "framework/gdi.h"
#include "gui/controls/color_static.h"
#include "gui/controls/static_colour.h"
#include "gui/controls/transparent_static.h"
#include "tests/win32/framework/framework_test_support.h"
#include "tests/win32/statics_combo/statics_combo_support.h"

namespace {

using sctest::Canvas;
using sctest::ClientPixels;

const COLORREF kStripeA = RGB(255, 200, 0);
const COLORREF kStripeB = RGB(0, 160, 255);

// The stand-in for a background picture: 3-pixel vertical stripes in dialog
// client coordinates.
COLORREF Stripe(int x) {
    return (x / 3) % 2 == 0 ? kStripeA : kStripeB;
}

void PaintStripes(HDC dc, int originX, int width, int height) {
    CDC draw(dc);
    for (int x = 0; x < width; ++x) {
        draw.FillSolidRect(x, 0, 1, height, Stripe(originX + x));
    }
}

bool IsStripe(COLORREF c) {
    return c == kStripeA || c == kStripeB;
}

// A popup dialog whose controls are placed in pixels after creation.
struct Placed {
    int id;
    int x, y, cx, cy;
};

class StripedDialog : public CDialog {
public:
    explicit StripedDialog(std::vector<std::uint8_t> tmpl, std::vector<Placed> placed,
                           bool striped = true)
        : CDialog(std::move(tmpl)), m_placed(std::move(placed)), m_bStriped(striped) {}

    BOOL OnInitDialog() override {
        BOOL r = CDialog::OnInitDialog();
        SetWindowPos(nullptr, 40, 40, 420, 260, SWP_NOZORDER | SWP_NOACTIVATE);
        for (const Placed& p : m_placed) {
            ::MoveWindow(GetDlgItem(p.id), p.x, p.y, p.cx, p.cy, TRUE);
        }
        return r;
    }
    BOOL OnEraseBkgnd(HDC dc) override {
        if (!m_bStriped) {
            return CDialog::OnEraseBkgnd(dc);
        }
        RECT r = GetClientRect();
        PaintStripes(dc, 0, r.right, r.bottom);
        return TRUE;
    }
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type) override {
        if (type == CTLCOLOR_STATIC) {
            staticQueries.push_back(control);
        }
        return CDialog::OnCtlColor(dc, control, type);
    }
    // Everything repainted now, the background first.
    void RedrawAll() {
        ::RedrawWindow(GetSafeHwnd(), nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        fwtest::PumpPending();
    }

    std::vector<HWND> staticQueries;

private:
    std::vector<Placed> m_placed;
    bool m_bStriped;
};

std::vector<std::uint8_t> OneStatic(DWORD style, const std::string& text) {
    CDialogTemplate t = fwtest::PopupTemplate("Statics");
    t.AddControl(CDialogTemplate::kStatic, 300, text, WS_CHILD | WS_VISIBLE | style, 5, 5, 60, 30);
    return t.Build();
}

const char kStatusText[] = "Rotating &proxies every twenty seconds until stopped";

class TransparentStaticTest : public ::testing::Test {
protected:
    // Shows a transparent static of the style at (12, 10), 150 x 64 pixels,
    // in a bold 15-pixel font of its own, over the stripes.
    void Show(DWORD style) {
        m_dlg = std::make_unique<StripedDialog>(OneStatic(style, kStatusText),
                                                std::vector<Placed>{{300, 12, 10, 150, 64}});
        ASSERT_TRUE(m_dlg->Create());
        ASSERT_TRUE(m_static.SubclassDlgItem(300, m_dlg.get()));
        m_static.SetFont(m_font, false);
        m_dlg->RedrawAll();
        m_dlg->staticQueries.clear();
        m_dlg->RedrawAll();
    }

    // What the control should show: the stripes under it and the text drawn
    // transparently in black with exactly this format.
    void ExpectDrawnWith(UINT format) {
        ClientPixels shown(m_static);
        ASSERT_EQ(shown.Width(), 150);
        ASSERT_EQ(shown.Height(), 64);
        Canvas expected(150, 64);
        ASSERT_TRUE(expected.IsValid());
        PaintStripes(expected.Dc(), 12, 150, 64);
        {
            ScopedSelect font(expected.Dc(), m_font.Get());
            ::SetBkMode(expected.Dc(), TRANSPARENT);
            ::SetTextColor(expected.Dc(), RGB(0, 0, 0));
            RECT r{0, 0, 150, 64};
            CDC(expected.Dc()).DrawText(kStatusText, &r, format);
        }
        int differing =
            shown.Count([&](int x, int y, COLORREF c) { return c != expected.At(x, y); });
        EXPECT_EQ(differing, 0) << "pixels unlike DrawText with format 0x" << std::hex << format;
        int stripes = shown.Count([](int x, int, COLORREF c) { return c == Stripe(12 + x); });
        int black = shown.Count([](int, int, COLORREF c) { return c == RGB(0, 0, 0); });
        EXPECT_GT(stripes, 150 * 64 / 2) << "the background shows around the text";
        EXPECT_GT(black, 40) << "the text is black";
        EXPECT_EQ(stripes + black + shown.Count([](int x, int, COLORREF c) {
            return c != Stripe(12 + x) && c != RGB(0, 0, 0);
        }),
                  150 * 64);
        for (HWND asked : m_dlg->staticQueries) {
            EXPECT_NE(asked, m_static.GetSafeHwnd()) << "no WM_CTLCOLORSTATIC from the control";
        }
    }

    // Rows of the control that hold text pixels.
    std::vector<int> TextRows() {
        ClientPixels shown(m_static);
        std::vector<int> rows;
        for (int y = 0; y < shown.Height(); ++y) {
            for (int x = 0; x < shown.Width(); ++x) {
                if (!IsStripe(shown.At(x, y))) {
                    rows.push_back(y);
                    break;
                }
            }
        }
        return rows;
    }

    int LineHeight() {
        ScopedGetDC dc(m_static);
        ScopedSelect font(dc, m_font.Get());
        TEXTMETRICA tm{};
        ::GetTextMetricsA(dc, &tm);
        return tm.tmHeight;
    }

    CFont m_font = sctest::MakeFont(-15, FW_BOLD, "Tahoma");
    std::unique_ptr<StripedDialog> m_dlg;
    CTransparentStatic m_static;
};

TEST_F(TransparentStaticTest, IsItsOwnRunTimeClass) {
    EXPECT_STREQ(m_static.GetRuntimeClass()->m_lpszClassName, "CTransparentStatic");
    EXPECT_TRUE(m_static.IsKindOf(RUNTIME_CLASS(CStatic)));
}

TEST_F(TransparentStaticTest, PlainLeftTextWrapsWordsOverTheBackground) {
    Show(SS_LEFT);
    ExpectDrawnWith(DT_WORDBREAK);
    std::vector<int> rows = TextRows();
    ASSERT_FALSE(rows.empty());
    EXPECT_LT(rows.front(), LineHeight()) << "starts on the first line";
    EXPECT_GT(rows.back() - rows.front(), LineHeight() * 3 / 2) << "wraps onto more lines";
}

TEST_F(TransparentStaticTest, CenterImageDrawsOneVerticallyCentredLine) {
    Show(SS_CENTERIMAGE);
    ExpectDrawnWith(DT_VCENTER | DT_SINGLELINE);
    std::vector<int> rows = TextRows();
    ASSERT_FALSE(rows.empty());
    EXPECT_LE(rows.back() - rows.front(), LineHeight()) << "a single line";
    int middle = (rows.front() + rows.back()) / 2;
    EXPECT_NEAR(middle, 32, 4) << "centred in the 64-pixel control";
}

TEST_F(TransparentStaticTest, AlignmentPrefixAndEllipsisStylesReachDrawText) {
    Show(SS_CENTER | SS_NOPREFIX);
    ExpectDrawnWith(DT_CENTER | DT_NOPREFIX | DT_WORDBREAK);
    m_dlg.reset();

    Show(SS_RIGHT | SS_ENDELLIPSIS);
    ExpectDrawnWith(DT_RIGHT | DT_WORD_ELLIPSIS | DT_END_ELLIPSIS);
}

TEST(ColorStatic, AnswersBlackTextOnButtonFaceWithItsOwnBrush) {
    CColorStatic label;
    EXPECT_EQ(label.GetRuntimeClass(), RUNTIME_CLASS(CStatic)) << "no run-time class of its own";
    StripedDialog dlg(OneStatic(SS_LEFT, "Proxy list"), {{300, 20, 20, 120, 30}}, false);
    ASSERT_TRUE(dlg.Create());
    ASSERT_TRUE(label.SubclassDlgItem(300, &dlg));

    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    ScopedGetDC dc(label);
    ::SetTextColor(dc, RGB(1, 2, 3));
    ::SetBkColor(dc, RGB(4, 5, 6));
    auto ask = [&] {
        return reinterpret_cast<HBRUSH>(
            dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()),
                            reinterpret_cast<LPARAM>(label.GetSafeHwnd())));
    };
    HBRUSH brush = ask();
    EXPECT_EQ(::GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(::GetBkColor(dc), face);
    ASSERT_NE(brush, nullptr);
    EXPECT_NE(brush, ::GetSysColorBrush(COLOR_BTNFACE)) << "its own brush, not the default answer";
    LOGBRUSH lb{};
    ASSERT_EQ(::GetObjectA(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
    EXPECT_EQ(lb.lbColor, face);
    EXPECT_EQ(ask(), brush) << "one brush, made at construction";

    dlg.RedrawAll();
    ClientPixels shown(label);
    int faces = shown.Count([&](int, int, COLORREF c) { return c == face; });
    int black = shown.Count([](int, int, COLORREF c) { return c == RGB(0, 0, 0); });
    int darker = shown.Count([&](int, int, COLORREF c) {
        return GetRValue(c) <= GetRValue(face) && GetGValue(c) <= GetGValue(face) &&
               GetBValue(c) <= GetBValue(face);
    });
    EXPECT_GT(faces, shown.Width() * shown.Height() / 2);
    EXPECT_GT(black, 10);
    EXPECT_EQ(darker, shown.Width() * shown.Height()) << "text shades only, on the face colour";
}

// A dialog that applies the picture dialogs' colour rule over its stripes.
class RuleDialog : public StripedDialog {
public:
    using StripedDialog::StripedDialog;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT type) override {
        HBRUSH base = StripedDialog::OnCtlColor(dc, control, type);
        return controls::ApplyStaticColourRule(base, dc, control, type, m_bStaticTransparent,
                                               m_hollow);
    }
    bool m_bStaticTransparent = true;
    HBRUSH m_hollow = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
};

std::vector<std::uint8_t> RuleTemplate() {
    CDialogTemplate t = fwtest::PopupTemplate("Rule");
    t.AddControl(CDialogTemplate::kStatic, 310, "Plain label", WS_CHILD | WS_VISIBLE | SS_LEFT, 5,
                 5, 60, 10);
    t.AddControl(CDialogTemplate::kStatic, 311, "Coloured label", WS_CHILD | WS_VISIBLE | SS_LEFT,
                 5, 20, 60, 10);
    t.AddControl(TRACKBAR_CLASSA, 312, "", WS_CHILD | WS_VISIBLE | TBS_HORZ | TBS_NOTICKS, 5, 35,
                 100, 20);
    t.AddControl(CDialogTemplate::kEdit, 313, "edit", WS_CHILD | WS_VISIBLE | WS_BORDER, 5, 60, 60,
                 12);
    return t.Build();
}

class StaticColourRuleTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
        ASSERT_TRUE(::InitCommonControlsEx(&icc));
        ASSERT_TRUE(m_dlg.Create());
        ASSERT_TRUE(m_coloured.SubclassDlgItem(311, &m_dlg));
        ASSERT_NE(m_dlg.GetDlgItem(312), nullptr) << "the trackbar exists";
    }

    // Asks the dialog as the control would, from a DC with opaque settings.
    struct Answer {
        HBRUSH brush;
        int bkMode;
        COLORREF text;
    };
    Answer Ask(UINT msg, int id) {
        HWND control = m_dlg.GetDlgItem(id);
        ScopedGetDC dc(control);
        ::SetBkMode(dc, OPAQUE);
        ::SetTextColor(dc, RGB(1, 2, 3));
        HBRUSH brush = reinterpret_cast<HBRUSH>(m_dlg.SendMessage(
            msg, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(control)));
        return Answer{brush, ::GetBkMode(dc), ::GetTextColor(dc)};
    }

    const HBRUSH m_hollow = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    RuleDialog m_dlg{RuleTemplate(),
                     {{310, 10, 10, 160, 20},
                      {311, 10, 40, 160, 20},
                      {312, 10, 80, 200, 30},
                      {313, 10, 130, 120, 22}}};
    CColorStatic m_coloured;
};

TEST_F(StaticColourRuleTest, StaticsGetTheHollowBrushOthersTheDefault) {
    Answer plain = Ask(WM_CTLCOLORSTATIC, 310);
    EXPECT_EQ(plain.brush, m_hollow);
    EXPECT_EQ(plain.bkMode, TRANSPARENT);

    Answer coloured = Ask(WM_CTLCOLORSTATIC, 311);
    EXPECT_EQ(coloured.brush, m_hollow);
    EXPECT_EQ(coloured.bkMode, TRANSPARENT);
    EXPECT_EQ(coloured.text, RGB(0, 0, 0)) << "the coloured static's text colour stays";

    Answer trackbar = Ask(WM_CTLCOLORSTATIC, 312);
    EXPECT_NE(trackbar.brush, m_hollow);
    EXPECT_NE(trackbar.brush, nullptr);
    EXPECT_EQ(trackbar.bkMode, OPAQUE);

    Answer edit = Ask(WM_CTLCOLOREDIT, 313);
    EXPECT_NE(edit.brush, m_hollow);
    EXPECT_EQ(edit.bkMode, OPAQUE);

    m_dlg.m_bStaticTransparent = false;
    Answer opaque = Ask(WM_CTLCOLORSTATIC, 310);
    EXPECT_NE(opaque.brush, m_hollow);
    EXPECT_EQ(opaque.bkMode, OPAQUE);
}

TEST_F(StaticColourRuleTest, LabelsShowThePictureATrackbarKeepsItsBackground) {
    m_dlg.RedrawAll();
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    for (int id : {310, 311}) {
        ClientPixels label(m_dlg.GetDlgItem(id));
        int area = label.Width() * label.Height();
        int stripes = label.Count([](int x, int, COLORREF c) { return c == Stripe(10 + x); });
        int black = label.Count([](int, int, COLORREF c) { return c == RGB(0, 0, 0); });
        EXPECT_GT(stripes, area / 2) << id;
        EXPECT_GT(black, 10) << id;
        EXPECT_EQ(label.Count([&](int, int, COLORREF c) { return c == face; }), 0) << id;
    }
    ClientPixels trackbar(m_dlg.GetDlgItem(312));
    // The trackbar's own background: its top rows hold neither channel nor thumb.
    for (int x = 0; x < trackbar.Width(); ++x) {
        ASSERT_EQ(trackbar.At(x, 0), face) << "x " << x;
    }
    EXPECT_EQ(trackbar.Count([](int x, int, COLORREF c) { return c == Stripe(10 + x); }), 0);
}

} // namespace
