// CxSkinButton under Wine, drawn through the system button (WM_PRINTCLIENT
// into a DIB) and read back pixel by pixel: each state shows its bitmap and
// caption, the draw modes place the pattern, masks compose and shape the
// window region exactly, the check state lives in the object, the pushed
// look follows the cursor, and repeated skinning leaks no GDI object.
#include <windows.h>
#include <commctrl.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "framework/dialog.h"
#include "framework/dialog_template.h"
#include "gui/controls/skin_button.h"
#include "tests/support/message_pump.h"
#include "tests/win32/controls/skin_button_test_ids.h"

namespace {

const COLORREF kNormal = RGB(220, 40, 40);
const COLORREF kDown = RGB(40, 160, 40);
const COLORREF kOver = RGB(40, 40, 220);
const COLORREF kFocus = RGB(220, 200, 40);
const COLORREF kDisabled = RGB(150, 90, 200);
const COLORREF kBack = RGB(7, 77, 177); // what the target held before drawing
const COLORREF kTextNormal = RGB(10, 10, 10);
const COLORREF kTextPressed = RGB(250, 250, 250);
const COLORREF kTextHover = RGB(0, 250, 250);
const int kW = 40, kH = 20;

COLORREF PatternAt(int x, int y) {
    return RGB(40 + 50 * (x / 5), 60 + 120 * (y / 5), 90);
}

// Same shape as make_skin_bitmaps.py's ODD_MASK.
const char* const kOddMask[] = {
    ".##..#.....##", "............#", "#############", ".............", "#.#.#.#.#.#.#",
    "...####......", "###.....###..", "..........###", "#...........#",
};

// Opens the settings the control keeps to itself.
class TestSkinButton : public CxSkinButton {
public:
    using CxSkinButton::m_pCompanion;
    using CxSkinButton::m_ToolTip;
};

struct Image {
    int w = 0, h = 0;
    std::vector<COLORREF> px;
    COLORREF At(int x, int y) const { return px[static_cast<size_t>(y * w + x)]; }
    int Count(COLORREF c) const { return static_cast<int>(std::count(px.begin(), px.end(), c)); }
    // Bounding box of the pixels not of the face colour: the caption's ink.
    RECT Ink(COLORREF face) const {
        RECT r{w, h, -1, -1};
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (At(x, y) != face) {
                    r = {std::min<LONG>(r.left, x), std::min<LONG>(r.top, y),
                         std::max<LONG>(r.right, x), std::max<LONG>(r.bottom, y)};
                }
            }
        }
        return r;
    }
};

// The button's client area as the system button paints it on request.
Image Render(HWND button) {
    RECT client{};
    ::GetClientRect(button, &client);
    Image img;
    img.w = client.right;
    img.h = client.bottom;
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), img.w, -img.h, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    CMemoryDC dc(nullptr);
    CBitmap dib;
    dib.Attach(::CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!dib.IsValid()) {
        ADD_FAILURE() << "no DIB section";
        return img;
    }
    ScopedSelect select(dc, dib);
    CDC(dc).FillSolidRect(client, kBack);
    ::SendMessageA(button, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.Get()), PRF_CLIENT);
    ::GdiFlush();
    const DWORD* p = static_cast<const DWORD*>(bits);
    for (int i = 0; i < img.w * img.h; ++i) {
        img.px.push_back(RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF));
    }
    return img;
}

// A face of one colour (sampled away from the caption) with caption ink of another.
void ExpectLook(HWND button, COLORREF face, COLORREF text, const char* what) {
    Image img = Render(button);
    ASSERT_EQ(img.px.size(), static_cast<size_t>(kW * kH)) << what;
    EXPECT_EQ(img.At(1, 1), face) << what;
    EXPECT_EQ(img.At(kW - 2, kH - 2), face) << what;
    EXPECT_GT(img.Count(text), 5) << what << ": caption colour";
}

POINT ScreenPoint(HWND wnd, int x, int y) {
    POINT p{x, y};
    ::ClientToScreen(wnd, &p);
    return p;
}

LPARAM At(int x, int y) {
    return MAKELPARAM(x, y);
}

