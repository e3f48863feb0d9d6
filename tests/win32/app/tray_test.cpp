// The notification-area icon as Wine's notification area holds it: its
// tooltip and balloons read back from the tooltip windows Wine's tray made in
// Explorer's process, its menu driven by the mouse messages that tray sends
// the program, and the icon's presence asked of the shell itself.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "resources/sulvantix/sulvantix_resource.h"
#include "shared/checker_done_message.h"
#include "shared/proxy_class_file.h"
#include "tests/win32/engine/engine_test_support.h"

namespace {

const std::string kDash = " \xE2\x80\x94 ";

struct CShownTip {
    std::string m_strText;
    bool m_bBalloon = false;
    HWND m_hTool = nullptr; // Wine's window of the icon
};

std::string Utf8(const wchar_t* wide) {
    char text[1024] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text - 1, nullptr, nullptr);
    return text;
}

// Tool 0 of a tooltip window of another process, through memory lent there.
CShownTip ReadTip(HWND tip) {
    CShownTip shown;
    shown.m_bBalloon = (::GetWindowLongW(tip, GWL_STYLE) & TTS_BALLOON) != 0;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(tip, &pid);
    UniqueHandle process(
        ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    char* lent = static_cast<char*>(
        ::VirtualAllocEx(process.Get(), nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (lent == nullptr) {
        return shown;
    }
    TTTOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    ::WriteProcessMemory(process.Get(), lent, &tool, sizeof tool, nullptr);
    if (::SendMessageW(tip, TTM_ENUMTOOLSW, 0, reinterpret_cast<LPARAM>(lent))) {
        ::ReadProcessMemory(process.Get(), lent, &tool, sizeof tool, nullptr);
        tool.lpszText = reinterpret_cast<wchar_t*>(lent + 1024);
        ::WriteProcessMemory(process.Get(), lent, &tool, sizeof tool, nullptr);
        ::SendMessageW(tip, TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(lent));
        wchar_t text[512] = {};
        ::ReadProcessMemory(process.Get(), lent + 1024, text, sizeof text - 2, nullptr);
        shown.m_strText = Utf8(text);
        shown.m_hTool = tool.hwnd;
    }
    ::VirtualFreeEx(process.Get(), lent, 0, MEM_RELEASE);
    return shown;
}

BOOL CALLBACK AddTip(HWND window, LPARAM tips) {
    wchar_t name[64] = {};
    DWORD pid = 0;
    ::GetWindowThreadProcessId(window, &pid);
    ::GetClassNameW(window, name, 64);
    if (pid != ::GetCurrentProcessId() && std::wstring(name) == TOOLTIPS_CLASSW) {
        reinterpret_cast<std::vector<CShownTip>*>(tips)->push_back(ReadTip(window));
    }
    return TRUE;
}

// The first tooltip (or balloon) of the tray whose text starts with `start`.
CShownTip TrayTip(const std::string& start, bool balloon, DWORD waitMs = 15000) {
    CShownTip found;
    PumpUntil(
        [&] {
            std::vector<CShownTip> tips;
            ::EnumWindows(&AddTip, reinterpret_cast<LPARAM>(&tips));
            for (const CShownTip& tip : tips) {
                if (tip.m_bBalloon == balloon && tip.m_strText.rfind(start, 0) == 0) {
                    found = tip;
                    return true;
                }
            }
            return false;
        },
        waitMs);
    return found;
}

// The shell asked about the window's icon with nothing to change: NIM_MODIFY
// succeeds only while it holds the icon.
bool AskShell(HWND owner, DWORD verb = NIM_MODIFY) {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = owner;
    data.uID = CTrayIcon::kIconId;
    return ::Shell_NotifyIconW(verb, &data) != FALSE;
}

// The menu's items as "text|flags" read while it runs, then `key` chosen.
std::vector<std::string> g_menu;
WPARAM g_key = 0;
void CALLBACK ReadMenuAndChoose(HWND, UINT, UINT_PTR timer, DWORD) {
    const HWND popup = ::FindWindowW(L"#32768", nullptr);
    HMENU menu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
    if (popup == nullptr || !::IsWindowVisible(popup) || menu == nullptr) {
        return;
    }
    ::KillTimer(nullptr, timer);
    const UINT byDefault = ::GetMenuDefaultItem(menu, FALSE, 0);
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = {};
        ::GetMenuStringW(menu, i, text, 64, MF_BYPOSITION);
        const UINT state = ::GetMenuState(menu, i, MF_BYPOSITION);
        if (state & MF_SEPARATOR) {
            g_menu.push_back("-");
            continue;
        }
        g_menu.push_back(Utf8(text) + ((state & MF_GRAYED) ? "|grey" : "") +
                         ((state & MF_CHECKED) ? "|checked" : "") +
                         (byDefault == ::GetMenuItemID(menu, i) ? "|default" : ""));
    }
    ::PostMessageW(popup, WM_CHAR, g_key, 0);
}

// Right-clicks the icon in Wine's tray and chooses by the item's key.
std::vector<std::string> ChooseFromMenu(HWND icon, wchar_t key) {
    g_menu.clear();
    g_key = key;
    ::SetTimer(nullptr, 0, 100, &ReadMenuAndChoose);
    ::PostMessageW(icon, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(4, 4));
    ::PostMessageW(icon, WM_RBUTTONUP, 0, MAKELPARAM(4, 4));
    PumpUntil([] { return !g_menu.empty(); }, 10000);
    PumpFor(200);
    return g_menu;
}

using Strings = std::vector<std::string>;

TEST(Tray, TheIconTellsTheSessionAndItsMenuActsAsTheButtonsThroughWinesTray) {
    // 100 ms a second: the "60 Sec" period is 6 s.
    HWND owner = nullptr;
    {
        CEngineHarness harness(std::string(), 100);
        ASSERT_TRUE(harness.Ready());
        owner = harness.Dialog().GetSafeHwnd();
        const CShownTip idle = TrayTip("Sulvantix", false);
        ASSERT_NE(idle.m_hTool, nullptr) << "Wine's tray shows the icon's tooltip";
        EXPECT_EQ(idle.m_strText, "Sulvantix" + kDash + "stopped");

        harness.WriteSystemFile("Proxylist.txt", "127.0.0.1:18100\r\n127.0.0.1:18104\r\n");
        ASSERT_EQ(harness.Engine().LoadProxyLists(), 0);
        // The checker's class file beside the program, the second line garbled.
        harness.WriteProgramFile(kProxyClassFile,
                                 "127.0.0.1:18100 elite 412\r\n127.0.0.1:18104 elite 4x2\r\n");
        EXPECT_EQ(ChooseFromMenu(idle.m_hTool, L's'),
                  (Strings{"&Start", "&Open|default", "&Balloon at every switch", "-", "E&xit"}));
        const std::string via = "Sulvantix" + kDash + "via 127.0.0.1:";
        ASSERT_FALSE(TrayTip(via + "18100 (elite, 412 ms), next in 0:0", false).m_strText.empty());
        EXPECT_FALSE(
            TrayTip("Now browsing via 127.0.0.1:18100 (elite, 412 ms)", true).m_strText.empty())
            << "the first switch's balloon";

        // Balloons on for the run: the timer's switch to the next entry shows one.
        EXPECT_EQ(ChooseFromMenu(idle.m_hTool, L'b').at(0), "&Stop");
        EXPECT_FALSE(TrayTip("Now browsing via 127.0.0.1:18104", true, 20000).m_strText.empty());
        EXPECT_FALSE(TrayTip(via + "18104, next in", false).m_strText.empty());
        // A checker's run ends: read at once, not at the entry's next turn.
        harness.WriteProgramFile(kProxyClassFile, "127.0.0.1:18104 unknown 87\n");
        ::SendMessageW(owner, WM_CHECKER_DONE, 0, 0);
        EXPECT_FALSE(
            TrayTip(via + "18104 (anonymity unknown, 87 ms)", false, 3000).m_strText.empty());
        EXPECT_EQ(ChooseFromMenu(idle.m_hTool, L's').at(2), "&Balloon at every switch|checked");
        EXPECT_FALSE(harness.Engine().IsAnonymizing());
        EXPECT_FALSE(TrayTip("Sulvantix" + kDash + "stopped", false).m_strText.empty());

        // Minimised, the icon stays; a double click on it opens the window.
        harness.Click(IDC_MINIMISE);
        PumpFor(300);
        ASSERT_TRUE(::IsIconic(owner));
        EXPECT_TRUE(AskShell(owner));
        ::PostMessageW(idle.m_hTool, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(4, 4));
        EXPECT_TRUE(
            PumpUntil([&] { return !::IsIconic(owner) && ::IsWindowVisible(owner); }, 5000));

        // A new Explorer's notification area is empty until the program adds
        // its icon again on the message Explorer broadcasts.
        ASSERT_TRUE(AskShell(owner, NIM_DELETE));
        ::SendMessageW(owner, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
        EXPECT_TRUE(AskShell(owner));
        const CShownTip again = TrayTip("Sulvantix" + kDash + "stopped", false);
        ASSERT_NE(again.m_hTool, nullptr);

        // Exit from the menu is the close button: the program's quit.
        const int quits = harness.Window().m_nQuits;
        EXPECT_EQ(ChooseFromMenu(again.m_hTool, L'x').size(), 5u);
        EXPECT_EQ(harness.Window().m_nQuits, quits + 1);
    }
    EXPECT_FALSE(AskShell(owner)) << "the icon goes with the window";
}

} // namespace
