// The flat combo box driven for real under Wine: the cursor moved over it,
// the button pressed, text typed and Alt+letter pressed, and its frames read
// back from the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "framework/dialog.h"
#include "gui/controls/flat_combo_box.h"
#include "tests/win32/framework/framework_test_support.h"
#include "tests/win32/statics_combo/statics_combo_support.h"

namespace {

using fwtest::PumpPending;
using fwtest::PumpUntil;
using sctest::ClientPixels;

enum : int { kFlatEdit = 200, kFlatList = 201, kPlainEdit = 202, kGoButton = 203 };
const char* const kItems[] = {"20 Sec", "40 Sec", "1 Min", "10 Min", "2 Hrs"};

// The control with its state and handler calls in view.
class ProbedCombo : public CCJFlatComboBox {
public:
    void OnTimer(UINT_PTR id) override {
        ++ticks;
        CCJFlatComboBox::OnTimer(id);
    }
    void OnMouseMove(UINT flags, POINT p) override {
        ++moves;
        CCJFlatComboBox::OnMouseMove(flags, p);
    }
    void OnPaint() override {
        RECT r{};
        ::GetUpdateRect(GetSafeHwnd(), &r, FALSE);
        paintedAreas.push_back(r);
        CCJFlatComboBox::OnPaint();
    }
    bool OnReflectedCommand(UINT code) override {
        codes.push_back(code);
        return CCJFlatComboBox::OnReflectedCommand(code);
    }
    bool HotDrawn() const { return m_bHotDrawn != FALSE; }
    bool HasFocus() const { return m_bHasFocus != FALSE; }
    bool ButtonDown() const { return m_bLButtonDown != FALSE; }
    int DropButtonWidth() const { return m_nDropButtonWidth; }
    int Count(UINT code) const {
        return static_cast<int>(std::count(codes.begin(), codes.end(), code));
    }

    int ticks = 0, moves = 0;
    std::vector<UINT> codes;
    std::vector<RECT> paintedAreas;
};

std::vector<std::uint8_t> ComboTemplate() {
    CDialogTemplate t = fwtest::PopupTemplate("Flat combo");
    const DWORD common = WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL;
    // Edges as a resource editor might give them; the control takes them off.
    t.AddControl(CDialogTemplate::kComboBox, kFlatEdit, "", common | CBS_DROPDOWN, 10, 10, 90, 80,
                 WS_EX_CLIENTEDGE | WS_EX_STATICEDGE);
    t.AddControl(CDialogTemplate::kComboBox, kFlatList, "", common | CBS_DROPDOWNLIST, 10, 40, 90,
                 80);
    t.AddControl(CDialogTemplate::kComboBox, kPlainEdit, "", common | CBS_DROPDOWN, 110, 10, 80,
                 80);
    t.AddControl(CDialogTemplate::kButton, kGoButton, "&Go",
                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 110, 40, 50, 14);
    return t.Build();
}

class ComboDialog : public CDialog {
public:
    ComboDialog() : CDialog(ComboTemplate()) {}
    BOOL OnInitDialog() override {
        BOOL r = CDialog::OnInitDialog();
        SetWindowPos(nullptr, 300, 200, 420, 260, SWP_NOZORDER | SWP_NOACTIVATE);
        for (int id : {kFlatEdit, kFlatList, kPlainEdit}) {
            CComboBox combo(GetDlgItem(id));
            for (const char* item : kItems) {
                combo.AddString(item);
            }
        }
        return r;
    }
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, kFlatEdit, flat);
        DDX_Control(dx, kFlatList, flatList);
    }
    bool OnCommand(UINT id, UINT code, HWND control) override {
        commands.emplace_back(id, code);
        return CDialog::OnCommand(id, code, control);
    }
    int CommandCount(int id, UINT code) const {
        return static_cast<int>(std::count(commands.begin(), commands.end(),
                                           std::make_pair(static_cast<UINT>(id), code)));
    }

    ProbedCombo flat;
    ProbedCombo flatList;
    std::vector<std::pair<UINT, UINT>> commands;
};

// Moves the real cursor, as the mouse would, and lets the moves arrive.
void MoveCursorTo(POINT screen) {
    ::SetCursorPos(screen.x, screen.y);
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen.y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &input, sizeof input);
    PumpUntil([&] {
        POINT now{};
        ::GetCursorPos(&now);
        return now.x == screen.x && now.y == screen.y;
    });
    PumpPending();
}

