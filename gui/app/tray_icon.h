// One icon of the program's in the notification area, through the wide
// Shell_NotifyIconW: added with two looks, its tooltip and look changed,
// balloons, removed, and added again when Explorer restarts and sends the
// registered "TaskbarCreated" message. What it says is tray_text.h's; this
// is the glue. The window's thread only.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

#include "framework/handle.h"

// An item of the icon's menu; an id of 0 is a separator.
struct CTrayMenuItem {
    UINT m_nId = 0;
    std::string m_strText; // UTF-8
    bool m_bEnabled = true;
    bool m_bChecked = false;
    bool m_bDefault = false;
};

class CTrayIcon {
public:
    // The icon's number among the owner's icons.
    static constexpr UINT kIconId = 1;

    CTrayIcon() = default;
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // Adds the icon for `owner`, which gets the shell's mouse notifications
    // as `callbackMessage` (wParam the icon's number, lParam the mouse
    // message). The looks are icon resources of the program, at the small
    // icon size. False when the shell refused it; Explorer's restart retries.
    bool Add(HWND owner, UINT callbackMessage, UINT idleIcon, UINT sessionIcon,
             const std::string& tip);
    // Only what changed is sent.
    void Show(bool sessionLook, const std::string& tip);
    void ShowBalloon(const std::string& title, const std::string& text);
    void Remove();

    // True for the message Explorer broadcasts when its notification area is
    // new (after a restart): the icon is added again as it was.
    bool OnTaskbarCreated(UINT msg);

    bool IsShown() const { return m_bShown; }
    const std::string& Tip() const { return m_strTip; }

    // Runs the menu at the cursor and answers the command chosen (0: none).
    static UINT TrackMenu(HWND owner, const std::vector<CTrayMenuItem>& items);

private:
    static void AllowFromLowerRights(HWND owner, UINT message);
    NOTIFYICONDATAW Data(UINT flags) const;
    bool AddNow();

    HWND m_hOwner = nullptr;
    UINT m_nCallbackMessage = 0;
    UINT m_nTaskbarCreated = 0;
    UniqueIcon m_idleIcon;
    UniqueIcon m_sessionIcon;
    bool m_bSessionLook = false;
    std::string m_strTip;
    bool m_bShown = false;
};
