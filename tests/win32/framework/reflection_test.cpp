// Subclassed controls under Wine: a control object receives its own messages
// and the parent's reflected WM_DRAWITEM, WM_CTLCOLORSTATIC and combo
// notifications; the subclass goes before the window, and nothing leaks.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/gdi.h"
#include "tests/win32/framework/framework_test_support.h"

namespace {

using fwtest::PopupTemplate;

const COLORREF kButtonFace = RGB(200, 0, 0);
const COLORREF kStaticBack = RGB(0, 160, 0);
const COLORREF kStaticText = RGB(0, 0, 255);

class SkinButton : public CButton {
public:
    void PreSubclassWindow() override {
        ++preSubclassCount;
        hwndAtPreSubclass = GetSafeHwnd();
        styleAtPreSubclass = GetStyle();
    }
    void DrawItem(DRAWITEMSTRUCT* item) override {
        ++drawCount;
        drawnId = item->CtlID;
        drawnHwnd = item->hwndItem;
        CDC(item->hDC).FillSolidRect(item->rcItem, kButtonFace);
    }
    void OnMouseMove(UINT flags, POINT p) override {
        ++mouseMoves;
        lastPoint = p;
        (void)flags;
        Default();
    }
    void PostNcDestroy() override { ++ncDestroyCount; }

    int preSubclassCount = 0, drawCount = 0, mouseMoves = 0, ncDestroyCount = 0;
    HWND hwndAtPreSubclass = nullptr, drawnHwnd = nullptr;
    DWORD styleAtPreSubclass = 0;
    UINT drawnId = 0;
    POINT lastPoint{};
};

class ColorStatic : public CStatic {
public:
    ColorStatic() { m_brush.CreateSolidBrush(kStaticBack); }
    HBRUSH CtlColor(HDC dc, UINT ctlType) override {
        ++queries;
        lastType = ctlType;
        ::SetTextColor(dc, kStaticText);
        ::SetBkColor(dc, kStaticBack);
        return m_brush;
    }
    CBrush m_brush;
    int queries = 0;
    UINT lastType = 99;
};

class FlatCombo : public CComboBox {
public:
    bool OnReflectedCommand(UINT code) override {
        codes.push_back(code);
        return takesNotifications;
    }
    bool PreTranslateMessage(MSG* msg) override {
        // Alt+letter typed into the control is swallowed.
        return msg->message == WM_SYSCHAR;
    }
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        if (msg == WM_SYSCHAR) {
            ++sysChars;
        }
        return CComboBox::OnMessage(msg, wp, lp, result);
    }
    std::vector<UINT> codes;
    bool takesNotifications = true;
    int sysChars = 0;
};

std::vector<std::uint8_t> SkinTemplate() {
    CDialogTemplate t = PopupTemplate("Skins");
    t.AddControl(CDialogTemplate::kButton, 100, "Skinned", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, 10,
                 10, 60, 20);
    t.AddControl(CDialogTemplate::kStatic, 101, "Label", WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 40,
                 80, 12);
    t.AddControl(CDialogTemplate::kComboBox, 102, "",
                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | CBS_DROPDOWNLIST | WS_VSCROLL, 100, 10, 60,
                 60);
    t.AddControl(CDialogTemplate::kStatic, 103, "Plain", WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 60,
                 80, 12);
    t.AddControl(CDialogTemplate::kButton, 104, "Unskinned", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW,
                 100, 40, 60, 20);
    return t.Build();
}

class SkinDialog : public CDialog {
public:
    SkinDialog() : CDialog(SkinTemplate()) {}
    BOOL OnInitDialog() override {
        BOOL r = CDialog::OnInitDialog();
        for (const char* item : {"20 Sec", "40 Sec", "60 Sec"}) {
            m_combo.AddString(item);
        }
        m_combo.SetCurSel(0);
        return r;
    }
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 100, m_button);
        DDX_Control(dx, 101, m_static);
        DDX_Control(dx, 102, m_combo);
    }
    bool OnDrawItem(UINT id, DRAWITEMSTRUCT* item) override {
        parentDrawIds.push_back(id);
        CDC(item->hDC).FillSolidRect(item->rcItem, RGB(0, 0, 0));
        return true;
    }
    bool OnCommand(UINT id, UINT code, HWND control) override {
        if (id == 102) {
            parentComboCodes.push_back(code);
        }
        return CDialog::OnCommand(id, code, control);
    }

    SkinButton m_button;
    ColorStatic m_static;
    FlatCombo m_combo;
    std::vector<UINT> parentDrawIds;
    std::vector<UINT> parentComboCodes;
};