// Lets the thread run for a while and says whether the hover timer ticked.
bool TimerTicks(ProbedCombo& combo) {
    int before = combo.ticks;
    PumpUntil([] { return false; }, 150);
    return combo.ticks > before;
}

// Keys pressed and released as the keyboard would, each handled before the next.
void PressKeys(std::initializer_list<WORD> keys, bool alt = false) {
    auto send = [](WORD vk, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        ::SendInput(1, &input, sizeof input);
    };
    if (alt) {
        send(VK_MENU, false);
    }
    for (WORD vk : keys) {
        send(vk, false);
        send(vk, true);
    }
    if (alt) {
        send(VK_MENU, true);
    }
    PumpPending();
}

void Type(const std::string& text) {
    for (char ch : text) {
        PressKeys({static_cast<WORD>(LOBYTE(::VkKeyScanA(ch)))});
    }
}

enum class Look { kFlat, kRaised, kPressed, kDisabled };

const char* Name(Look look) {
    switch (look) {
    case Look::kFlat:
        return "flat";
    case Look::kRaised:
        return "raised";
    case Look::kPressed:
        return "pressed";
    case Look::kDisabled:
        return "disabled";
    }
    return "?";
}

// Checks the frame on the screen at points that tell the looks apart: the
// outer ring, the painted-over second ring and the drop button's edges.
void ExpectLook(ProbedCombo& combo, Look look) {
    SCOPED_TRACE(Name(look));
    ClientPixels px(combo);
    const int w = px.Width(), h = px.Height(), bw = combo.DropButtonWidth();
    const int midY = h / 2, midButton = w - 3 - bw / 2;
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE), light = ::GetSysColor(COLOR_BTNHIGHLIGHT),
                   dark = ::GetSysColor(COLOR_BTNSHADOW);
    const bool hot = look == Look::kRaised || look == Look::kPressed;
    struct Point {
        int x, y;
        COLORREF colour;
        const char* what;
    };
    std::vector<Point> points = {
        {w / 2, 0, hot ? dark : face, "outer top"},
        {0, midY, hot ? dark : face, "outer left"},
        {w - 1, midY, hot ? light : face, "outer right"},
        {w / 2, h - 1, hot ? light : face, "outer bottom"},
    };
    const COLORREF second = look == Look::kDisabled ? light : face;
    for (Point p : {Point{w / 2, 1, second, "second top"}, Point{1, midY, second, "second left"},
                    Point{w - 2, midY, second, "second right"},
                    Point{w / 2, h - 2, second, "second bottom"}}) {
        points.push_back(p);
    }
    switch (look) {
    case Look::kFlat:
        points.insert(points.end(), {{w - 2 - bw, midY, light, "flat outer left edge"},
                                     {w - 1 - bw, midY, light, "flat inner left edge"},
                                     {w - 4, midY, light, "flat right edge"},
                                     {midButton, 2, light, "flat top edge"},
                                     {midButton, h - 3, light, "flat bottom edge"}});
        break;
    case Look::kRaised:
        points.insert(points.end(), {{w - 2 - bw, midY, face, "button outer ring"},
                                     {w - 1 - bw, midY, light, "raised left edge"},
                                     {w - 4, midY, dark, "raised right edge"},
                                     {midButton, 2, light, "raised top edge"},
                                     {midButton, h - 3, dark, "raised bottom edge"}});
        break;
    case Look::kPressed:
        points.insert(points.end(), {{w - 2 - bw, midY, face, "button outer ring"},
                                     {w - 1 - bw, midY, face, "button inner ring"},
                                     {w - bw, midY, dark, "pressed left edge"},
                                     {w - 3, midY, light, "pressed right edge"},
                                     {midButton, 2, face, "button outer ring top"},
                                     {midButton, 3, dark, "pressed top edge"},
                                     {midButton, h - 2, light, "pressed bottom edge"}});
        break;
    case Look::kDisabled:
        points.insert(points.end(), {{w - 2 - bw, midY, face, "button outer ring"},
                                     {w - 1 - bw, midY, face, "button inner ring"},
                                     {w - 4, midY, face, "button inner ring right"},
                                     {midButton, 2, face, "button outer ring top"},
                                     {midButton, h - 3, face, "button outer ring bottom"}});
        break;
    }
    for (const Point& p : points) {
        EXPECT_EQ(px.At(p.x, p.y), p.colour) << p.what << " at " << p.x << "," << p.y;
    }
}