// Live GDI objects of this process. Wine answers 0 from GetGuiResources, so
// there the process's GDI handle table (the PEB's, entries of 24 bytes with
// the type at offset 14, 0 when free) is counted instead; -1 when neither works.
int CountGdiObjects() {
    DWORD counted = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (counted != 0) {
        return static_cast<int>(counted);
    }
    HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
    if (ntdll == nullptr || ::GetProcAddress(ntdll, "wine_get_version") == nullptr) {
        return -1;
    }
    using QueryProcess = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    auto query = reinterpret_cast<QueryProcess>(
        reinterpret_cast<void*>(::GetProcAddress(ntdll, "NtQueryInformationProcess")));
    PROCESS_BASIC_INFORMATION basic{};
    if (query == nullptr || query(::GetCurrentProcess(), 0, &basic, sizeof(basic), nullptr) != 0) {
        return -1;
    }
    const BYTE* peb = reinterpret_cast<const BYTE*>(basic.PebBaseAddress);
    const BYTE* table =
        *reinterpret_cast<const BYTE* const*>(peb + (sizeof(void*) == 8 ? 0xF8 : 0x94));
    if (table == nullptr) {
        return -1;
    }
    int n = 0;
    for (int i = 0; i < 0x10000; ++i) {
        n += table[i * 24 + 14] != 0 ? 1 : 0;
    }
    return n;
}

LRESULT CALLBACK RecordRelay(HWND h, UINT m, WPARAM w, LPARAM l, UINT_PTR, DWORD_PTR relayed) {
    if (m == TTM_RELAYEVENT) {
        reinterpret_cast<std::vector<MSG>*>(relayed)->push_back(*reinterpret_cast<const MSG*>(l));
    }
    return ::DefSubclassProc(h, m, w, l);
}

enum : int { kPush = 100, kCheck, kRadio1, kRadio2, kRadio3, kOtherRadio, kPlainCheck, kLabel };

std::vector<std::uint8_t> ButtonsTemplate() {
    CDialogTemplate t(WS_POPUP | WS_VISIBLE | DS_SETFONT, WS_EX_TOPMOST, 0, 0, 180, 80, "Skins");
    // One radio group of three, then groups of one each.
    const DWORD styles[] = {
        WS_GROUP | BS_PUSHBUTTON, WS_GROUP | BS_AUTOCHECKBOX, WS_GROUP | BS_AUTORADIOBUTTON,
        BS_AUTORADIOBUTTON,       BS_AUTORADIOBUTTON,         WS_GROUP | BS_AUTORADIOBUTTON,
        WS_GROUP | BS_CHECKBOX};
    for (int i = 0; i < 7; ++i) {
        t.AddControl(CDialogTemplate::kButton, kPush + i, i < 2 ? "Go" : "",
                     WS_CHILD | WS_VISIBLE | WS_TABSTOP | styles[i], 0, 0, 1, 1);
    }
    t.AddControl(CDialogTemplate::kStatic, kLabel, "", WS_CHILD | WS_VISIBLE | WS_GROUP, 0, 0, 1,
                 1);
    return t.Build();
}

class ButtonsDialog : public CDialog {
public:
    ButtonsDialog() : CDialog(ButtonsTemplate()) {}
    BOOL OnInitDialog() override {
        BOOL r = CDialog::OnInitDialog();
        // Aliased text, so caption pixels carry exactly the caption colour.
        LOGFONTA lf{};
        lf.lfHeight = -12;
        lf.lfWeight = FW_BOLD;
        lf.lfQuality = NONANTIALIASED_QUALITY;
        lstrcpyA(lf.lfFaceName, "Tahoma");
        m_font.CreateFontIndirect(&lf);
        for (int id = kPush; id <= kLabel; ++id) {
            int i = id - kPush;
            CWnd(GetDlgItem(id))
                .SetWindowPos(nullptr, 10 + (i % 4) * 60, 10 + (i / 4) * 40, kW, kH, SWP_NOZORDER);
            CWnd(GetDlgItem(id)).SetFont(m_font, false);
        }
        return r;
    }
    void DoDataExchange(CDataExchange* dx) override {
        TestSkinButton* all[] = {&push, &check, &radio1, &radio2, &radio3, &otherRadio, &plain};
        for (int i = 0; i < 7; ++i) {
            DDX_Control(dx, kPush + i, *all[i]);
        }
    }
    CFont m_font;
    TestSkinButton push, check, radio1, radio2, radio3, otherRadio, plain;
};

