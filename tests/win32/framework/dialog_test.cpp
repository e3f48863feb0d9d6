// Dialogs for real under Wine: modal runs and their endings, modeless life,
// handlers per message and per command, default processing, data exchange,
// resource templates and the control wrappers.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/app.h"
#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/gdi.h"
#include "tests/win32/framework/framework_test_support.h"

namespace {

using fwtest::PopupTemplate;
using fwtest::PumpUntil;

const UINT_PTR kTimer = 7;

class TimerDialog : public CDialog {
public:
    enum class Ending { kPostOk, kEndWithCode, kPostClose, kPostQuit, kNone };
    explicit TimerDialog(Ending ending, CWnd* parent = nullptr)
        : CDialog(PopupTemplate("Timer dialog").Build(), parent), m_ending(ending) {}

    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        ++initCount;
        SetTimer(kTimer, 10);
        return TRUE;
    }
    void OnTimer(UINT_PTR id) override {
        if (id != kTimer) {
            Default();
            return;
        }
        ++timerCount;
        KillTimer(kTimer);
        ownerEnabledDuringRun = ::IsWindowEnabled(::GetWindow(GetSafeHwnd(), GW_OWNER)) != FALSE;
        ownerDuringRun = ::GetWindow(GetSafeHwnd(), GW_OWNER);
        switch (m_ending) {
        case Ending::kPostOk:
            PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            break;
        case Ending::kEndWithCode:
            EndDialog(42);
            break;
        case Ending::kPostClose:
            PostMessage(WM_CLOSE);
            break;
        case Ending::kPostQuit:
            ::PostQuitMessage(9);
            break;
        case Ending::kNone:
            break;
        }
    }
    void OnOK() override {
        ++okCount;
        CDialog::OnOK();
    }
    void OnCancel() override {
        ++cancelCount;
        CDialog::OnCancel();
    }
    void OnDestroy() override {
        ++destroyCount;
        Default();
    }

    int initCount = 0, timerCount = 0, okCount = 0, cancelCount = 0, destroyCount = 0;
    bool ownerEnabledDuringRun = true;
    HWND ownerDuringRun = nullptr;

private:
    Ending m_ending;
};

TEST(ModalDialog, EndsFromATimerThatPostsIdOk) {
    TimerDialog dlg(TimerDialog::Ending::kPostOk);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.initCount, 1);
    EXPECT_EQ(dlg.timerCount, 1);
    EXPECT_EQ(dlg.okCount, 1);
    EXPECT_EQ(dlg.destroyCount, 1);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
    EXPECT_FALSE(dlg.IsAttached());
}

TEST(ModalDialog, AnswersTheEndDialogCode) {
    TimerDialog dlg(TimerDialog::Ending::kEndWithCode);
    EXPECT_EQ(dlg.DoModal(), 42);
    EXPECT_EQ(dlg.okCount + dlg.cancelCount, 0);
}

TEST(ModalDialog, WindowCloseTakesTheCancelPath) {
    TimerDialog dlg(TimerDialog::Ending::kPostClose);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(dlg.cancelCount, 1);
}

TEST(ModalDialog, QuitRequestEndsTheRunAndStaysQueued) {
    fwtest::DrainQuit();
    TimerDialog dlg(TimerDialog::Ending::kPostQuit);
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    MSG msg;
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 9u);
}

class EndsInInit : public CDialog {
public:
    EndsInInit() : CDialog(PopupTemplate("Ends in init").Build()) {}
    BOOL OnInitDialog() override {
        EndDialog(5);
        return TRUE;
    }
    void OnDestroy() override {
        destroyed = true;
        Default();
    }
    bool destroyed = false;
};

TEST(ModalDialog, EndingDuringInitialisationSkipsTheLoop) {
    EndsInInit dlg;
    EXPECT_EQ(dlg.DoModal(), 5);
    EXPECT_TRUE(dlg.destroyed);
}

TEST(ModalDialog, OwnerIsDisabledWhileItRunsAndEnabledAfter) {
    CDialog owner(PopupTemplate("Owner").Build());
    ASSERT_TRUE(owner.Create());
    TimerDialog dlg(TimerDialog::Ending::kPostOk, &owner);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.ownerDuringRun, owner.GetSafeHwnd());
    EXPECT_FALSE(dlg.ownerEnabledDuringRun);
    EXPECT_TRUE(owner.IsWindowEnabled());
}