class FlatComboTest : public ::testing::Test {
protected:
    void SetUp() override {
        MoveCursorTo(kAway);
        ASSERT_TRUE(dlg.Create());
        dlg.SetForegroundWindow();
        ::SetFocus(dlg.GetDlgItem(kGoButton));
        PumpPending();
        ::RedrawWindow(dlg, nullptr, nullptr,
                       RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpPending();
    }
    void TearDown() override { MoveCursorTo(kAway); }

    // A point of the combo's own (the drop button), in screen coordinates.
    static POINT OverButton(const CWnd& combo) {
        RECT r = combo.GetWindowRect();
        return POINT{r.right - 6, (r.top + r.bottom) / 2};
    }
    void Focus(HWND hwnd) {
        ::SetFocus(hwnd);
        PumpPending();
    }
    HWND EditOf(const CWnd& combo) const { return ::GetWindow(combo, GW_CHILD); }

    static constexpr POINT kAway{5, 5};
    ComboDialog dlg;
};

TEST_F(FlatComboTest, IsItsOwnRunTimeClass) {
    EXPECT_STREQ(dlg.flat.GetRuntimeClass()->m_lpszClassName, "CCJFlatComboBox");
    EXPECT_TRUE(dlg.flat.IsKindOf(RUNTIME_CLASS(CComboBox)));
}

TEST_F(FlatComboTest, PaintsFlatWithoutTheSystemsEdges) {
    ProbedCombo& combo = dlg.flat;
    EXPECT_EQ(combo.GetExStyle() & (WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE), 0u);
    RECT client = combo.GetClientRect(), window = combo.GetWindowRect();
    EXPECT_EQ(client.right, window.right - window.left) << "no non-client edge left";
    EXPECT_EQ(client.bottom, window.bottom - window.top);
    ExpectLook(combo, Look::kFlat);
    EXPECT_FALSE(combo.HotDrawn());
    EXPECT_FALSE(TimerTicks(combo)) << "no polling without a mouse move";
}

TEST_F(FlatComboTest, HoverRaisesThenLeavingFlattensAndStopsPolling) {
    ProbedCombo& combo = dlg.flat;
    MoveCursorTo(OverButton(combo));
    ASSERT_GE(combo.moves, 1) << "the mouse move reached the control";
    ASSERT_TRUE(PumpUntil([&] { return combo.HotDrawn(); }, 1000));
    ExpectLook(combo, Look::kRaised);
    EXPECT_TRUE(TimerTicks(combo)) << "polling while the cursor is over it";
    ExpectLook(combo, Look::kRaised);

    MoveCursorTo(kAway);
    ASSERT_TRUE(PumpUntil([&] { return !combo.HotDrawn(); }, 1000));
    ExpectLook(combo, Look::kFlat);
    EXPECT_FALSE(TimerTicks(combo)) << "the timer stops once the cursor has left";
}

TEST_F(FlatComboTest, HoldingTheButtonDrawsPressedOnceAndReleaseRepaints) {
    ProbedCombo& combo = dlg.flat;
    MoveCursorTo(OverButton(combo));
    ASSERT_TRUE(PumpUntil([&] { return combo.HotDrawn(); }, 1000));

    INPUT click{};
    click.type = INPUT_MOUSE;
    click.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    ::SendInput(1, &click, sizeof click);
    ASSERT_TRUE(PumpUntil([&] { return combo.ButtonDown() && !combo.HotDrawn(); }, 1000));
    EXPECT_FALSE(TimerTicks(combo)) << "the pressed frame stops the timer";
    ExpectLook(combo, Look::kPressed);

    combo.paintedAreas.clear();
    click.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &click, sizeof click);
    ASSERT_TRUE(PumpUntil([&] { return !combo.ButtonDown(); }, 1000));
    PumpPending();
    // The system repaints only its button; the release repaints everything.
    const RECT client = combo.GetClientRect();
    EXPECT_TRUE(std::any_of(combo.paintedAreas.begin(), combo.paintedAreas.end(),
                            [&](const RECT& r) { return ::EqualRect(&r, &client) != FALSE; }));
    // The full repaint draws the look for the cursor over the control.
    ExpectLook(combo, Look::kRaised);
    combo.ShowDropDown(false);
    PumpPending();
}

TEST_F(FlatComboTest, DisabledShowsOnlyThePaintedOverBorderAndNoHotFrame) {
    ProbedCombo& combo = dlg.flat;
    combo.EnableWindow(false);
    combo.Invalidate();
    PumpPending();
    ExpectLook(combo, Look::kDisabled);

    MoveCursorTo(OverButton(combo));
    PumpPending();
    EXPECT_EQ(combo.moves, 0) << "a disabled window gets no mouse moves";
    EXPECT_FALSE(TimerTicks(combo));
    EXPECT_FALSE(combo.HotDrawn());
    ExpectLook(combo, Look::kDisabled);
}

