#include "framework/wnd.h"

#include <algorithm>
#include <vector>

#include "framework/gdi.h"
#include "framework/trace.h"

namespace {

// Window property that leads from a window to its attached object. A property
// rather than the subclass reference data, because comctl32 offers no lookup
// of the latter.
const char kObjectProperty[] = "Sulvantix.CWnd";
// Our one subclass on each attached window.
const UINT_PTR kSubclassId = 0x53564E58;

bool IsCtlColorMessage(UINT msg) {
    return msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC;
}

// Mouse coordinates are signed 16-bit values (negative on multiple monitors).
POINT PointFromLParam(LPARAM lp) {
    return POINT{static_cast<short>(LOWORD(lp)), static_cast<short>(HIWORD(lp))};
}

} // namespace

// comctl32 calls this for every message of an attached window.
LRESULT CALLBACK FrameworkSubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR,
                                       DWORD_PTR refData) {
    CWnd* self = reinterpret_cast<CWnd*>(refData);
    try {
        if (msg == WM_NCDESTROY) {
            // The order matters: unsubclass and forget the window first, then let
            // the window finish its destruction.
            self->Detach();
            LRESULT r = ::DefSubclassProc(hwnd, msg, wp, lp);
            self->PostNcDestroy();
            return r;
        }
        return self->Dispatch(
            CWnd::CurrentMessage{hwnd, msg, wp, lp, CWnd::DefaultKind::kSubclass});
    } catch (...) {
        TraceText("Exception caught in CWnd::WindowProc");
    }
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}

const CRuntimeClass CWnd::classCWnd = {"CWnd", &CCmdTarget::classCCmdTarget};
const CRuntimeClass* CWnd::GetRuntimeClass() const {
    return &classCWnd;
}

CWnd::~CWnd() {
    if (!m_bAttached) {
        return;
    }
    HWND hwnd = GetSafeHwnd();
    bool owns = m_bOwnsWindow;
    // Detach before destroying: the destruction messages must not reach an
    // object that is half gone.
    Detach();
    if (owns) {
        ::DestroyWindow(hwnd);
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hwnd) {
    if (hwnd == nullptr) {
        return nullptr;
    }
    // A property of another process's window would be a pointer into that process.
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != ::GetCurrentProcessId()) {
        return nullptr;
    }
    return static_cast<CWnd*>(::GetPropA(hwnd, kObjectProperty));
}

bool CWnd::Attach(HWND hwnd) {
    if (m_bAttached || hwnd == nullptr || !::IsWindow(hwnd) ||
        ::GetWindowThreadProcessId(hwnd, nullptr) != ::GetCurrentThreadId() ||
        ::GetPropA(hwnd, kObjectProperty) != nullptr) {
        return false;
    }
    m_hWnd = hwnd;
    if (!::SetPropA(hwnd, kObjectProperty, this)) {
        m_hWnd = nullptr;
        return false;
    }
    if (!::SetWindowSubclass(hwnd, FrameworkSubclassProc, kSubclassId,
                             reinterpret_cast<DWORD_PTR>(this))) {
        ::RemovePropA(hwnd, kObjectProperty);
        m_hWnd = nullptr;
        return false;
    }
    m_bAttached = true;
    return true;
}

void CWnd::Detach() {
    if (!m_bAttached) {
        return;
    }
    HWND hwnd = GetSafeHwnd();
    ::RemoveWindowSubclass(hwnd, FrameworkSubclassProc, kSubclassId);
    ::RemovePropA(hwnd, kObjectProperty);
    m_bAttached = false;
    m_bOwnsWindow = false;
    m_hWnd = nullptr;
}

bool CWnd::SubclassWindow(HWND hwnd) {
    // Checked before PreSubclassWindow, which may already change the window.
    if (m_bAttached || hwnd == nullptr || !::IsWindow(hwnd) ||
        ::GetWindowThreadProcessId(hwnd, nullptr) != ::GetCurrentThreadId() ||
        ::GetPropA(hwnd, kObjectProperty) != nullptr) {
        return false;
    }
    m_hWnd = hwnd;
    PreSubclassWindow();
    if (!Attach(hwnd)) {
        m_hWnd = nullptr;
        return false;
    }
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent) {
    if (parent == nullptr) {
        return false;
    }
    HWND child = ::GetDlgItem(parent->GetSafeHwnd(), static_cast<int>(id));
    return child != nullptr && SubclassWindow(child);
}

HWND CWnd::UnsubclassWindow() {
    HWND hwnd = GetSafeHwnd();
    if (!m_bAttached) {
        return nullptr;
    }
    Detach();
    return hwnd;
}