TEST(ModalDialog, WithoutParentTheMainWindowOwnsIt) {
    CWinApp app; // the test program has no application object of its own
    ASSERT_EQ(AfxGetApp(), &app);
    CDialog mainWnd(PopupTemplate("Main").Build());
    ASSERT_TRUE(mainWnd.Create());
    app.m_pMainWnd = &mainWnd;
    TimerDialog dlg(TimerDialog::Ending::kPostOk);
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.ownerDuringRun, mainWnd.GetSafeHwnd());
    app.m_pMainWnd = nullptr;
}

TEST(ModalDialog, RunsFromAResourceTemplate) {
    class FromResource : public CDialog {
    public:
        FromResource() : CDialog(300) {}
        BOOL OnInitDialog() override {
            CDialog::OnInitDialog();
            label = GetDlgItemText(301);
            caption = GetWindowText();
            PostMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            return TRUE;
        }
        std::string label, caption;
    } dlg;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.label, "From the resources");
    EXPECT_EQ(dlg.caption, "Resource dialog");
}

TEST(ModalDialog, MissingTemplateAnswersMinusOne) {
    CDialog dlg(4242);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
}

TEST(ModalDialog, EnterPressesTheDefaultButton) {
    class WithDefault : public CDialog {
    public:
        static std::vector<std::uint8_t> Template() {
            CDialogTemplate t = PopupTemplate("Enter");
            t.AddControl(CDialogTemplate::kButton, 1014, "Start",
                         WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 10, 10, 50, 14);
            t.AddControl(CDialogTemplate::kEdit, 1006, "",
                         WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_BORDER, 10, 30, 50, 12);
            return t.Build();
        }
        WithDefault() : CDialog(Template()) {}
        BOOL OnInitDialog() override {
            CDialog::OnInitDialog();
            SetDefID(1014);
            ::SetFocus(GetDlgItem(1006));
            HWND edit = GetDlgItem(1006);
            ::PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0x001C0001);
            ::PostMessageA(edit, WM_KEYUP, VK_RETURN, static_cast<LPARAM>(0xC01C0001u));
            return FALSE;
        }
        bool OnCommand(UINT id, UINT code, HWND control) override {
            if (id == 1014) {
                EndDialog(1014);
                return true;
            }
            return CDialog::OnCommand(id, code, control);
        }
    } dlg;
    EXPECT_EQ(dlg.DoModal(), 1014);
}

// A modeless dialog with two buttons that records what reaches its handlers.
class HandlerDialog : public CDialog {
public:
    static std::vector<std::uint8_t> Template() {
        CDialogTemplate t = PopupTemplate("Handlers");
        t.AddControl(CDialogTemplate::kButton, 200, "Handled",
                     WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 10, 10, 60, 14);
        t.AddControl(CDialogTemplate::kButton, 201, "Unhandled",
                     WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 80, 10, 60, 14);
        return t.Build();
    }
    HandlerDialog() : CDialog(Template()) {}

    bool OnCommand(UINT id, UINT code, HWND control) override {
        commands.push_back({id, code, control});
        if (id == 200) {
            return true;
        }
        return CDialog::OnCommand(id, code, control);
    }
    LRESULT OnNcHitTest(POINT) override { return HTCAPTION; }
    BOOL OnEraseBkgnd(HDC) override {
        ++eraseCount;
        return 0;
    }
    HCURSOR OnQueryDragIcon() override { return icon; }
    void OnSysCommand(UINT id, LPARAM lp) override {
        sysCommands.push_back(id);
        (void)lp;
        Default();
    }
    void OnClose() override {
        ++closeCount;
        // Default would issue the cancel command, which hides a modeless dialog.
    }
    BOOL OnHelpInfo(HELPINFO*) override {
        ++helpCount;
        return TRUE;
    }
    bool OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) override {
        if (msg == WM_APP + 101) {
            result = 0x1234;
            return true;
        }
        if (msg == WM_GETTEXTLENGTH && nestInTextLength) {
            // A message sent from inside a handler must not disturb the outer
            // handler's Default().
            nestedHitTest = SendMessage(WM_NCHITTEST, 0, 0);
            result = Default();
            return true;
        }
        return CDialog::OnMessage(msg, wp, lp, result);
    }

    struct Command {
        UINT id, code;
        HWND control;
    };
    std::vector<Command> commands;
    std::vector<UINT> sysCommands;
    int eraseCount = 0, closeCount = 0, helpCount = 0;
    HCURSOR icon = ::LoadCursor(nullptr, IDC_ARROW);
    bool nestInTextLength = false;
    LRESULT nestedHitTest = 0;
};