COLORREF PixelOf(HWND hwnd, int x, int y) {
    HDC dc = ::GetDC(hwnd);
    COLORREF c = ::GetPixel(dc, x, y);
    ::ReleaseDC(hwnd, dc);
    return c;
}

TEST(SubclassedControl, PreSubclassWindowRunsFirstWithTheWindowKnown) {
    SkinDialog dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.m_button.preSubclassCount, 1);
    EXPECT_EQ(dlg.m_button.hwndAtPreSubclass, dlg.GetDlgItem(100));
    EXPECT_EQ(dlg.m_button.styleAtPreSubclass & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
    EXPECT_EQ(CWnd::FromHandlePermanent(dlg.GetDlgItem(100)), &dlg.m_button);
}

TEST(SubclassedControl, ReceivesItsOwnMessagesAndKeepsDefaultBehaviour) {
    SkinDialog dlg;
    ASSERT_TRUE(dlg.Create());
    HWND button = dlg.GetDlgItem(100);
    ::SendMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(7, 9));
    EXPECT_EQ(dlg.m_button.mouseMoves, 1);
    EXPECT_EQ(dlg.m_button.lastPoint.x, 7);
    EXPECT_EQ(dlg.m_button.lastPoint.y, 9);
    dlg.m_button.SetWindowText("Add");
    EXPECT_EQ(dlg.m_button.GetWindowText(), "Add");
}

TEST(SubclassedControl, AttachesOncePerWindowAndOnlyOnItsThread) {
    SkinDialog dlg;
    ASSERT_TRUE(dlg.Create());
    SkinButton second;
    EXPECT_FALSE(second.SubclassDlgItem(100, &dlg)) << "the window already has an object";
    EXPECT_EQ(second.GetSafeHwnd(), nullptr);
    EXPECT_FALSE(second.SubclassDlgItem(999, &dlg));

    SkinButton other;
    bool attached = true;
    HWND plain = dlg.GetDlgItem(104);
    std::thread([&] { attached = other.SubclassWindow(plain); }).join();
    EXPECT_FALSE(attached) << "comctl32 subclasses cannot cross threads";
    EXPECT_EQ(CWnd::FromHandlePermanent(plain), nullptr);
}

TEST(Reflection, OwnerDrawButtonDrawsItself) {
    SkinDialog dlg;
    ASSERT_TRUE(dlg.Create());
    HWND button = dlg.GetDlgItem(100);
    dlg.m_button.Invalidate(false);
    dlg.m_button.UpdateWindow();
    EXPECT_GE(dlg.m_button.drawCount, 1);
    EXPECT_EQ(dlg.m_button.drawnId, 100u);
    EXPECT_EQ(dlg.m_button.drawnHwnd, button);
    for (UINT id : dlg.parentDrawIds) {
        EXPECT_NE(id, 100u) << "the parent must not draw a control that draws itself";
    }
    COLORREF c = PixelOf(button, 3, 3);
    if (c != CLR_INVALID) {
        EXPECT_EQ(c, kButtonFace);
    }
}

TEST(Reflection, OwnerDrawWithoutAnObjectGoesToTheParent) {
    SkinDialog dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.parentDrawIds.clear();
    HWND plain = dlg.GetDlgItem(104);
    ::InvalidateRect(plain, nullptr, FALSE);
    ::UpdateWindow(plain);
    ASSERT_FALSE(dlg.parentDrawIds.empty());
    EXPECT_EQ(dlg.parentDrawIds.back(), 104u);
}

TEST(Reflection, StaticColourQueryIsAnsweredWithTheStaticsBrush) {
    SkinDialog dlg;
    ASSERT_TRUE(dlg.Create());
    HWND label = dlg.GetDlgItem(101);
    HDC dc = ::GetDC(label);
    ::SetTextColor(dc, RGB(1, 2, 3));
    LRESULT brush = dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                    reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(dlg.m_static.m_brush.Get()));
    EXPECT_EQ(::GetTextColor(dc), kStaticText);
    EXPECT_EQ(dlg.m_static.lastType, static_cast<UINT>(CTLCOLOR_STATIC));

    // A static without an object gets the system's answer.
    HWND plain = dlg.GetDlgItem(103);
    LRESULT plainBrush = dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(plain));
    EXPECT_NE(plainBrush, 0);
    EXPECT_NE(plainBrush, brush);
    ::ReleaseDC(label, dc);
}

