// The real Sulvantix.exe at one display class, checked from outside: the main
// window and the message box take their picture's size plus 3, every visible
// control lies inside the window region, no two overlap, the title buttons
// sit where the class puts them, and the screen shows every label and
// message whole. The class is the prefix's (tests/e2e/layout/
// prepare_class_prefix.sh); the command line names the one expected:
//
//   sulvantix_layout_test --class=96|120|98120 [--shots=UNIXDIR]
//
// With --shots, each window checked is also offered for a screenshot: the
// test writes UNIXDIR/<name>.geometry ("WxH+X+Y", the window's visible part
// on the screen) and waits until it is taken away (docs/make_screenshots.sh).
// At class 96 the program's icon in Wine's tray is offered too, with its menu
// open (Wine's own tray window: Xvfb has no tray of its own).
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/e2e/app/sulvantix_e2e_fixture.h"
#include "tests/e2e/layout/layout_checks.h"
#include "tests/support/file_access.h"
#include "tests/support/message_pump.h"
#include "tests/support/standins_env.h"
#include "tools/standins/standin_ports.h"

namespace sx_layout {
namespace {

using sx_e2e::CSulvantixProcess;
using sx_e2e::Entry;
using sx_e2e::kIdStartStop;
using sx_e2e::kIdVettor;

constexpr int kIdListHeading = 1032;
constexpr int kIdHelp = 1018;
constexpr int kIdMinimise = 1020;
constexpr int kIdClose = 1021;
constexpr int kIdMessage = 1020;
constexpr SIZE kStartStopPicture{156, 50};
constexpr SIZE kTitleTile{20, 20};

const char kEnterBoth[] = " Please enter both address and port of Proxy";
const char kCheckNetwork[] = " Please check your Network connection.";

struct CDisplayClass {
    unsigned m_nDpi;
    const char* m_pszName;
    SIZE m_main; // the background picture's size plus 3
    SIZE m_box;  // the message box's picture's size plus 3
    // Help, minimise and close in client coordinates: at 96 where the
    // template puts them under Wine's Tahoma, else where the program moves them.
    RECT m_titleButtons[3]; // x, y, width, height
};

const CDisplayClass kClasses[] = {
    {96, "96", {537, 417}, {330, 149}, {{465, 7, 20, 18}, {486, 7, 20, 18}, {507, 7, 20, 18}}},
    {120, "120", {653, 558}, {387, 183}, {{575, 6, 30, 30}, {600, 6, 30, 30}, {625, 6, 30, 30}}},
    {98120,
     "98120",
     {733, 558},
     {439, 185},
     {{650, 6, 30, 30}, {675, 6, 30, 30}, {700, 6, 30, 30}}},
};

const CDisplayClass* g_pClass = nullptr;
std::string g_strShotFolder; // unix path; empty: no screenshots

// True when `window` sits centred over `over` (to a pixel of rounding).
bool CentredOver(const RECT& window, const RECT& over) {
    return std::abs((window.left + window.right) - (over.left + over.right)) <= 2 &&
           std::abs((window.top + window.bottom) - (over.top + over.bottom)) <= 2;
}

bool IsTitleButton(int id) {
    return id == kIdHelp || id == kIdMinimise || id == kIdClose;
}

RECT ScreenRect(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return r;
}

// The part of the window its region shows, on the screen.
RECT VisibleScreenRect(HWND window, HRGN region) {
    RECT frame = ScreenRect(window);
    RECT shown{};
    ::GetRgnBox(region, &shown);
    ::OffsetRect(&shown, frame.left, frame.top);
    RECT both{};
    ::IntersectRect(&both, &frame, &shown);
    return both;
}

// Offers part of the screen to the screenshot script and waits until it has its picture.
void OfferScreenShot(const std::string& name, const RECT& r) {
    char geometry[64];
    std::snprintf(geometry, sizeof geometry, "%ldx%ld+%ld+%ld", r.right - r.left, r.bottom - r.top,
                  r.left, r.top);
    const std::string path = standins_env::WinePath(g_strShotFolder + "/" + name + ".geometry");
    const std::string part = path + ".part";
    ASSERT_TRUE(WriteWholeFile(part, geometry));
    ASSERT_TRUE(::MoveFileExA(part.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING));
    EXPECT_TRUE(PumpMessagesUntil([&] { return !FileExists(path); }, 60000))
        << "nobody took the screenshot " << name;
}

void OfferShot(const std::string& name, HWND window, HRGN region) {
    if (!g_strShotFolder.empty()) {
        OfferScreenShot(name, VisibleScreenRect(window, region));
    }
}

// Wine's tray window with the program's icon, and the menu the program opens
// on a right click there, taken together; the menu is then dismissed.
void OfferTrayShot(const std::string& name) {
    if (g_strShotFolder.empty()) {
        return;
    }
    HWND tray = ::FindWindowW(L"__winex11_standalone_tray", nullptr);
    HWND icon = ::FindWindowExW(tray, nullptr, L"__winex11_tray_icon", nullptr);
    ASSERT_NE(icon, nullptr) << "no icon in Wine's tray";
    const RECT at = ScreenRect(icon);
    // The menu opens at the pointer: just below the icon.
    ::SetCursorPos(at.left + 4, ScreenRect(tray).bottom + 2);
    ::PostMessageW(icon, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(4, 4));
    ::PostMessageW(icon, WM_RBUTTONUP, 0, MAKELPARAM(4, 4));
    HWND menu = nullptr;
    ASSERT_TRUE(PumpMessagesUntil(
        [&] { return (menu = ::FindWindowW(L"#32768", nullptr)) && ::IsWindowVisible(menu); },
        10000));
    PumpMessagesFor(300);
    RECT both{};
    const RECT trayRect = ScreenRect(tray);
    const RECT menuRect = ScreenRect(menu);
    ::UnionRect(&both, &trayRect, &menuRect);
    OfferScreenShot(name, both);
    ::PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    ::SetCursorPos(0, 0);
}

class SulvantixLayout : public sx_e2e::SulvantixE2e {
protected:
    void SetUp() override {
        ASSERT_NE(g_pClass, nullptr) << "no display class given (--class=96|120|98120)";
        // Out of the way: a window shown under the pointer could take a hover look.
        ::SetCursorPos(0, 0);
        SulvantixE2e::SetUp();
    }