TEST(MessageHandlers, CommandHandlerGetsTheControlIdAndCode) {
    HandlerDialog dlg;
    ASSERT_TRUE(dlg.Create());
    HWND button = dlg.GetDlgItem(200);
    ::SendMessageA(button, BM_CLICK, 0, 0);
    ASSERT_EQ(dlg.commands.size(), 1u);
    EXPECT_EQ(dlg.commands[0].id, 200u);
    EXPECT_EQ(dlg.commands[0].code, static_cast<UINT>(BN_CLICKED));
    EXPECT_EQ(dlg.commands[0].control, button);

    ::SendMessageA(dlg.GetDlgItem(201), BM_CLICK, 0, 0);
    ASSERT_EQ(dlg.commands.size(), 2u);
    EXPECT_EQ(dlg.commands[1].id, 201u);
    EXPECT_TRUE(dlg.IsWindowVisible()) << "an unhandled command must change nothing";
}

TEST(MessageHandlers, TypedHandlersAnswerForTheirMessages) {
    HandlerDialog dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(20, 20)), HTCAPTION);
    EXPECT_EQ(dlg.SendMessage(WM_QUERYDRAGICON), reinterpret_cast<LRESULT>(dlg.icon));
    dlg.eraseCount = 0;
    HDC dc = ::GetDC(dlg.GetSafeHwnd());
    EXPECT_EQ(dlg.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc)), 0);
    ::ReleaseDC(dlg.GetSafeHwnd(), dc);
    EXPECT_EQ(dlg.eraseCount, 1);
    HELPINFO info{};
    info.cbSize = sizeof info;
    EXPECT_EQ(dlg.SendMessage(WM_HELP, 0, reinterpret_cast<LPARAM>(&info)), TRUE);
    EXPECT_EQ(dlg.helpCount, 1);
    EXPECT_EQ(dlg.SendMessage(WM_APP + 101), 0x1234);
}

TEST(MessageHandlers, UnhandledMessagesGetDefaultProcessing) {
    HandlerDialog dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.SetWindowText("Changed caption");
    EXPECT_EQ(dlg.GetWindowText(), "Changed caption");
    char buffer[64] = {0};
    ::GetWindowTextA(dlg.GetSafeHwnd(), buffer, sizeof buffer);
    EXPECT_STREQ(buffer, "Changed caption");
    // DM_GETDEFID is answered by the dialog manager alone.
    EXPECT_EQ(HIWORD(dlg.SendMessage(DM_GETDEFID)), DC_HASDEFID);
}

TEST(MessageHandlers, DefaultInsideAHandlerContinuesTheSystemPath) {
    HandlerDialog dlg;
    ASSERT_TRUE(dlg.Create());
    // SC_CLOSE's default processing sends WM_CLOSE.
    dlg.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_EQ(dlg.sysCommands.size(), 1u);
    EXPECT_EQ(dlg.sysCommands[0], static_cast<UINT>(SC_CLOSE));
    EXPECT_EQ(dlg.closeCount, 1);
    EXPECT_TRUE(dlg.IsWindow());
}

TEST(MessageHandlers, NestedMessagesKeepTheOuterDefault) {
    HandlerDialog dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.SetWindowText("12345");
    dlg.nestInTextLength = true;
    EXPECT_EQ(dlg.SendMessage(WM_GETTEXTLENGTH), 5);
    EXPECT_EQ(dlg.nestedHitTest, HTCAPTION);
}

TEST(MessageHandlers, TimerHandlerSeesEachTimerId) {
    class Timers : public CDialog {
    public:
        Timers() : CDialog(PopupTemplate("Timers").Build()) {}
        void OnTimer(UINT_PTR id) override {
            KillTimer(id);
            fired.push_back(id);
            Default();
        }
        std::vector<UINT_PTR> fired;
    } dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.SetTimer(101, 10);
    dlg.SetTimer(9999, 10);
    ASSERT_TRUE(PumpUntil([&] { return dlg.fired.size() >= 2; }));
    fwtest::PumpPending();
    ASSERT_EQ(dlg.fired.size(), 2u) << "each killed timer fires once";
    EXPECT_TRUE((dlg.fired[0] == 101 && dlg.fired[1] == 9999) ||
                (dlg.fired[0] == 9999 && dlg.fired[1] == 101));
}