TEST(Reflection, StaticPaintsItsBackgroundWithTheReflectedBrush) {
    SkinDialog dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.m_static.queries = 0;
    dlg.m_static.Invalidate(true);
    dlg.m_static.UpdateWindow();
    EXPECT_GE(dlg.m_static.queries, 1) << "the static's own painting asks its parent";
    RECT r = dlg.m_static.GetClientRect();
    COLORREF c = PixelOf(dlg.m_static, r.right - 2, r.bottom - 2);
    if (c != CLR_INVALID) {
        EXPECT_EQ(c, kStaticBack);
    }
}

TEST(Reflection, ParentMayReplaceTheBrushAfterTheBaseAnswer) {
    // The picture-backed dialogs keep the control's text colour but draw the
    // background with a hollow brush of their own.
    class Hollow : public SkinDialog {
    public:
        HBRUSH OnCtlColor(HDC dc, HWND control, UINT type) override {
            HBRUSH base = SkinDialog::OnCtlColor(dc, control, type);
            baseAnswer = base;
            if (type != CTLCOLOR_STATIC) {
                return base;
            }
            ::SetBkMode(dc, TRANSPARENT);
            return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
        }
        HBRUSH baseAnswer = nullptr;
    } dlg;
    ASSERT_TRUE(dlg.Create());
    HWND label = dlg.GetDlgItem(101);
    HDC dc = ::GetDC(label);
    LRESULT brush = dlg.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                    reinterpret_cast<LPARAM>(label));
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)));
    EXPECT_EQ(dlg.baseAnswer, dlg.m_static.m_brush.Get());
    EXPECT_EQ(::GetTextColor(dc), kStaticText);
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
    ::ReleaseDC(label, dc);
}