class SkinButtonTest : public ::testing::Test {
protected:
    void SetUp() override {
        ParkCursor();
        dlg = std::make_unique<ButtonsDialog>();
        ASSERT_TRUE(dlg->Create());
        // Topmost and out of the way: hit tests must find these buttons.
        dlg->SetWindowPos(HWND_TOPMOST, 900, 700, 0, 0, SWP_NOSIZE);
        ::SetForegroundWindow(*dlg);
        // The dialog gave its first button the focus; tests give it where they need it.
        ::SetFocus(nullptr);
        PumpMessagesFor(30);
        Skin(dlg->push);
        Skin(dlg->check);
    }
    void TearDown() override {
        if (dlg) {
            dlg->DestroyWindow();
        }
    }
    static void Skin(TestSkinButton& b, UINT disabled = IDB_SKIN_DISABLED, UINT mask = 0,
                     short mode = 1, short border = 0) {
        b.SetSkin(IDB_SKIN_NORMAL, IDB_SKIN_DOWN, IDB_SKIN_OVER, disabled, IDB_SKIN_FOCUS, mask,
                  mode, border, 0);
        b.SetTextColors(kTextNormal, kTextPressed, kTextHover);
    }
    static void ParkCursor() { ::SetCursorPos(5, 1010); }
    static SIZE ClientSize(HWND wnd) {
        RECT r{};
        ::GetClientRect(wnd, &r);
        return SIZE{r.right, r.bottom};
    }
    std::unique_ptr<ButtonsDialog> dlg;
};

TEST_F(SkinButtonTest, AttachingMakesItOwnerDrawnAndClassifiesTheStyle) {
    EXPECT_STREQ(dlg->push.GetRuntimeClass()->m_lpszClassName, "CxSkinButton");
    EXPECT_TRUE(dlg->push.IsKindOf(RUNTIME_CLASS(CButton)));
    for (int id = kPush; id <= kPlainCheck; ++id) {
        EXPECT_EQ(CWnd(dlg->GetDlgItem(id)).GetStyle() & BS_TYPEMASK,
                  static_cast<DWORD>(BS_OWNERDRAW));
    }
    // A push button, and BS_CHECKBOX (not automatic) classified as one, hold no check.
    for (TestSkinButton* b : {&dlg->push, &dlg->plain}) {
        b->SetCheck(1);
        EXPECT_EQ(b->GetCheck(), 0);
        b->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
        b->SendMessage(WM_LBUTTONUP, 0, At(5, 5));
        EXPECT_EQ(b->GetCheck(), 0) << "clicks never check it";
    }
    ExpectLook(dlg->push, kNormal, kTextNormal, "push button after BM_SETCHECK");
    dlg->check.SetCheck(1);
    EXPECT_EQ(dlg->check.GetCheck(), 1);
    EXPECT_EQ(::SendMessageA(dlg->check, BM_GETSTATE, 0, 0) & BST_CHECKED, 0)
        << "the state lives in the object, not in the system button";
    ExpectLook(dlg->check, kDown, kTextPressed, "checked");
}

TEST_F(SkinButtonTest, EachStateShowsItsBitmapAndCaption) {
    HWND push = dlg->push;
    ExpectLook(push, kNormal, kTextNormal, "normal");
    RECT normalInk = Render(push).Ink(kNormal);

    dlg->push.SetState(true);
    ExpectLook(push, kDown, kTextPressed, "pressed");
    RECT pressedInk = Render(push).Ink(kDown);
    ::OffsetRect(&normalInk, 1, 1);
    EXPECT_TRUE(::EqualRect(&pressedInk, &normalInk)) << "the caption moves by (1, 1)";
    dlg->push.SetState(false);

    // Hover needs the cursor really there, or leave tracking ends it at once.
    ::SetCursorPos(ScreenPoint(push, 20, 10).x, ScreenPoint(push, 20, 10).y);
    dlg->push.SendMessage(WM_MOUSEMOVE, 0, At(20, 10));
    ExpectLook(push, kOver, kTextHover, "hover");
    ParkCursor();
    EXPECT_TRUE(PumpMessagesUntil([&] { return Render(push).At(1, 1) == kNormal; }, 4000))
        << "WM_MOUSELEAVE ends the hover look";

    dlg->push.SetFocus();
    ExpectLook(push, kFocus, kTextNormal, "focus");
    dlg->push.EnableWindow(false);
    ExpectLook(push, kDisabled, ::GetSysColor(COLOR_GRAYTEXT), "disabled");
    EXPECT_EQ(Render(push).Count(kTextNormal), 0);
    Skin(dlg->push, 0);
    ExpectLook(push, kNormal, ::GetSysColor(COLOR_GRAYTEXT), "disabled falls back to normal");

    dlg->push.EnableWindow(true);
    dlg->push.SetFocus();
    dlg->push.SetSkin(IDB_SKIN_NORMAL, 0, 0, 0, 0, 0, 1, 0, 0);
    ExpectLook(push, kNormal, kTextNormal, "focus without a focus bitmap");
    dlg->push.SetState(true);
    EXPECT_EQ(Render(push).At(1, 1), ::GetSysColor(COLOR_BTNFACE)) << "no down bitmap";
    dlg->push.SetState(false);
    dlg->push.SetSkin(0, 0, 0, 0, 0, 0, 1, 0, 0);
    EXPECT_EQ(Render(push).At(1, 1), ::GetSysColor(COLOR_BTNFACE)) << "no normal bitmap";
}

