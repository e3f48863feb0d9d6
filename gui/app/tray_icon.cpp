#include "gui/app/tray_icon.h"

#include <cwchar>

#include "framework/app.h"

namespace {

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) {
        return std::wstring();
    }
    const int length =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0) {
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &wide[0],
                              length);
    }
    return wide;
}

// Copies into one of NOTIFYICONDATAW's fixed buffers; the texts are already
// fitted (tray_text.h), this only guards the terminator.
template <std::size_t N> void CopyInto(WCHAR (&buffer)[N], const std::string& utf8) {
    const std::wstring wide = Wide(utf8);
    const std::size_t count = wide.size() < N ? wide.size() : N - 1;
    std::wmemcpy(buffer, wide.data(), count);
    buffer[count] = L'\0';
}

HICON LoadSmallIcon(UINT id) {
    // Not LR_SHARED: each look is destroyed by its owner.
    return static_cast<HICON>(::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(id), IMAGE_ICON,
                                           ::GetSystemMetrics(SM_CXSMICON),
                                           ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
}

} // namespace

CTrayIcon::~CTrayIcon() {
    Remove();
}

NOTIFYICONDATAW CTrayIcon::Data(UINT flags) const {
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof data;
    data.hWnd = m_hOwner;
    data.uID = kIconId;
    data.uFlags = flags;
    data.uCallbackMessage = m_nCallbackMessage;
    data.hIcon = m_bSessionLook ? m_sessionIcon.Get() : m_idleIcon.Get();
    CopyInto(data.szTip, m_strTip);
    return data;
}

// The program runs elevated, and Explorer does not: without leave, the
// system drops Explorer's "TaskbarCreated" before it reaches the window. The
// call came with Windows 7; older systems deliver the message anyway.
void CTrayIcon::AllowFromLowerRights(HWND owner, UINT message) {
    using FilterFunction = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    const auto filter = reinterpret_cast<FilterFunction>(
        reinterpret_cast<void (*)()>(::GetProcAddress(user32, "ChangeWindowMessageFilterEx")));
    constexpr DWORD kAllow = 1; // MSGFLT_ALLOW
    if (filter != nullptr && message != 0) {
        filter(owner, message, kAllow, nullptr);
    }
}

bool CTrayIcon::Add(HWND owner, UINT callbackMessage, UINT idleIcon, UINT sessionIcon,
                    const std::string& tip) {
    m_hOwner = owner;
    m_nCallbackMessage = callbackMessage;
    m_nTaskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
    AllowFromLowerRights(owner, m_nTaskbarCreated);
    m_idleIcon.Reset(LoadSmallIcon(idleIcon));
    m_sessionIcon.Reset(LoadSmallIcon(sessionIcon));
    m_strTip = tip;
    return AddNow();
}

bool CTrayIcon::AddNow() {
    NOTIFYICONDATAW data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP);
    m_bShown = ::Shell_NotifyIconW(NIM_ADD, &data) != FALSE;
    return m_bShown;
}

void CTrayIcon::Show(bool sessionLook, const std::string& tip) {
    UINT flags = 0;
    if (sessionLook != m_bSessionLook) {
        m_bSessionLook = sessionLook;
        flags |= NIF_ICON;
    }
    if (tip != m_strTip) {
        m_strTip = tip;
        flags |= NIF_TIP;
    }
    if (m_bShown && flags != 0) {
        NOTIFYICONDATAW data = Data(flags);
        ::Shell_NotifyIconW(NIM_MODIFY, &data);
    }
}

void CTrayIcon::ShowBalloon(const std::string& title, const std::string& text) {
    if (!m_bShown) {
        return;
    }
    NOTIFYICONDATAW data = Data(NIF_INFO);
    CopyInto(data.szInfoTitle, title);
    CopyInto(data.szInfo, text);
    data.dwInfoFlags = NIIF_INFO;
    ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

void CTrayIcon::Remove() {
    if (!m_bShown) {
        return;
    }
    NOTIFYICONDATAW data = Data(0);
    ::Shell_NotifyIconW(NIM_DELETE, &data);
    m_bShown = false;
}

bool CTrayIcon::OnTaskbarCreated(UINT msg) {
    if (m_nTaskbarCreated == 0 || msg != m_nTaskbarCreated) {
        return false;
    }
    if (m_hOwner != nullptr) {
        AddNow();
    }
    return true;
}

UINT CTrayIcon::TrackMenu(HWND owner, const std::vector<CTrayMenuItem>& items) {
    UniqueMenu menu(::CreatePopupMenu());
    if (!menu) {
        return 0;
    }
    for (const CTrayMenuItem& item : items) {
        if (item.m_nId == 0) {
            ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
            continue;
        }
        const UINT flags = MF_STRING | (item.m_bEnabled ? MF_ENABLED : MF_GRAYED) |
                           (item.m_bChecked ? MF_CHECKED : MF_UNCHECKED);
        ::AppendMenuW(menu.Get(), flags, item.m_nId, Wide(item.m_strText).c_str());
        if (item.m_bDefault) {
            ::SetMenuDefaultItem(menu.Get(), item.m_nId, FALSE);
        }
    }
    POINT at = {};
    ::GetCursorPos(&at);
    // Without the owner in the foreground the menu stays up after a click
    // elsewhere, and without the posted message after it a second one opens
    // only every other time (a documented quirk of notification-area menus).
    ::SetForegroundWindow(owner);
    const UINT command = static_cast<UINT>(::TrackPopupMenu(
        menu.Get(), TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr));
    ::PostMessageW(owner, WM_NULL, 0, 0);
    return command;
}
