// The GUI program's compiled resources as the code and the user meet them:
// both dialogs made from the real templates (controls, classes, styles,
// positions, texts, the timer items from the initialisation data), the
// manifest, the icon sizes and the start-up string; and the framework's
// handling of initialisation data that is missing, mixed or cut short.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/dialog.h"
#include "resources/sulvantix/sulvantix_resource.h"
#include "tests/support/list_box_items.h"

namespace {

enum class Kind { kPush, kOwnerDraw, kLeftText, kCentredText, kList, kIpAddress, kEdit, kCombo };

struct Expected {
    int id;
    Kind kind;
    bool visible;
    bool tabStop;
    RECT dlu;         // x, y, width, height
    const char* text; // null: not a text the template sets
};

const char* ClassOf(Kind kind) {
    switch (kind) {
    case Kind::kPush:
    case Kind::kOwnerDraw:
        return "Button";
    case Kind::kLeftText:
    case Kind::kCentredText:
        return "Static";
    case Kind::kList:
        return "ListBox";
    case Kind::kIpAddress:
        return "SysIPAddress32";
    case Kind::kEdit:
        return "Edit";
    case Kind::kCombo:
        return "ComboBox";
    }
    return "";
}

std::string Text(HWND hwnd) {
    char buf[256] = {};
    ::GetWindowTextA(hwnd, buf, sizeof buf);
    return buf;
}

std::string ClassName(HWND hwnd) {
    char buf[64] = {};
    ::GetClassNameA(hwnd, buf, sizeof buf);
    return buf;
}

// Like the dialog manager, converts the position and the size each on its
// own (converting the right edge instead can round one pixel apart).
RECT Pixels(HWND dlg, const RECT& dlu) {
    RECT r = dlu;
    ::MapDialogRect(dlg, &r);
    return RECT{r.left, r.top, r.left + r.right, r.top + r.bottom};
}

RECT RectInDialog(HWND dlg, HWND control) {
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, dlg, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A border may come as WS_BORDER or, from the dialog manager's 3-D look, as
// a client edge.
bool HasBorder(HWND hwnd) {
    return (::GetWindowLongA(hwnd, GWL_STYLE) & WS_BORDER) != 0 ||
           (::GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0;
}

// The combo passes its scroll bar style on to its drop-down list.
bool ListHasScrollBar(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return ::GetComboBoxInfo(combo, &info) && info.hwndList != nullptr &&
           (::GetWindowLongA(info.hwndList, GWL_STYLE) & WS_VSCROLL) != 0;
}

void CheckKindStyle(HWND hwnd, Kind kind) {
    const DWORD style = static_cast<DWORD>(::GetWindowLongA(hwnd, GWL_STYLE));
    switch (kind) {
    case Kind::kPush: {
        // The dialog manager makes a focused push button the default one.
        DWORD type = style & BS_TYPEMASK;
        EXPECT_TRUE(type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON) << type;
        break;
    }
    case Kind::kOwnerDraw:
        EXPECT_EQ(style & BS_TYPEMASK, static_cast<DWORD>(BS_OWNERDRAW));
        break;
    case Kind::kLeftText:
        EXPECT_EQ(style & SS_TYPEMASK, static_cast<DWORD>(SS_LEFT));
        break;
    case Kind::kCentredText:
        EXPECT_EQ(style & SS_TYPEMASK, static_cast<DWORD>(SS_CENTER));
        break;
    case Kind::kList: {
        // The scroll bar shows (WS_VSCROLL) only once there is something to
        // scroll; the main test fills the list for it.
        const DWORD wanted = LBS_SORT | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT;
        EXPECT_EQ(style & wanted, wanted);
        EXPECT_TRUE(HasBorder(hwnd));
        break;
    }
    case Kind::kIpAddress:
        break;
    case Kind::kEdit:
        EXPECT_NE(style & ES_NUMBER, 0u) << "digits only";
        EXPECT_EQ(style & (ES_MULTILINE | ES_PASSWORD | ES_READONLY), 0u);
        EXPECT_TRUE(HasBorder(hwnd));
        break;
    case Kind::kCombo:
        EXPECT_EQ(style & 3u, static_cast<DWORD>(CBS_DROPDOWNLIST));
        EXPECT_TRUE(ListHasScrollBar(hwnd));
        EXPECT_EQ(style & CBS_SORT, 0u) << "the items keep their order";
        break;
    }
}

// Every child, in template (tab) order, against the table.
void CheckControls(HWND dlg, const std::vector<Expected>& table) {
    std::vector<HWND> children;
    for (HWND c = ::GetWindow(dlg, GW_CHILD); c != nullptr; c = ::GetWindow(c, GW_HWNDNEXT)) {
        children.push_back(c);
    }
    ASSERT_EQ(children.size(), table.size());
    for (std::size_t i = 0; i < table.size(); ++i) {
        const Expected& e = table[i];
        HWND c = children[i];
        SCOPED_TRACE("control " + std::to_string(e.id));
        EXPECT_EQ(::GetDlgCtrlID(c), e.id) << "position " << i << " in the tab order";
        EXPECT_EQ(::lstrcmpiA(ClassName(c).c_str(), ClassOf(e.kind)), 0) << ClassName(c);
        CheckKindStyle(c, e.kind);
        const LONG style = ::GetWindowLongA(c, GWL_STYLE);
        EXPECT_EQ((style & WS_VISIBLE) != 0, e.visible);
        EXPECT_EQ((style & WS_TABSTOP) != 0, e.tabStop);
        EXPECT_EQ(style & WS_DISABLED, 0);
        const RECT want = Pixels(dlg, e.dlu);
        const RECT got = RectInDialog(dlg, c);
        EXPECT_EQ(got.left, want.left);
        EXPECT_EQ(got.top, want.top);
        EXPECT_EQ(got.right, want.right);
        if (e.kind == Kind::kCombo) {
            // The template height is that of the dropped-down list.
            RECT dropped{};
            ::SendMessageA(c, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&dropped));
            // Windows reports the combo and its list together, Wine the list's
            // part alone; either way the list has room below the box.
            const LONG droppedHeight = dropped.bottom - dropped.top;
            EXPECT_GT(droppedHeight, got.bottom - got.top);
            EXPECT_LE(droppedHeight, want.bottom - want.top);
        } else {
            EXPECT_EQ(got.bottom, want.bottom);
        }
        if (e.text != nullptr) {
            EXPECT_EQ(Text(c), e.text);
        }
    }
}

// The dialog's own frame: styles, client size and the 8-point shell font.
void CheckDialog(HWND dlg, DWORD style, DWORD exStyle, LONG cxDlu, LONG cyDlu) {
    const DWORD frame = WS_POPUP | WS_VISIBLE | WS_SYSMENU | WS_CAPTION | WS_THICKFRAME;
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(dlg, GWL_STYLE)) & frame, style);
    EXPECT_EQ(static_cast<DWORD>(::GetWindowLongA(dlg, GWL_EXSTYLE)) & exStyle, exStyle);
    RECT client{};
    ::GetClientRect(dlg, &client);
    const RECT want = Pixels(dlg, RECT{0, 0, cxDlu, cyDlu});
    EXPECT_EQ(client.right, want.right);
    EXPECT_EQ(client.bottom, want.bottom);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageA(dlg, WM_GETFONT, 0, 0));
    ASSERT_NE(font, nullptr) << "the template's font";
    LOGFONTA lf{};
    ASSERT_NE(::GetObjectA(font, sizeof lf, &lf), 0);
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(lf.lfHeight, -::MulDiv(8, dpi, 72));
}