TEST(MessageHandlers, SystemMenuItemsReachOnSysCommand) {
    HandlerDialog dlg;
    ASSERT_TRUE(dlg.Create());
    HMENU menu = dlg.GetSystemMenu(false);
    ASSERT_NE(menu, nullptr);
    ASSERT_TRUE(::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr));
    ASSERT_TRUE(::AppendMenuA(menu, MF_STRING, 118, "Help"));
    dlg.SendMessage(WM_SYSCOMMAND, 118, 0);
    ASSERT_EQ(dlg.sysCommands.size(), 1u);
    EXPECT_EQ(dlg.sysCommands[0], 118u);
}

TEST(MessageHandlers, PaintHandlerRunsAndValidates) {
    class Painter : public CDialog {
    public:
        Painter() : CDialog(PopupTemplate("Painter").Build()) {}
        void OnPaint() override {
            ++paints;
            ScopedPaint paint(GetSafeHwnd());
            CDC(paint).FillSolidRect(paint.Info().rcPaint, RGB(0, 128, 0));
        }
        int paints = 0;
    } dlg;
    ASSERT_TRUE(dlg.Create());
    dlg.Invalidate(false);
    dlg.UpdateWindow();
    EXPECT_GE(dlg.paints, 1);
    RECT update;
    EXPECT_FALSE(::GetUpdateRect(dlg.GetSafeHwnd(), &update, FALSE));
}

TEST(ModelessDialog, CreateFindAndDestroy) {
    HandlerDialog dlg;
    ASSERT_TRUE(dlg.Create());
    HWND hwnd = dlg.GetSafeHwnd();
    EXPECT_TRUE(::IsWindowVisible(hwnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), &dlg);
    EXPECT_EQ(::FindWindowA("#32770", "Handlers"), hwnd);
    EXPECT_FALSE(dlg.Create()) << "one window per object";

    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(dlg.GetSafeHwnd(), nullptr);
    EXPECT_FALSE(dlg.IsAttached());

    ASSERT_TRUE(dlg.Create()) << "the object can open its dialog again";
    EXPECT_NE(dlg.GetSafeHwnd(), nullptr);
}

TEST(ModelessDialog, DestroyingTheObjectDestroysItsDialog) {
    HWND hwnd = nullptr;
    {
        HandlerDialog dlg;
        ASSERT_TRUE(dlg.Create());
        hwnd = dlg.GetSafeHwnd();
    }
    EXPECT_FALSE(::IsWindow(hwnd));
}

TEST(ModelessDialog, EndDialogHidesIt) {
    TimerDialog dlg(TimerDialog::Ending::kNone);
    ASSERT_TRUE(dlg.Create());
    dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    EXPECT_EQ(dlg.cancelCount, 1);
    EXPECT_TRUE(dlg.IsWindow());
    EXPECT_FALSE(dlg.IsWindowVisible());
}

class ExchangeDialog : public CDialog {
public:
    static std::vector<std::uint8_t> Template() {
        CDialogTemplate t = PopupTemplate("Exchange");
        t.AddControl(CDialogTemplate::kEdit, 1006, "80",
                     WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL, 10, 10, 40, 12);
        t.AddControl(CDialogTemplate::kComboBox, 1009, "",
                     WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, 10, 30, 60, 60);
        t.AddControl(CDialogTemplate::kButton, 1040, "Check",
                     WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 10, 50, 60, 12);
        t.AddControl(CDialogTemplate::kListBox, 1001, "",
                     WS_CHILD | WS_VISIBLE | LBS_SORT | LBS_NOTIFY | WS_BORDER, 80, 10, 60, 60);
        t.AddControl("SysIPAddress32", 1000, "", WS_CHILD | WS_VISIBLE, 80, 80, 80, 13);
        return t.Build();
    }
    ExchangeDialog() : CDialog(Template()) {}
    BOOL OnInitDialog() override {
        // Controls must exist before the first exchange attaches them.
        CComboBox(GetDlgItem(1009)).AddString("20 Sec");
        CComboBox(GetDlgItem(1009)).AddString("40 Sec");
        CComboBox(GetDlgItem(1009)).AddString("60 Sec");
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange* dx) override {
        DDX_Control(dx, 1001, m_list);
        DDX_Control(dx, 1009, m_combo);
        DDX_Control(dx, 1000, m_ip);
        DDX_Text(dx, 1006, m_strPort);
        DDX_CBIndex(dx, 1009, m_nPeriod);
        DDX_Check(dx, 1040, m_nCheck);
    }
    CListBox m_list;
    CComboBox m_combo;
    CIPAddressCtrl m_ip;
    std::string m_strPort = "8080";
    int m_nPeriod = 2;
    int m_nCheck = BST_CHECKED;
};

