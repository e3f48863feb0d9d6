// What users, the checker and the look rely on in the real main window and
// its message box, read back from the windows themselves: texts, fonts by
// their table entry, the caption colour on the screen, the start-up trace,
// the timers by their numbers, the traces of a stopped step, and the end of
// the program after a restore that failed.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>

#include "gui/app/color_message_box.h"
#include "gui/controls/app_font_table.h"
#include "resources/sulvantix/sulvantix_resource.h"
#include "tests/support/debug_output_capture.h"
#include "tests/win32/engine/engine_test_support.h"
#include "tools/standins/standin_ports.h"

namespace {

using Strings = std::vector<std::string>;

const char kNoLiveProxy[] =
    "No live proxy avaliable in the list, Plese click on Update to get live proxies!!";
const char kUserProxy[] = "127.0.0.1:18114";

std::string Text(HWND window) {
    char text[256] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

HFONT FontOf(HWND control) {
    return reinterpret_cast<HFONT>(::SendMessageA(control, WM_GETFONT, 0, 0));
}

// Pixels of exactly `colour` where `window` is on the screen.
int PixelsOfColour(HWND window, COLORREF colour) {
    RECT rect;
    ::GetWindowRect(window, &rect);
    const int cx = rect.right - rect.left;
    const int cy = rect.bottom - rect.top;
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, cx, cy);
    HGDIOBJ old = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, cx, cy, screen, rect.left, rect.top, SRCCOPY);
    int count = 0;
    for (int y = 0; y < cy; ++y) {
        for (int x = 0; x < cx; ++x) {
            count += ::GetPixel(memory, x, y) == colour ? 1 : 0;
        }
    }
    ::SelectObject(memory, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return count;
}

bool Traced(CDebugOutputCapture& capture, const std::string& text) {
    const Strings texts = capture.Texts();
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(MainWindow, TextsFontsColourTraceTimersAndEndsAreThoseOthersRelyOn) {
    CDebugOutputCapture capture;
    ASSERT_TRUE(capture.IsListening());
    CAppFontTable fonts;
    fonts.Create();
    // The update server is down: the start-up leaves the list empty.
    CEngineHarness harness("http://127.0.0.1:" + std::to_string(standins::kClosedPort));
    ASSERT_TRUE(harness.Ready());
    const HWND dialog = ::GetParent(harness.Item(IDC_PROXY_LIST));
    ASSERT_TRUE(capture.Sync());
    EXPECT_TRUE(Traced(capture, "DPIValue is96"));
    EXPECT_EQ(harness.StartUpMessages(),
              (Strings{" Please check your Network connection.", kNoLiveProxy}))
        << "timer 9999 warns once of the empty list";
    EXPECT_EQ(Text(dialog), "Sulvantix");

    EXPECT_EQ(Text(harness.Item(IDC_HINT_START)), "Click here to start Sulvantix :-");
    EXPECT_EQ(Text(harness.Item(IDC_HINT_MANUAL)),
              "You can also manually insert your own proxy address here");
    for (int id : {IDC_HINT_START, IDC_HINT_MANUAL, IDC_LIST_HEADING, IDC_HINT_TIMER}) {
        EXPECT_EQ(FontOf(harness.Item(id)), fonts.Font(7)) << id;
    }
    for (int id : {IDC_LABEL_ADDRESS, IDC_LABEL_PORT, IDC_LABEL_TIMER}) {
        EXPECT_EQ(FontOf(harness.Item(id)), fonts.Font(8)) << id;
    }
    ::SetWindowPos(dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    ::RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    PumpFor(300);
    for (int id : {IDC_ADD, IDC_REMOVE, IDC_VETTOR, IDC_UPDATE}) {
        EXPECT_EQ(FontOf(harness.Item(id)), fonts.Font(12)) << id;
        EXPECT_GT(PixelsOfColour(harness.Item(id), RGB(30, 144, 255)), 20)
            << id << ": its caption in the colour 0xFF901E";
    }

    // The timers by their numbers, through the window's own routing.
    ::SendMessageA(dialog, WM_TIMER, 9999, 0);
    EXPECT_EQ(harness.Window().m_messages, Strings{kNoLiveProxy});
    harness.Window().m_messages.clear();
    harness.Click(IDC_START_STOP);
    EXPECT_EQ(harness.Window().m_messages, Strings{" No Proxy in the Proxy list."});
    EXPECT_EQ(harness.Window().m_nFlashes, 1) << "Start with nothing listed flashes";

    ASSERT_TRUE(SetMachineProxy(PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY, kUserProxy));
    harness.WriteSystemFile("Proxylist.txt", "127.0.0.1:18100\r\n127.0.0.1:18104\r\n");
    ASSERT_EQ(harness.Engine().LoadProxyLists(), 0);
    harness.Click(IDC_START_STOP);
    ASSERT_TRUE(PumpUntil([&] { return !harness.Window().m_rotationPeriods.empty(); }, 20000));
    EXPECT_TRUE(::KillTimer(dialog, 101)) << "the rotation runs on timer 101";
    ::SendMessageA(dialog, WM_TIMER, 101, 0);
    EXPECT_EQ(harness.Options().AppliedServers(), (Strings{"127.0.0.1:18100", "127.0.0.1:18104"}));
    ASSERT_TRUE(capture.Sync());
    EXPECT_TRUE(Traced(capture, "CheckIfOnline Fine "));

    // A Stop waiting in the queue when a step begins: the step's pump ends
    // the session and the step returns with its trace.
    ::KillTimer(dialog, 101);
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_START_STOP, BN_CLICKED),
                   reinterpret_cast<LPARAM>(harness.Item(IDC_START_STOP)));
    ::SendMessageA(dialog, WM_TIMER, 101, 0);
    ASSERT_TRUE(capture.Sync());
    EXPECT_TRUE(Traced(capture, "Return Cause m_bStopChangeIP is true "));
    EXPECT_FALSE(harness.Engine().IsAnonymizing());
    EXPECT_EQ(MachineProxy().m_strServer, kUserProxy);
    EXPECT_EQ(harness.Options().AppliedServers().size(), 2u);

    // A restore that fails ends the program (its window's quit).
    harness.Click(IDC_START_STOP);
    ASSERT_TRUE(PumpUntil([&] { return harness.Options().AppliedServers().size() == 3; }, 20000));
    harness.Options().m_bFailRestores = true;
    const int quitsBefore = harness.Window().m_nQuits;
    harness.Click(IDC_START_STOP);
    EXPECT_EQ(harness.Window().m_nQuits, quitsBefore + 1);
}

// The box's own parts, read by a thread timer while it runs modally.
struct CSeenBox {
    bool m_bSeen = false;
    std::string m_strCaption, m_strOk;
    HFONT m_hTextFont = nullptr, m_hButtonFont = nullptr;
    RECT m_window{};
    bool m_bRegionAsAsked = false;
};
CSeenBox g_seen;

void CALLBACK ReadAndCloseTheBox(HWND, UINT, UINT_PTR, DWORD) {
    HWND box = ::FindWindowA("#32770", "Sulvantix");
    if (g_seen.m_bSeen || box == nullptr) {
        return;
    }
    g_seen.m_bSeen = true;
    g_seen.m_strCaption = Text(box);
    g_seen.m_strOk = Text(::GetDlgItem(box, IDOK));
    g_seen.m_hTextFont = FontOf(::GetDlgItem(box, IDC_MESSAGE_TEXT));
    g_seen.m_hButtonFont = FontOf(::GetDlgItem(box, IDOK));
    ::GetWindowRect(box, &g_seen.m_window);
    // The rounded rectangle from (1, 1) to three short of the right and bottom.
    const int cx = g_seen.m_window.right - g_seen.m_window.left;
    const int cy = g_seen.m_window.bottom - g_seen.m_window.top;
    HRGN region = ::CreateRectRgn(0, 0, 0, 0);
    HRGN expected = ::CreateRoundRectRgn(1, 1, cx - 3, cy - 3, 0, 0);
    g_seen.m_bRegionAsAsked =
        ::GetWindowRgn(box, region) != ERROR && ::EqualRgn(region, expected) != FALSE;
    ::DeleteObject(expected);
    ::DeleteObject(region);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST(ProgramMessageBox, OkCaptionFontsAndRegion) {
    CAppFontTable fonts;
    fonts.Create();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 200, &ReadAndCloseTheBox);
    CColorMessageBox box(" File Updated Successfully");
    box.DoModal();
    ::KillTimer(nullptr, timer);
    const CSeenBox& seen = g_seen;
    ASSERT_TRUE(seen.m_bSeen) << "the box did not show";
    EXPECT_EQ(seen.m_strCaption, "Sulvantix");
    EXPECT_EQ(seen.m_strOk, "OK");
    EXPECT_EQ(seen.m_hTextFont, fonts.Font(7));
    EXPECT_EQ(seen.m_hButtonFont, fonts.Font(12));
    EXPECT_TRUE(seen.m_bRegionAsAsked);
}

} // namespace