    // The picture's size plus 3, wholly on the screen; its visible controls,
    // its region and its pixels, settled.
    void CheckFrame(HWND window, SIZE expected, std::vector<CControl>& controls,
                    UniqueRegion& region, CScreenCapture& capture) {
        const RECT frame = ScreenRect(window);
        EXPECT_EQ(frame.right - frame.left, expected.cx) << "window width";
        EXPECT_EQ(frame.bottom - frame.top, expected.cy) << "window height";
        // The checks read the screen: the window must be wholly on it.
        ASSERT_GE(frame.left, 0);
        ASSERT_GE(frame.top, 0);
        ASSERT_LE(frame.right, ::GetSystemMetrics(SM_CXSCREEN));
        ASSERT_LE(frame.bottom, ::GetSystemMetrics(SM_CYSCREEN));

        region = WindowRegion(window);
        ASSERT_TRUE(region) << "the window has no region";
        controls = VisibleControls(window);
        ASSERT_TRUE(TakeSettled(capture, frame)) << "the window's pixels do not settle";
    }

    void CheckStatics(const std::vector<CControl>& controls, const CScreenCapture& capture) {
        int statics = 0;
        for (const CControl& control : controls) {
            if (control.m_strClass == "Static") {
                ++statics;
                EXPECT_TRUE(TextShownAndWhole(capture, control));
            }
        }
        EXPECT_GT(statics, 0);
    }

    // The box at this class: its size, its message whole, OK inside its region.
    void CheckMessageBox(HWND box, const std::string& text, const char* shot) {
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(sx_e2e::MessageText(box), text);
        std::vector<CControl> controls;
        UniqueRegion region;
        CScreenCapture capture;
        ASSERT_NO_FATAL_FAILURE(CheckFrame(box, g_pClass->m_box, controls, region, capture));
        const CControl* message = FindControl(controls, kIdMessage);
        ASSERT_NE(message, nullptr) << "no message shown";
        EXPECT_NE(FindControl(controls, IDOK), nullptr) << "no OK shown";
        EXPECT_TRUE(CornersInside(region.Get(), controls));
        EXPECT_TRUE(NoOverlaps(controls, [](int, int) { return false; }));
        EXPECT_TRUE(TextShownAndWhole(capture, *message));
        if (shot != nullptr) {
            OfferShot(shot, box, region.Get());
        }
    }

    std::string ShotName(const char* what) const {
        return std::string(what) + "-" + g_pClass->m_pszName;
    }
};

TEST_F(SulvantixLayout, MainWindowAndMessageBoxFitTheirPictures) {
    Serve({Entry(standins::kFarmOk), Entry(standins::kFarmForbidden), Entry(standins::kFarmRelay)});
    HWND main = StartProgram(m_app);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(NoBoxFor(m_app, 1500));

    // The window opens in the middle of the screen.
    RECT area{};
    ASSERT_TRUE(::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0));
    EXPECT_TRUE(CentredOver(ScreenRect(main), area));

    std::vector<CControl> controls;
    UniqueRegion region;
    CScreenCapture capture;
    ASSERT_NO_FATAL_FAILURE(CheckFrame(main, g_pClass->m_main, controls, region, capture));
    // The list box, the fields, the buttons, the statics and the combo.
    EXPECT_GE(controls.size(), 19u);
    // A title button shows its bitmap in its top-left corner and the band
    // round it. At 120 and 98120 the close button's 30 x 30 place reaches 5
    // and 1 pixels past the region's right edge (625 + 30 = 655 against 650,
    // 700 + 30 = 730 against 729): the region cuts band there, never the tile,
    // which is what must lie inside.
    std::vector<CControl> shown = controls;
    for (CControl& control : shown) {
        RECT& r = control.m_rcWindow;
        if (IsTitleButton(control.m_nId)) {
            r.right = std::min(r.right, r.left + kTitleTile.cx);
            r.bottom = std::min(r.bottom, r.top + kTitleTile.cy);
        }
    }
    EXPECT_TRUE(CornersInside(region.Get(), shown));