// Counts what the initialisation data put in the boxes before OnInitDialog.
class InitProbe : public CDialog {
public:
    explicit InitProbe(UINT id) : CDialog(id) {}
    BOOL OnInitDialog() override {
        comboAtInit = static_cast<int>(::SendDlgItemMessageA(*this, 1009, CB_GETCOUNT, 0, 0));
        return CDialog::OnInitDialog();
    }
    int comboAtInit = -1;
};

class SulvantixResources : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX icc{sizeof icc, ICC_INTERNET_CLASSES};
        ::InitCommonControlsEx(&icc);
    }
};

TEST_F(SulvantixResources, MainWindowTemplateWithItsTimerChoices) {
    InitProbe dlg(IDD_SULVANTIX_DIALOG);
    ASSERT_TRUE(dlg.Create());
    HWND hwnd = dlg.GetSafeHwnd();
    CheckDialog(hwnd, WS_POPUP | WS_VISIBLE | WS_SYSMENU, WS_EX_APPWINDOW, 375, 279);
    EXPECT_EQ(Text(hwnd), "") << "the caption is set at start, not by the template";

    const bool kTab = true, kNoTab = false, kShown = true;
    const std::vector<Expected> table = {
        {IDC_START_STOP, Kind::kPush, kShown, kTab, {240, 42, 110, 32}, ""},
        {IDC_HINT_START, Kind::kLeftText, kShown, kNoTab, {13, 42, 157, 14}, "Static"},
        {IDC_HINT_MANUAL,
         Kind::kLeftText,
         kShown,
         kNoTab,
         {14, 73, 218, 21},
         "You can enter new Proxy address and Port number here"},
        {IDC_LIST_HEADING,
         Kind::kLeftText,
         kShown,
         kNoTab,
         {240, 73, 100, 12},
         "Anonymous Proxy Address"},
        {IDC_LABEL_ADDRESS, Kind::kLeftText, kShown, kNoTab, {14, 96, 77, 11}, "Proxy Address"},
        {IDC_LABEL_PORT, Kind::kLeftText, kShown, kNoTab, {126, 96, 32, 9}, "Port No"},
        {IDC_PROXY_LIST, Kind::kList, kShown, kTab, {240, 96, 104, 75}, nullptr},
        {IDC_PROXY_ADDRESS, Kind::kIpAddress, kShown, kTab, {13, 114, 106, 13}, nullptr},
        {IDC_PROXY_PORT, Kind::kEdit, kShown, kTab, {126, 114, 25, 13}, ""},
        {IDC_ADD, Kind::kPush, kShown, kTab, {162, 114, 69, 20}, "Add"},
        {IDC_VETTOR, Kind::kPush, kShown, kTab, {13, 137, 109, 21}, "Vettor"},
        {IDC_REMOVE, Kind::kPush, kShown, kTab, {162, 137, 69, 20}, "Remove"},
        {IDC_HINT_TIMER,
         Kind::kLeftText,
         kShown,
         kNoTab,
         {13, 174, 200, 15},
         "You can set timer between two proxy addresses."},
        {IDC_UPDATE, Kind::kPush, kShown, kTab, {240, 175, 69, 20}, "Update"},
        {IDC_LABEL_TIMER, Kind::kLeftText, kShown, kNoTab, {13, 191, 72, 10}, "Timer (seconds)"},
        {IDC_TIMER_COMBO, Kind::kCombo, kShown, kTab, {92, 191, 65, 43}, nullptr},
        {IDC_BLANK_STATIC, Kind::kCentredText, kShown, kNoTab, {13, 221, 228, 12}, ""},
        {IDCANCEL, Kind::kPush, !kShown, kNoTab, {82, 248, 69, 20}, ""},
        {IDC_HELP_BUTTON, Kind::kPush, kShown, kTab, {310, 4, 13, 11}, ""},
        {IDC_MINIMISE, Kind::kPush, kShown, kTab, {324, 4, 13, 11}, ""},
        {IDC_CLOSE, Kind::kPush, kShown, kTab, {338, 4, 13, 11}, ""},
    };
    CheckControls(hwnd, table);

    const std::vector<std::string> timers = {"20 Sec",  "40 Sec",  "60 Sec", "80 Sec",
                                             "100 Sec", "120 Sec", "2 Hrs"};
    EXPECT_EQ(ComboBoxItems(::GetDlgItem(hwnd, IDC_TIMER_COMBO)), timers);
    EXPECT_EQ(dlg.comboAtInit, 7) << "the items are there before OnInitDialog runs";
    EXPECT_EQ(::SendDlgItemMessageA(hwnd, IDC_TIMER_COMBO, CB_GETCURSEL, 0, 0), CB_ERR)
        << "choosing the period is the main window's job";
    EXPECT_EQ(::SendDlgItemMessageA(hwnd, IDC_PROXY_LIST, LB_GETCOUNT, 0, 0), 0);

    // The list box sorts what it is given (the proxy list relies on it) and
    // scrolls once it holds more than it shows.
    HWND list = ::GetDlgItem(hwnd, IDC_PROXY_LIST);
    EXPECT_EQ(::GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL, 0) << "nothing to scroll yet";
    std::vector<std::string> sorted;
    for (int i = 30; i-- > 10;) {
        const std::string entry = "10.0.0." + std::to_string(i) + ":8080";
        ::SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
        sorted.insert(sorted.begin(), entry);
    }
    EXPECT_EQ(ListBoxItems(::GetDlgItem(hwnd, IDC_PROXY_LIST)), sorted);
    EXPECT_NE(::GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL, 0);
}