TEST_F(SkinButtonTest, DrawModesCopyStretchAndTile) {
    HWND push = dlg->push;
    dlg->push.SetWindowText("");
    for (short mode : {0, 1, 2, 7}) {
        dlg->push.SetSkin(IDB_SKIN_PATTERN, 0, 0, 0, 0, 0, mode, 0, 0);
        Image img = Render(push);
        int wrong = 0;
        for (int y = 0; y < kH; ++y) {
            for (int x = 0; x < kW; ++x) {
                COLORREF want = mode == 1   ? PatternAt(x / 2, y / 2)
                                : mode == 0 ? (x < 20 && y < 10 ? PatternAt(x, y) : kBack)
                                            : PatternAt(x % 20, y % 10);
                wrong += img.At(x, y) != want ? 1 : 0;
            }
        }
        EXPECT_EQ(wrong, 0) << "mode " << mode;
    }

    // The focus rectangle sits at the margin; a negative margin is none.
    dlg->push.SetFocus();
    dlg->push.SetSkin(IDB_SKIN_NORMAL, 0, 0, 0, 0, 0, 1, 0, 4);
    Image framed = Render(push);
    int column3 = 0, column4 = 0;
    for (int y = 0; y < kH; ++y) {
        column3 += framed.At(3, y) != kNormal ? 1 : 0;
        column4 += framed.At(4, y) != kNormal ? 1 : 0;
    }
    EXPECT_GT(column4, 3) << "focus rectangle at margin 4";
    EXPECT_EQ(column3, 0);
    dlg->push.SetSkin(IDB_SKIN_NORMAL, 0, 0, 0, 0, 0, 1, 0, -4);
    EXPECT_EQ(Render(push).Count(kNormal), kW * kH) << "margin -4 draws as 0";

    // A border: raised edge, sunken while pressed.
    dlg->push.SetSkin(IDB_SKIN_NORMAL, IDB_SKIN_DOWN, 0, 0, 0, 0, 1, 1, 0);
    EXPECT_EQ(Render(push).At(20, 0), ::GetSysColor(COLOR_3DLIGHT));
    dlg->push.SetState(true);
    EXPECT_EQ(Render(push).At(20, 0), ::GetSysColor(COLOR_3DSHADOW));
    dlg->push.SetState(false);
}

TEST_F(SkinButtonTest, MaskedDrawingKeepsTheBackgroundWhereTheMaskIsWhite) {
    // The centred caption crosses the mask's edge: it is cut there as well.
    for (UINT mask : {IDB_SKIN_MASK_HALF, IDB_SKIN_MASK_HALF_MONO}) {
        for (short mode : {0, 1}) {
            Skin(dlg->push, IDB_SKIN_DISABLED, mask, mode);
            Image img = Render(dlg->push);
            ASSERT_EQ(img.w, kW);
            int wrong = 0;
            for (int y = 0; y < kH; ++y) {
                for (int x = 0; x < kW; ++x) {
                    COLORREF p = img.At(x, y);
                    wrong += (x < 20 ? p != kNormal && p != kTextNormal : p != kBack) ? 1 : 0;
                }
            }
            EXPECT_EQ(wrong, 0) << "mask " << mask << " mode " << mode;
        }
    }
}

