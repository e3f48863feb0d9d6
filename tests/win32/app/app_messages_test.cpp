// The standard boxes the program shows, read while they run: the warning
// when the registry may not be written (text, caption, warning icon, no
// owner) and a standard message of the main window ("Error1 "), captioned
// with the program's name and owned by the main window.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "framework/app.h"
#include "framework/dialog.h"
#include "framework/module_paths.h"
#include "gui/app/dialog_engine_window.h"
#include "gui/app/registry_rights_warning.h"

namespace {

struct CSeenBox {
    bool m_bSeen = false;
    std::string m_strCaption, m_strText;
    HWND m_hOwner = nullptr;
    HICON m_hIcon = nullptr;
};
CSeenBox g_seen;

BOOL CALLBACK ReadChild(HWND child, LPARAM) {
    char text[512] = {};
    ::GetWindowTextA(child, text, sizeof text);
    const LONG style = ::GetWindowLongA(child, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON) {
        g_seen.m_hIcon = reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
    } else if (std::string(text).find(' ') != std::string::npos) {
        g_seen.m_strText = text; // the message, not the button's "OK"
    }
    return TRUE;
}

// Reads the first box of this thread that is not the owner, then closes it.
void CALLBACK ReadAndCloseTheBox(HWND, UINT, UINT_PTR, DWORD) {
    if (g_seen.m_bSeen) {
        return;
    }
    HWND box = ::GetActiveWindow();
    char className[32] = {};
    ::GetClassNameA(box, className, sizeof className);
    if (box == nullptr || std::string(className) != "#32770") {
        return;
    }
    g_seen.m_bSeen = true;
    char caption[128] = {};
    ::GetWindowTextA(box, caption, sizeof caption);
    g_seen.m_strCaption = caption;
    g_seen.m_hOwner = ::GetWindow(box, GW_OWNER);
    ::EnumChildWindows(box, &ReadChild, 0);
    ::PostMessageA(box, WM_COMMAND, IDOK, 0);
}

template <class Show> CSeenBox SeenWhile(Show show) {
    g_seen = CSeenBox();
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 200, &ReadAndCloseTheBox);
    show();
    ::KillTimer(nullptr, timer);
    return g_seen;
}

class CPlainEngineWindow : public CDialogEngineWindow {
public:
    using CDialogEngineWindow::CDialogEngineWindow;

protected:
    void ShowMessageBox(const std::string&) override {}
};

TEST(AppMessages, TheRightsWarningAndTheStandardMessageShowWhatUsersAreTold) {
    const CSeenBox warning = SeenWhile([] { ShowRegistryRightsWarning(); });
    ASSERT_TRUE(warning.m_bSeen);
    EXPECT_EQ(warning.m_strCaption, "Sulvantix r");
    EXPECT_EQ(warning.m_strText,
              "Currently logged in user does not have rights to access the registry.\nThe "
              "appliction will work only if the user has Standard User or Administrator rights "
              "on the machine!");
    EXPECT_EQ(warning.m_hOwner, nullptr);
    EXPECT_EQ(warning.m_hIcon, ::LoadIconA(nullptr, IDI_WARNING));

    // The main window of the application owns it; the caption is the program
    // file's name without its extension.
    CWinApp app;
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, "STATIC", "main", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                              nullptr));
    app.m_pMainWnd = &main;
    CDialog unused(1);
    CPlainEngineWindow window(unused);
    const CSeenBox standard =
        SeenWhile([&] { window.ShowMessage("Error1 ", EEngineMessage::Standard); });
    app.m_pMainWnd = nullptr;
    ASSERT_TRUE(standard.m_bSeen);
    EXPECT_EQ(standard.m_strText, "Error1 ");
    std::string name = GetModuleFilePath();
    name = name.substr(name.find_last_of('\\') + 1);
    EXPECT_EQ(standard.m_strCaption, name.substr(0, name.rfind('.')));
    EXPECT_EQ(standard.m_hOwner, main.GetSafeHwnd());
}

} // namespace