TEST(DataExchange, LoadsControlsAtInitialisationAndSavesOnRequest) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_INTERNET_CLASSES};
    ASSERT_TRUE(::InitCommonControlsEx(&icc));
    ExchangeDialog dlg;
    ASSERT_TRUE(dlg.Create());
    EXPECT_EQ(dlg.GetDlgItemText(1006), "8080");
    EXPECT_EQ(dlg.m_combo.GetCurSel(), 2);
    EXPECT_EQ(CButton(dlg.GetDlgItem(1040)).GetCheck(), BST_CHECKED);
    EXPECT_EQ(dlg.m_list.GetSafeHwnd(), dlg.GetDlgItem(1001)) << "attached by data exchange";
    EXPECT_TRUE(dlg.m_list.IsAttached());

    dlg.SetDlgItemText(1006, "3128");
    dlg.m_combo.SetCurSel(0);
    CButton(dlg.GetDlgItem(1040)).SetCheck(BST_UNCHECKED);
    ASSERT_TRUE(dlg.UpdateData(TRUE));
    EXPECT_EQ(dlg.m_strPort, "3128");
    EXPECT_EQ(dlg.m_nPeriod, 0);
    EXPECT_EQ(dlg.m_nCheck, BST_UNCHECKED);
    EXPECT_TRUE(dlg.UpdateData(TRUE)) << "attaching again is harmless";
}

TEST(ControlWrappers, ListAndComboTextsRoundTrip) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_INTERNET_CLASSES};
    ::InitCommonControlsEx(&icc);
    ExchangeDialog dlg;
    ASSERT_TRUE(dlg.Create());
    CListBox& list = dlg.m_list;
    list.AddString("10.0.0.2:80");
    list.AddString("10.0.0.1:8080");
    EXPECT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetText(0), "10.0.0.1:8080") << "sorted list";
    EXPECT_EQ(list.GetText(5), "");
    EXPECT_EQ(list.SelectString(-1, "10.0.0.1"), 0) << "prefix search";
    EXPECT_EQ(list.GetCurSel(), 0);
    EXPECT_EQ(list.FindStringExact(-1, "10.0.0.1"), LB_ERR);
    EXPECT_EQ(list.DeleteString(0), 1);
    EXPECT_EQ(list.GetText(0), "10.0.0.2:80");

    CComboBox& combo = dlg.m_combo;
    EXPECT_EQ(combo.GetCount(), 3);
    EXPECT_EQ(combo.GetLBText(2), "60 Sec");
    EXPECT_EQ(combo.GetLBText(3), "");
    EXPECT_TRUE(combo.SetExtendedUI(true));
    EXPECT_TRUE(combo.GetExtendedUI());
}

TEST(ControlWrappers, IpAddressFieldsAndBlankCount) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_INTERNET_CLASSES};
    ASSERT_TRUE(::InitCommonControlsEx(&icc));
    ExchangeDialog dlg;
    ASSERT_TRUE(dlg.Create());
    CIPAddressCtrl& ip = dlg.m_ip;
    ASSERT_NE(ip.GetSafeHwnd(), nullptr);
    EXPECT_TRUE(ip.IsBlank());
    BYTE a = 1, b = 1, c = 1, d = 1;
    EXPECT_EQ(ip.GetAddress(a, b, c, d), 0);
    EXPECT_EQ(a + b + c + d, 0) << "blank fields read 0";
    ip.SetAddress(10, 0, 0, 1);
    EXPECT_EQ(ip.GetAddress(a, b, c, d), 4);
    EXPECT_EQ(a, 10);
    EXPECT_EQ(d, 1);
    ip.ClearAddress();
    EXPECT_TRUE(ip.IsBlank());
}