TEST_F(SkinButtonTest, MaskRegionIsExactlyTheBlackPixels) {
    HWND push = dlg->push;
    Skin(dlg->push, IDB_SKIN_DISABLED, IDB_SKIN_MASK_ODD, 0);
    SIZE size = ClientSize(push);
    EXPECT_EQ(size.cx, 13) << "mode 0 takes the mask's size";
    EXPECT_EQ(size.cy, 9);
    CRgn window;
    window.CreateRectRgn(0, 0, 0, 0);
    ASSERT_EQ(::GetWindowRgn(push, window), COMPLEXREGION);
    CBitmap mask;
    ASSERT_TRUE(mask.LoadBitmap(IDB_SKIN_MASK_ODD));
    CRgn made;
    made.Attach(dlg->push.CreateRgnFromBitmap(mask, RGB(255, 255, 255)));
    ASSERT_TRUE(made.IsValid());
    EXPECT_TRUE(::EqualRgn(made, window));
    for (int y = -1; y <= 9; ++y) {
        for (int x = -1; x <= 13; ++x) {
            bool black = x >= 0 && y >= 0 && x < 13 && y < 9 && kOddMask[y][x] == '#';
            EXPECT_EQ(::PtInRegion(window, x, y) != FALSE, black) << x << "," << y;
        }
    }

    for (short mode : {1, 2}) {
        dlg->push.SetWindowPos(nullptr, 0, 0, kW, kH, SWP_NOMOVE | SWP_NOZORDER);
        Skin(dlg->push, IDB_SKIN_DISABLED, IDB_SKIN_MASK_ODD, mode);
        EXPECT_EQ(ClientSize(push).cx, kW) << "mode " << mode << " keeps the size";
        EXPECT_EQ(ClientSize(push).cy, kH);
    }

    // An all-white mask: an empty region, nothing to see or click.
    Skin(dlg->push, IDB_SKIN_DISABLED, IDB_SKIN_MASK_WHITE, 1);
    EXPECT_EQ(::GetWindowRgn(push, window), NULLREGION);
    EXPECT_NE(::WindowFromPoint(ScreenPoint(push, 20, 10)), push);
    EXPECT_EQ(dlg->push.CreateRgnFromBitmap(nullptr, RGB(255, 255, 255)), nullptr);
}

TEST_F(SkinButtonTest, ChecksFollowClicksKeysAndRadioGroups) {
    TestSkinButton& check = dlg->check;
    auto click = [](CWnd& b, LPARAM up) {
        b.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(5, 5));
        b.SendMessage(WM_LBUTTONUP, 0, up);
    };
    click(check, At(5, 5));
    EXPECT_EQ(check.GetCheck(), 1);
    click(check, At(-30, 5));
    EXPECT_EQ(check.GetCheck(), 1) << "released outside: no toggle";
    check.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, At(5, 5));
    EXPECT_EQ(::GetCapture(), check.GetSafeHwnd()) << "a double click is a press";
    check.SendMessage(WM_LBUTTONUP, 0, At(5, 5));
    EXPECT_EQ(check.GetCheck(), 0) << "a double click is a second press";
    check.SendMessage(WM_KEYDOWN, VK_SPACE, 0x00390001);
    check.SendMessage(WM_KEYUP, VK_SPACE, 0xC0390001);
    EXPECT_EQ(check.GetCheck(), 1) << "space toggles";
    dlg->push.SendMessage(WM_KEYDOWN, VK_SPACE, 0x00390001);
    dlg->push.SendMessage(WM_KEYUP, VK_SPACE, 0xC0390001);
    EXPECT_EQ(dlg->push.GetCheck(), 0);

    dlg->otherRadio.SetCheck(1);
    dlg->radio1.SendMessage(WM_KEYDOWN, VK_SPACE, 0x00390001);
    dlg->radio1.SendMessage(WM_KEYUP, VK_SPACE, 0xC0390001);
    EXPECT_EQ(dlg->radio1.GetCheck(), 1) << "space checks a radio button";
    PumpMessagesFor(30);
    dlg->radio2.SetCheck(1);
    EXPECT_EQ(dlg->radio1.GetCheck(), 1) << "the group unchecks by posted message";
    PumpMessagesFor(30);
    EXPECT_EQ(dlg->radio1.GetCheck(), 0);
    EXPECT_EQ(dlg->radio2.GetCheck(), 1);
    EXPECT_EQ(dlg->radio3.GetCheck(), 0);
    EXPECT_EQ(dlg->otherRadio.GetCheck(), 1) << "another group is left alone";
}