bool CWnd::CreateEx(DWORD exStyle, const char* className, const char* windowName, DWORD style,
                    int x, int y, int width, int height, HWND parent, HMENU menuOrId) {
    if (m_bAttached) {
        return false;
    }
    HWND hwnd = ::CreateWindowExA(exStyle, className, windowName, style, x, y, width, height,
                                  parent, menuOrId, ::GetModuleHandleA(nullptr), nullptr);
    if (hwnd == nullptr) {
        return false;
    }
    if (!Attach(hwnd)) {
        ::DestroyWindow(hwnd);
        return false;
    }
    m_bOwnsWindow = true;
    return true;
}

bool CWnd::DestroyWindow() {
    HWND hwnd = GetSafeHwnd();
    if (hwnd == nullptr) {
        return false;
    }
    if (!m_bAttached) {
        m_hWnd = nullptr;
    }
    // An attached object is detached by WM_NCDESTROY.
    return ::DestroyWindow(hwnd) != FALSE;
}

LRESULT CWnd::CallDefault(const CurrentMessage& m) {
    switch (m.kind) {
    case DefaultKind::kSubclass:
        return ::DefSubclassProc(m.hwnd, m.msg, m.wParam, m.lParam);
    case DefaultKind::kInitDialog:
        // The dialog manager's own answer: set the focus to the first control.
        return TRUE;
    case DefaultKind::kNone:
        break;
    }
    return 0;
}

LRESULT CWnd::Default() {
    return m_pCurrentMsg != nullptr ? CallDefault(*m_pCurrentMsg) : 0;
}

LRESULT CWnd::Dispatch(const CurrentMessage& m) {
    // Messages nest (a handler's SetWindowText sends WM_SETTEXT), so the current
    // message is a stack kept on the C++ stack.
    struct Restore {
        CWnd* self;
        const CurrentMessage* outer;
        ~Restore() { self->m_pCurrentMsg = outer; }
    } restore{this, m_pCurrentMsg};
    m_pCurrentMsg = &m;
    LRESULT result = 0;
    if (OnMessage(m.msg, m.wParam, m.lParam, result)) {
        return result;
    }
    return CallDefault(m);
}

bool CWnd::ReflectToChild(HWND child, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    CWnd* target = FromHandlePermanent(child);
    if (target == nullptr || target == this) {
        return false;
    }
    // The child acts for the parent's message: it has no default of its own.
    struct Restore {
        CWnd* self;
        const CurrentMessage* outer;
        ~Restore() { self->m_pCurrentMsg = outer; }
    } restore{target, target->m_pCurrentMsg};
    target->m_pCurrentMsg = nullptr;
    return target->OnReflectedMessage(msg, wp, lp, result);
}