    // Two kinds of pair may share pixels. The title buttons are placed 25
    // apart and 30 wide at 120 and 98120 (their places are pinned below);
    // each shows its 20 x 20 tile in its top-left corner, so the tiles stay
    // apart. Start/Stop's template rectangle reaches a row or two into the
    // list heading below it; its picture, drawn in its top-left corner, ends
    // well above (checked below).
    EXPECT_TRUE(NoOverlaps(controls, [](int a, int b) {
        return (IsTitleButton(a) && IsTitleButton(b)) || (a == kIdStartStop && b == kIdListHeading);
    }));
    const CControl* startStop = FindControl(controls, kIdStartStop);
    const CControl* heading = FindControl(controls, kIdListHeading);
    ASSERT_NE(startStop, nullptr);
    ASSERT_NE(heading, nullptr);
    const RECT picture{startStop->m_rcWindow.left, startStop->m_rcWindow.top,
                       startStop->m_rcWindow.left + kStartStopPicture.cx,
                       startStop->m_rcWindow.top + kStartStopPicture.cy};
    RECT common{};
    EXPECT_FALSE(::IntersectRect(&common, &picture, &heading->m_rcWindow))
        << "the Start picture covers the list heading";

    int title = 0;
    for (int id : {kIdHelp, kIdMinimise, kIdClose}) {
        const RECT& expected = g_pClass->m_titleButtons[title++];
        HWND button = ::GetDlgItem(main, id);
        ASSERT_NE(button, nullptr);
        RECT place{};
        ::GetWindowRect(button, &place);
        ::MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(place.left, expected.left) << id;
        EXPECT_EQ(place.top, expected.top) << id;
        EXPECT_EQ(place.right - place.left, expected.right) << id;
        EXPECT_EQ(place.bottom - place.top, expected.bottom) << id;
    }

    CheckStatics(controls, capture);
    OfferShot(ShotName("main"), main, region.Get());
    if (g_pClass->m_nDpi == 96) {
        OfferTrayShot(ShotName("tray"));
    }

    // Vettor with both fields empty.
    ASSERT_TRUE(sx_e2e::Click(main, kIdVettor));
    HWND box = m_app.WaitForMessageBox(20000);
    // Over the middle of the main window.
    EXPECT_TRUE(CentredOver(ScreenRect(box), ScreenRect(main)));
    CheckMessageBox(box, kEnterBoth, ShotName("message").c_str());
    ASSERT_TRUE(sx_e2e::ConfirmMessageBox(box));
    EXPECT_TRUE(CloseQuietly(m_app, main));
}

TEST_F(SulvantixLayout, LongProgramMessagesSpreadWholeOverTheBox) {
    // Nothing served, the user going out directly and the server down: the
    // network warning, then the empty-list warning, which is longer than one
    // line of the box's message field in its font at every class.
    ASSERT_TRUE(SetMachineProxy(PROXY_TYPE_DIRECT, nullptr));
    Serve({});
    SetUpdateServerMode("down");

    HWND box = StartProgramToBox(m_app);
    CheckMessageBox(box, kCheckNetwork, nullptr);
    ASSERT_TRUE(sx_e2e::ConfirmMessageBox(box));

    box = m_app.WaitForMessageBox(10000);
    CheckMessageBox(box, sx_e2e::kNoLiveProxy, ShotName("message-long").c_str());
    ASSERT_TRUE(sx_e2e::ConfirmMessageBox(box));
    HWND main = m_app.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(CloseQuietly(m_app, main));
}

// The value of "--name=value" among the arguments; null when absent.
const char* Option(int argc, char** argv, const char* name) {
    const std::size_t length = std::strlen(name);
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], name, length) == 0 && argv[i][length] == '=') {
            return argv[i] + length + 1;
        }
    }
    return nullptr;
}

} // namespace
} // namespace sx_layout

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    using namespace sx_layout;
    if (const char* wanted = Option(argc, argv, "--class")) {
        for (const CDisplayClass& displayClass : kClasses) {
            if (std::strcmp(displayClass.m_pszName, wanted) == 0) {
                g_pClass = &displayClass;
            }
        }
    }
    if (g_pClass == nullptr) {
        std::fprintf(stderr, "usage: %s --class=96|120|98120 [--shots=UNIXDIR]\n", argv[0]);
        return 2;
    }
    if (const char* shots = Option(argc, argv, "--shots")) {
        g_strShotFolder = shots;
    }
    return RUN_ALL_TESTS();
}