TEST(ControlWrappers, ToolTipLivesWithItsObject) {
    HandlerDialog dlg;
    ASSERT_TRUE(dlg.Create());
    HWND tip = nullptr;
    {
        CToolTipCtrl tooltip;
        MSG msg{dlg.GetSafeHwnd(), WM_MOUSEMOVE, 0, 0, 0, {0, 0}};
        tooltip.RelayEvent(&msg); // no window yet: nothing happens
        ASSERT_TRUE(tooltip.Create(&dlg));
        tip = tooltip.GetSafeHwnd();
        char cls[64] = {0};
        ::GetClassNameA(tip, cls, sizeof cls);
        EXPECT_EQ(lstrcmpiA(cls, TOOLTIPS_CLASSA), 0);
        EXPECT_EQ(::GetWindow(tip, GW_OWNER), dlg.GetSafeHwnd());
        tooltip.RelayEvent(&msg);
    }
    EXPECT_FALSE(::IsWindow(tip));
}

TEST(PlainWindow, CreatedWindowDispatchesAndGoesWithItsObject) {
    class Plain : public CWnd {
    public:
        LRESULT OnNcHitTest(POINT p) override {
            lastHit = p;
            return HTCAPTION;
        }
        void OnDestroy() override {
            ++destroyed;
            Default();
        }
        POINT lastHit{};
        int destroyed = 0;
    };
    HWND hwnd = nullptr;
    {
        Plain wnd;
        ASSERT_TRUE(wnd.CreateEx(0, "STATIC", "plain", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr));
        hwnd = wnd.GetSafeHwnd();
        EXPECT_EQ(wnd.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(-5, 12)), HTCAPTION);
        EXPECT_EQ(wnd.lastHit.x, -5) << "coordinates are signed";
        EXPECT_EQ(wnd.lastHit.y, 12);
        EXPECT_EQ(wnd.GetWindowText(), "plain");
        EXPECT_FALSE(wnd.CreateEx(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
        EXPECT_TRUE(wnd.DestroyWindow());
        EXPECT_EQ(wnd.destroyed, 1);
        ASSERT_TRUE(wnd.CreateEx(0, "STATIC", "again", WS_POPUP, 0, 0, 40, 40, nullptr, nullptr));
        hwnd = wnd.GetSafeHwnd();
    }
    EXPECT_FALSE(::IsWindow(hwnd));
}

// Reads the texts of a message box and presses its OK button, from another thread.
struct MessageBoxReader {
    std::string caption;
    std::vector<std::string> texts;
    static BOOL CALLBACK CollectStatic(HWND child, LPARAM lp) {
        char cls[32] = {0}, text[256] = {0};
        ::GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") == 0) {
            ::GetWindowTextA(child, text, sizeof text);
            reinterpret_cast<std::vector<std::string>*>(lp)->push_back(text);
        }
        return TRUE;
    }
    static DWORD WINAPI Run(void* p) {
        auto* self = static_cast<MessageBoxReader*>(p);
        for (int i = 0; i < 300; ++i) {
            HWND box = ::FindWindowA("#32770", AfxGetAppName());
            if (box != nullptr) {
                char buffer[256] = {0};
                ::GetWindowTextA(box, buffer, sizeof buffer);
                self->caption = buffer;
                ::EnumChildWindows(box, CollectStatic, reinterpret_cast<LPARAM>(&self->texts));
                ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                return 0;
            }
            ::Sleep(10);
        }
        return 1;
    }
};

TEST(FrameworkMessageBox, ShowsTheStringResourceUnderTheApplicationName) {
    MessageBoxReader reader;
    HANDLE thread = ::CreateThread(nullptr, 0, &MessageBoxReader::Run, &reader, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    int answer = AfxMessageBox(303, MB_OK);
    ::WaitForSingleObject(thread, 5000);
    ::CloseHandle(thread);
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(reader.caption, "framework_dialog");
    bool found = false;
    for (const std::string& t : reader.texts) {
        found = found || t == "Windows sockets initialization failed.";
    }
    EXPECT_TRUE(found);
}

} // namespace