bool CWnd::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    switch (msg) {
    case WM_COMMAND: {
        HWND control = reinterpret_cast<HWND>(lp);
        if (control != nullptr && ReflectToChild(control, msg, wp, lp, result)) {
            return true;
        }
        if (OnCommand(LOWORD(wp), HIWORD(wp), control)) {
            result = 0;
            return true;
        }
        return false;
    }
    case WM_NOTIFY: {
        NMHDR* header = reinterpret_cast<NMHDR*>(lp);
        if (header == nullptr) {
            return false;
        }
        if (ReflectToChild(header->hwndFrom, msg, wp, lp, result)) {
            return true;
        }
        return OnNotify(header, result);
    }
    case WM_DRAWITEM: {
        DRAWITEMSTRUCT* item = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
        if (item == nullptr) {
            return false;
        }
        if (item->CtlType != ODT_MENU && ReflectToChild(item->hwndItem, msg, wp, lp, result)) {
            result = TRUE;
            return true;
        }
        if (OnDrawItem(static_cast<UINT>(wp), item)) {
            result = TRUE;
            return true;
        }
        return false;
    }
    case WM_MEASUREITEM: {
        MEASUREITEMSTRUCT* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
        if (item == nullptr) {
            return false;
        }
        // The record names the control only by its ID.
        if (item->CtlType != ODT_MENU &&
            ReflectToChild(GetDlgItem(static_cast<int>(item->CtlID)), msg, wp, lp, result)) {
            result = TRUE;
            return true;
        }
        if (OnMeasureItem(static_cast<UINT>(wp), item)) {
            result = TRUE;
            return true;
        }
        return false;
    }
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
        result = reinterpret_cast<LRESULT>(OnCtlColor(
            reinterpret_cast<HDC>(wp), reinterpret_cast<HWND>(lp), msg - WM_CTLCOLORMSGBOX));
        return true;
    case WM_TIMER:
        OnTimer(static_cast<UINT_PTR>(wp));
        result = 0;
        return true;
    case WM_PAINT:
        OnPaint();
        result = 0;
        return true;
    case WM_ERASEBKGND:
        result = OnEraseBkgnd(reinterpret_cast<HDC>(wp));
        return true;
    case WM_SYSCOMMAND:
        OnSysCommand(static_cast<UINT>(wp), lp);
        result = 0;
        return true;
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<LRESULT>(OnQueryDragIcon());
        return true;
    case WM_NCHITTEST:
        result = OnNcHitTest(PointFromLParam(lp));
        return true;
    case WM_CLOSE:
        OnClose();
        result = 0;
        return true;
    case WM_DESTROY:
        OnDestroy();
        result = 0;
        return true;
    case WM_MOUSEMOVE:
        OnMouseMove(static_cast<UINT>(wp), PointFromLParam(lp));
        result = 0;
        return true;
    case WM_LBUTTONDOWN:
        OnLButtonDown(static_cast<UINT>(wp), PointFromLParam(lp));
        result = 0;
        return true;
    case WM_LBUTTONUP:
        OnLButtonUp(static_cast<UINT>(wp), PointFromLParam(lp));
        result = 0;
        return true;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk(static_cast<UINT>(wp), PointFromLParam(lp));
        result = 0;
        return true;
    case WM_MOUSELEAVE:
        OnMouseLeave();
        result = 0;
        return true;
    case WM_SETFOCUS:
        OnSetFocus(reinterpret_cast<HWND>(wp));
        result = 0;
        return true;
    case WM_KILLFOCUS:
        OnKillFocus(reinterpret_cast<HWND>(wp));
        result = 0;
        return true;
    case WM_KEYDOWN:
        OnKeyDown(static_cast<UINT>(wp), LOWORD(lp), HIWORD(lp));
        result = 0;
        return true;
    case WM_SYSCOLORCHANGE:
        OnSysColorChange();
        result = 0;
        return true;
    case WM_HELP:
        result = OnHelpInfo(reinterpret_cast<HELPINFO*>(lp));
        return true;
    case WM_QUERYENDSESSION:
        result = OnQueryEndSession();
        return true;
    default:
        return false;
    }
}

bool CWnd::OnReflectedMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (IsCtlColorMessage(msg)) {
        HBRUSH brush = CtlColor(reinterpret_cast<HDC>(wp), msg - WM_CTLCOLORMSGBOX);
        if (brush == nullptr) {
            return false;
        }
        result = reinterpret_cast<LRESULT>(brush);
        return true;
    }
    switch (msg) {
    case WM_DRAWITEM:
        return OnChildDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lp));
    case WM_MEASUREITEM:
        return OnChildMeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
    case WM_COMMAND:
        if (OnReflectedCommand(HIWORD(wp))) {
            result = 0;
            return true;
        }
        return false;
    case WM_NOTIFY:
        return OnReflectedNotify(reinterpret_cast<NMHDR*>(lp), result);
    default:
        return false;
    }
}

bool CWnd::PreTranslateMessage(MSG*) {
    return false;
}

bool CWnd::OnCommand(UINT, UINT, HWND) {
    return false;
}
bool CWnd::OnNotify(NMHDR*, LRESULT&) {
    return false;
}
bool CWnd::OnDrawItem(UINT, DRAWITEMSTRUCT*) {
    return false;
}
bool CWnd::OnMeasureItem(UINT, MEASUREITEMSTRUCT*) {
    return false;
}

HBRUSH CWnd::OnCtlColor(HDC dc, HWND control, UINT ctlType) {
    LRESULT reflected = 0;
    if (control != nullptr &&
        ReflectToChild(control, WM_CTLCOLORMSGBOX + ctlType, reinterpret_cast<WPARAM>(dc),
                       reinterpret_cast<LPARAM>(control), reflected)) {
        return reinterpret_cast<HBRUSH>(reflected);
    }
    return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnTimer(UINT_PTR) {
    Default();
}
void CWnd::OnPaint() {
    Default();
}
BOOL CWnd::OnEraseBkgnd(HDC) {
    return static_cast<BOOL>(Default());
}
void CWnd::OnSysCommand(UINT, LPARAM) {
    Default();
}
HCURSOR CWnd::OnQueryDragIcon() {
    return reinterpret_cast<HCURSOR>(Default());
}
LRESULT CWnd::OnNcHitTest(POINT) {
    return Default();
}
void CWnd::OnClose() {
    Default();
}
void CWnd::OnDestroy() {
    Default();
}
void CWnd::OnMouseMove(UINT, POINT) {
    Default();
}
void CWnd::OnLButtonDown(UINT, POINT) {
    Default();
}
void CWnd::OnLButtonUp(UINT, POINT) {
    Default();
}
void CWnd::OnLButtonDblClk(UINT, POINT) {
    Default();
}
void CWnd::OnMouseLeave() {
    Default();
}
void CWnd::OnSetFocus(HWND) {
    Default();
}
void CWnd::OnKillFocus(HWND) {
    Default();
}
void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}
void CWnd::OnSysColorChange() {
    Default();
}
BOOL CWnd::OnHelpInfo(HELPINFO*) {
    return static_cast<BOOL>(Default());
}
BOOL CWnd::OnQueryEndSession() {
    return static_cast<BOOL>(Default());
}