TEST_F(SulvantixResources, MessageBoxTemplate) {
    InitProbe dlg(IDD_COLOR_MESSAGE_BOX);
    ASSERT_TRUE(dlg.Create());
    HWND hwnd = dlg.GetSafeHwnd();
    CheckDialog(hwnd, WS_POPUP | WS_SYSMENU, 0, 218, 90);
    const std::vector<Expected> table = {
        {IDC_MESSAGE_TEXT, Kind::kCentredText, true, false, {32, 26, 163, 23}, "Static"},
        {IDOK, Kind::kOwnerDraw, true, true, {81, 53, 71, 21}, " "},
    };
    CheckControls(hwnd, table);
}

TEST_F(SulvantixResources, ManifestIconAndString) {
    HMODULE module = ::GetModuleHandleA(nullptr);

    HRSRC manifest = ::FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(manifest, nullptr);
    const char* xml = static_cast<const char*>(::LockResource(::LoadResource(module, manifest)));
    ASSERT_NE(xml, nullptr);
    const std::string text(xml, ::SizeofResource(module, manifest));
    EXPECT_NE(text.find("requestedExecutionLevel level=\"requireAdministrator\""),
              std::string::npos)
        << text;

    // Each size has an image of its own in the group, not a scaled neighbour.
    HRSRC group = ::FindResourceA(module, MAKEINTRESOURCEA(IDR_MAINFRAME), RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    auto* dir = static_cast<PBYTE>(::LockResource(::LoadResource(module, group)));
    ASSERT_NE(dir, nullptr);
    for (int size : {16, 32, 48}) {
        SCOPED_TRACE("icon size " + std::to_string(size));
        const int iconId = ::LookupIconIdFromDirectoryEx(dir, TRUE, size, size, LR_DEFAULTCOLOR);
        HRSRC image = ::FindResourceA(module, MAKEINTRESOURCEA(iconId), RT_ICON);
        ASSERT_NE(image, nullptr);
        const auto* header =
            static_cast<const BITMAPINFOHEADER*>(::LockResource(::LoadResource(module, image)));
        ASSERT_NE(header, nullptr);
        EXPECT_EQ(header->biWidth, size);
        EXPECT_EQ(header->biHeight, 2 * size) << "colour and mask";

        HICON icon = static_cast<HICON>(
            ::LoadImageA(module, MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, size, size, 0));
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(::GetIconInfo(icon, &info));
        BITMAP bm{};
        ::GetObjectA(info.hbmColor, sizeof bm, &bm);
        EXPECT_EQ(bm.bmWidth, size);
        EXPECT_EQ(bm.bmHeight, size);
        ::DeleteObject(info.hbmColor);
        ::DeleteObject(info.hbmMask);
        ::DestroyIcon(icon);
    }

    char buf[128] = {};
    ::LoadStringA(module, IDS_SOCKETS_INIT_FAILED, buf, sizeof buf);
    EXPECT_STREQ(buf, "Windows sockets initialization failed.");
}

// Test templates 900-902 (init_data_test.rc): the same combo and list box with
// no data, with data for both boxes, and with data cut short.
TEST_F(SulvantixResources, InitDataOnlyWhereTheDialogHasSoundData) {
    InitProbe none(900), mixed(901), cutShort(902);
    ASSERT_TRUE(none.Create());
    ASSERT_TRUE(mixed.Create());
    ASSERT_TRUE(cutShort.Create());

    EXPECT_TRUE(ComboBoxItems(::GetDlgItem(none, 1009)).empty());
    EXPECT_TRUE(ListBoxItems(::GetDlgItem(none, 1001)).empty());

    EXPECT_EQ(ComboBoxItems(::GetDlgItem(mixed, 1009)), (std::vector<std::string>{"one"}))
        << "a record of another message is passed over";
    EXPECT_EQ(ListBoxItems(::GetDlgItem(mixed, 1001)), (std::vector<std::string>{"b:20", "a:10"}));
    EXPECT_EQ(mixed.comboAtInit, 1);

    EXPECT_TRUE(ComboBoxItems(::GetDlgItem(cutShort, 1009)).empty())
        << "refused whole, not in part";
    EXPECT_TRUE(ListBoxItems(::GetDlgItem(cutShort, 1001)).empty());
}

} // namespace