TEST(Reflection, ComboSelectionChangeReachesTheCombo) {
    SkinDialog dlg;
    ASSERT_TRUE(dlg.Create());
    HWND combo = dlg.GetDlgItem(102);
    // A real keyboard selection change, so the control itself notifies.
    ::SendMessageA(combo, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(dlg.m_combo.GetCurSel(), 1);
    bool sawSelChange = false;
    for (UINT code : dlg.m_combo.codes) {
        sawSelChange = sawSelChange || code == CBN_SELCHANGE;
    }
    EXPECT_TRUE(sawSelChange);
    for (UINT code : dlg.parentComboCodes) {
        EXPECT_NE(code, static_cast<UINT>(CBN_SELCHANGE)) << "a handled reflection stops there";
    }

    dlg.m_combo.takesNotifications = false;
    dlg.m_combo.codes.clear();
    ::SendMessageA(combo, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(dlg.m_combo.GetCurSel(), 2);
    bool parentSaw = false;
    for (UINT code : dlg.parentComboCodes) {
        parentSaw = parentSaw || code == CBN_SELCHANGE;
    }
    EXPECT_FALSE(dlg.m_combo.codes.empty());
    EXPECT_TRUE(parentSaw) << "a declined reflection goes on to the parent";
}

TEST(Reflection, FocusNotificationsOfTheComboAreReflected) {
    SkinDialog dlg;
    ASSERT_TRUE(dlg.Create());
    ::SetForegroundWindow(dlg.GetSafeHwnd());
    ::SetFocus(dlg.GetDlgItem(100));
    dlg.m_combo.codes.clear();
    ::SetFocus(dlg.GetDlgItem(102));
    ::SetFocus(dlg.GetDlgItem(100));
    std::vector<UINT>& codes = dlg.m_combo.codes;
    ASSERT_GE(codes.size(), 2u);
    EXPECT_NE(std::find(codes.begin(), codes.end(), static_cast<UINT>(CBN_SETFOCUS)), codes.end());
    EXPECT_NE(std::find(codes.begin(), codes.end(), static_cast<UINT>(CBN_KILLFOCUS)), codes.end());
}

TEST(PreTranslation, ControlCanSwallowAMessageBeforeDispatch) {
    SkinDialog dlg;
    ASSERT_TRUE(dlg.Create());
    MSG msg{};
    msg.hwnd = dlg.GetDlgItem(102);
    msg.message = WM_SYSCHAR;
    msg.wParam = 'x';
    EXPECT_TRUE(AfxPreTranslateMessage(&msg));
    EXPECT_EQ(dlg.m_combo.sysChars, 0) << "swallowed, never dispatched";

    msg.message = WM_MOUSEMOVE;
    EXPECT_FALSE(AfxPreTranslateMessage(&msg)) << "only keyboard input goes to the dialog";
}

TEST(SubclassLifetime, RemovedAtDestructionBeforeTheWindowGoes) {
    SkinDialog dlg;
    ASSERT_TRUE(dlg.Create());
    HWND button = dlg.GetDlgItem(100);
    ASSERT_NE(::GetPropA(button, "Sulvantix.CWnd"), nullptr);
    ASSERT_TRUE(dlg.DestroyWindow());
    EXPECT_FALSE(::IsWindow(button));
    EXPECT_EQ(dlg.m_button.ncDestroyCount, 1);
    EXPECT_FALSE(dlg.m_button.IsAttached());
    EXPECT_EQ(dlg.m_button.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dlg.m_combo.GetSafeHwnd(), nullptr);
}

TEST(SubclassLifetime, ObjectGoingFirstLeavesAWorkingControl) {
    SkinDialog dlg;
    ASSERT_TRUE(dlg.Create());
    HWND plain = dlg.GetDlgItem(104);
    auto early = std::make_unique<SkinButton>();
    ASSERT_TRUE(early->SubclassWindow(plain));
    early.reset();
    EXPECT_EQ(::GetPropA(plain, "Sulvantix.CWnd"), nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(plain), nullptr);
    ::SendMessageA(plain, WM_MOUSEMOVE, 0, 0);
    ::SetWindowTextA(plain, "still works");
    char text[32] = {0};
    ::GetWindowTextA(plain, text, sizeof text);
    EXPECT_STREQ(text, "still works");
    dlg.parentDrawIds.clear();
    ::InvalidateRect(plain, nullptr, FALSE);
    ::UpdateWindow(plain);
    ASSERT_FALSE(dlg.parentDrawIds.empty()) << "drawing falls back to the parent";
}

TEST(SubclassLifetime, UnsubclassGivesTheWindowBack) {
    SkinDialog dlg;
    ASSERT_TRUE(dlg.Create());
    HWND button = dlg.GetDlgItem(100);
    EXPECT_EQ(dlg.m_button.UnsubclassWindow(), button);
    EXPECT_EQ(CWnd::FromHandlePermanent(button), nullptr);
    int before = dlg.m_button.mouseMoves;
    ::SendMessageA(button, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(dlg.m_button.mouseMoves, before);
    EXPECT_TRUE(dlg.m_button.SubclassWindow(button)) << "and can attach again";
}

TEST(SubclassLifetime, RepeatedDialogsLeakNoGdiOrUserObjects) {
    HANDLE process = ::GetCurrentProcess();
    if (::GetGuiResources(process, GR_GDIOBJECTS) == 0) {
        GTEST_SKIP() << "GetGuiResources reports no counts on this system (Wine)";
    }
    auto cycle = [] {
        SkinDialog dlg;
        ASSERT_TRUE(dlg.Create());
        dlg.Invalidate(true);
        dlg.UpdateWindow();
        fwtest::PumpPending();
        ASSERT_TRUE(dlg.DestroyWindow());
    };
    cycle(); // first use loads classes and fonts once
    DWORD gdiBefore = ::GetGuiResources(process, GR_GDIOBJECTS);
    DWORD userBefore = ::GetGuiResources(process, GR_USEROBJECTS);
    for (int i = 0; i < 25; ++i) {
        cycle();
    }
    DWORD gdiAfter = ::GetGuiResources(process, GR_GDIOBJECTS);
    DWORD userAfter = ::GetGuiResources(process, GR_USEROBJECTS);
    EXPECT_LE(gdiAfter, gdiBefore + 2);
    EXPECT_LE(userAfter, userBefore + 2);
}

TEST(SubclassLifetime, StaticBrushIsDeletedWithItsObject) {
    HBRUSH brush = nullptr;
    {
        SkinDialog dlg;
        ASSERT_TRUE(dlg.Create());
        brush = dlg.m_static.m_brush.Get();
        ASSERT_EQ(::GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    }
    EXPECT_EQ(::GetObjectType(brush), 0u);
}

} // namespace