TEST_F(SkinButtonTest, PressedLookFollowsTheCursorWhileHeld) {
    HWND push = dlg->push;
    POINT inside = ScreenPoint(push, 20, 10);
    ::SetCursorPos(inside.x, inside.y);
    dlg->push.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, At(20, 10));
    ASSERT_EQ(::GetCapture(), push);
    ExpectLook(push, kDown, kTextPressed, "held");

    // Drawing while the cursor is elsewhere only releases the pushed look.
    ParkCursor();
    EXPECT_EQ(Render(push).Count(kBack), kW * kH) << "that drawing paints nothing";
    EXPECT_EQ(dlg->push.GetState() & BST_PUSHED, 0u);
    // The redraw that a state change brings checks the real cursor as well,
    // so it moves with the messages.
    ::SetCursorPos(inside.x, inside.y);
    dlg->push.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(20, 10));
    EXPECT_NE(dlg->push.GetState() & BST_PUSHED, 0u) << "back over it";
    ParkCursor();
    dlg->push.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, At(20, 40));
    EXPECT_EQ(dlg->push.GetState() & BST_PUSHED, 0u) << "dragged out";

    dlg->check.SetFocus();
    EXPECT_NE(::GetCapture(), push) << "losing the focus lets the capture go";
    ExpectLook(push, kNormal, kTextNormal, "no longer held");
    // Nor pressed by the mouse any more: a key press is not taken back by
    // the cursor being elsewhere.
    dlg->push.SetFocus();
    dlg->push.SendMessage(WM_KEYDOWN, VK_SPACE, 0x00390001);
    ASSERT_EQ(::GetCapture(), push);
    ExpectLook(push, kDown, kTextPressed, "pressed by key");
    dlg->push.SendMessage(WM_KEYUP, VK_SPACE, 0xC0390001);
}

TEST_F(SkinButtonTest, CompanionAndTooltip) {
    HWND push = dlg->push;
    CWnd label(dlg->GetDlgItem(kLabel));
    dlg->push.m_pCompanion = &label;
    ::ValidateRect(label, nullptr);
    dlg->push.SetCheck(0);
    EXPECT_TRUE(::GetUpdateRect(label, nullptr, FALSE)) << "the companion is repainted too";
    dlg->push.m_pCompanion = nullptr;

    // Mouse messages reach the tooltip once it has a window.
    ASSERT_TRUE(dlg->push.m_ToolTip.Create(dlg.get()));
    std::vector<MSG> relayed;
    ::SetWindowSubclass(dlg->push.m_ToolTip, RecordRelay, 1, reinterpret_cast<DWORD_PTR>(&relayed));
    dlg->push.SendMessage(WM_MOUSEMOVE, 0, At(7, 9));
    ::RemoveWindowSubclass(dlg->push.m_ToolTip, RecordRelay, 1);
    ASSERT_EQ(relayed.size(), 1u);
    EXPECT_EQ(relayed[0].hwnd, push);
    EXPECT_EQ(relayed[0].message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(relayed[0].pt.x, 7);
    EXPECT_EQ(relayed[0].pt.y, 9);
}

TEST_F(SkinButtonTest, ManySkinAndDrawCyclesLeakNoGdiObjects) {
    int before = CountGdiObjects();
    CBitmap probe;
    probe.CreateBitmap(1, 1, 1, 1, nullptr);
    if (before < 0 || CountGdiObjects() != before + 1) {
        GTEST_SKIP() << "GDI objects cannot be counted here";
    }
    probe.DeleteObject();
    auto cycle = [&](int i) {
        const UINT masks[] = {0, IDB_SKIN_MASK_ODD, IDB_SKIN_MASK_HALF_MONO};
        Skin(dlg->push, IDB_SKIN_DISABLED, masks[i % 3], static_cast<short>(i % 3), i % 2);
        dlg->push.SetState(i % 2 == 0);
        Render(dlg->push);
        dlg->push.Invalidate();
        dlg->push.UpdateWindow();
    };
    // The window keeps one region once a mask has been given: start and end masked.
    cycle(1);
    before = CountGdiObjects();
    for (int i = 0; i < 150; ++i) {
        cycle(i);
    }
    cycle(1);
    EXPECT_EQ(CountGdiObjects(), before);
}

} // namespace