HBRUSH CWnd::CtlColor(HDC, UINT) {
    return nullptr;
}
bool CWnd::OnChildDrawItem(DRAWITEMSTRUCT*) {
    return false;
}
bool CWnd::OnChildMeasureItem(MEASUREITEMSTRUCT*) {
    return false;
}
bool CWnd::OnReflectedCommand(UINT) {
    return false;
}
bool CWnd::OnReflectedNotify(NMHDR*, LRESULT&) {
    return false;
}

std::string CWnd::GetWindowText() const {
    HWND hwnd = GetSafeHwnd();
    int length = ::GetWindowTextLengthA(hwnd);
    if (length <= 0) {
        return std::string();
    }
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    int copied = ::GetWindowTextA(hwnd, buffer.data(), static_cast<int>(buffer.size()));
    return std::string(buffer.data(), copied > 0 ? static_cast<size_t>(copied) : 0);
}

std::string CWnd::GetDlgItemText(int id) const {
    HWND item = GetDlgItem(id);
    return item != nullptr ? CWnd(item).GetWindowText() : std::string();
}

RECT CWnd::GetClientRect() const {
    RECT r = {0, 0, 0, 0};
    ::GetClientRect(GetSafeHwnd(), &r);
    return r;
}

RECT CWnd::GetWindowRect() const {
    RECT r = {0, 0, 0, 0};
    ::GetWindowRect(GetSafeHwnd(), &r);
    return r;
}

namespace {

bool ModifyLong(HWND hwnd, int index, DWORD remove, DWORD add, UINT swpFlags) {
    DWORD old = static_cast<DWORD>(::GetWindowLongPtrA(hwnd, index));
    DWORD now = (old & ~remove) | add;
    if (now == old) {
        return false;
    }
    ::SetWindowLongPtrA(hwnd, index, static_cast<LONG_PTR>(now));
    if (swpFlags != 0) {
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | swpFlags);
    }
    return true;
}

} // namespace

bool CWnd::ModifyStyle(DWORD remove, DWORD add, UINT swpFlags) const {
    return ModifyLong(GetSafeHwnd(), GWL_STYLE, remove, add, swpFlags);
}

bool CWnd::ModifyStyleEx(DWORD remove, DWORD add, UINT swpFlags) const {
    return ModifyLong(GetSafeHwnd(), GWL_EXSTYLE, remove, add, swpFlags);
}

bool CWnd::SetWindowRgn(CRgn& rgn, bool redraw) {
    if (::SetWindowRgn(GetSafeHwnd(), rgn.Get(), redraw ? TRUE : FALSE) == 0) {
        return false;
    }
    rgn.Detach(); // the system deletes it with the window or the next region
    return true;
}

bool AfxPreTranslateMessage(MSG* msg) {
    if (msg == nullptr) {
        return false;
    }
    for (HWND hwnd = msg->hwnd; hwnd != nullptr;) {
        if (CWnd* wnd = CWnd::FromHandlePermanent(hwnd)) {
            if (wnd->PreTranslateMessage(msg)) {
                return true;
            }
        }
        // The walk ends at the top-level window: owners are not parents.
        if ((::GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD) == 0) {
            break;
        }
        hwnd = ::GetParent(hwnd);
    }
    return false;
}

void CWnd::CenterWindow() const {
    HWND hwnd = GetSafeHwnd();
    RECT area{};
    if (!::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0)) {
        area = RECT{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    }
    RECT over = area;
    HWND owner = ::GetWindow(hwnd, GW_OWNER);
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &over);
    }
    const RECT self = GetWindowRect();
    const long width = self.right - self.left;
    const long height = self.bottom - self.top;
    long x = (over.left + over.right - width) / 2;
    long y = (over.top + over.bottom - height) / 2;
    // Wholly on the work area where it fits, its top-left corner kept first.
    x = std::max(area.left, std::min(x, area.right - width));
    y = std::max(area.top, std::min(y, area.bottom - height));
    ::SetWindowPos(hwnd, nullptr, static_cast<int>(x), static_cast<int>(y), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