TEST_F(FlatComboTest, FocusRaisesAndLosingItFlattensUnseenByTheParent) {
    ProbedCombo& combo = dlg.flat;
    Focus(combo);
    EXPECT_TRUE(combo.HasFocus());
    ExpectLook(combo, Look::kRaised);
    Focus(dlg.GetDlgItem(kGoButton));
    EXPECT_FALSE(combo.HasFocus());
    ExpectLook(combo, Look::kFlat);
    EXPECT_GE(combo.Count(CBN_SETFOCUS), 1);
    EXPECT_GE(combo.Count(CBN_KILLFOCUS), 1);
    EXPECT_EQ(dlg.CommandCount(kFlatEdit, CBN_SETFOCUS), 0);
    EXPECT_EQ(dlg.CommandCount(kFlatEdit, CBN_KILLFOCUS), 0);
}

// Typed text, and where the selection ended up.
struct EditState {
    std::string text;
    int start, end;
};

EditState StateOf(const CComboBox& combo) {
    DWORD sel = combo.GetEditSel();
    return EditState{combo.GetWindowText(), LOWORD(sel), HIWORD(sel)};
}

void ExpectState(const CComboBox& combo, const char* text, int start, int end) {
    EditState s = StateOf(combo);
    EXPECT_EQ(s.text, text);
    EXPECT_EQ(s.start, start) << s.text;
    EXPECT_EQ(s.end, end) << s.text;
}

TEST_F(FlatComboTest, TypingCompletesFromTheListAndSelectsTheTail) {
    ProbedCombo& combo = dlg.flat;
    Focus(combo);
    Type("1");
    ExpectState(combo, "1 Min", 1, 5);
    Type("0");
    ExpectState(combo, "10 Min", 2, 6);

    // Editing inside a match keeps the caret where the user is.
    combo.SetWindowText("4 Sec");
    combo.SetEditSel(1, 1);
    Type("0");
    ExpectState(combo, "40 Sec", 2, 2);

    EXPECT_GE(combo.Count(CBN_EDITUPDATE), 3);
    EXPECT_EQ(dlg.CommandCount(kFlatEdit, CBN_EDITUPDATE), 0) << "the parent does not see it";
    EXPECT_GE(dlg.CommandCount(kFlatEdit, CBN_EDITCHANGE), 1) << "other notifications go on";
}

TEST_F(FlatComboTest, TextMatchingNothingStaysAsTypedWithTheCaretInPlace) {
    ProbedCombo& combo = dlg.flat;
    Focus(combo);
    Type("3");
    ExpectState(combo, "3", 1, 1);
    Type("x");
    ExpectState(combo, "3x", 2, 2);
    PressKeys({VK_HOME, VK_RIGHT});
    Type("q");
    ExpectState(combo, "3qx", 2, 2);
}

TEST_F(FlatComboTest, DropDownListNeverAutoCompletes) {
    ProbedCombo& list = dlg.flatList;
    Focus(list);
    Type("1");
    EXPECT_EQ(list.GetCurSel(), 2) << "the list's own type-ahead";
    EXPECT_EQ(list.GetEditSel(), static_cast<DWORD>(CB_ERR)) << "no edit field";
    EXPECT_EQ(list.Count(CBN_EDITUPDATE), 0);
    EXPECT_GE(dlg.CommandCount(kFlatList, CBN_SELCHANGE), 1);
}

TEST_F(FlatComboTest, AltLetterIsSwallowed) {
    // The plain combo shows what Alt+G does otherwise: the "&Go" button fires.
    Focus(dlg.GetDlgItem(kPlainEdit));
    PressKeys({'G'}, true);
    ASSERT_EQ(dlg.CommandCount(kGoButton, BN_CLICKED), 1);

    ProbedCombo& combo = dlg.flat;
    Focus(combo);
    Type("2");
    EditState before = StateOf(combo);
    PressKeys({'G'}, true);
    EXPECT_EQ(dlg.CommandCount(kGoButton, BN_CLICKED), 1) << "no mnemonic from the flat combo";
    EXPECT_EQ(::GetFocus(), EditOf(combo));
    EditState after = StateOf(combo);
    EXPECT_EQ(after.text, before.text);
    EXPECT_EQ(after.start, before.start);
    EXPECT_EQ(after.end, before.end);
}

} // namespace
