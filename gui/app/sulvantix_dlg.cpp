#include "gui/app/sulvantix_dlg.h"

#include <shellapi.h>

#include <cstdio>

#include "framework/app.h"
#include "framework/module_paths.h"
#include "framework/trace.h"
#include "gui/controls/app_font_table.h"
#include "gui/controls/static_font_fit.h"
#include "resources/sulvantix/sulvantix_resource.h"
#include "rotation_periods.h"
#include "shared/checker_done_message.h"
#include "shared/proxy_class_file.h"
#include "shared/proxy_options.h"
#include "gui/app/sulvantix_engine_window.h"

namespace {

constexpr int kHintFontEntry = 7;
constexpr int kLabelFontEntry = 8;
constexpr int kButtonFontEntry = 12;
constexpr UINT kNoLiveProxyDelayMs = 10;
constexpr char kPictureResourceType[] = "JPGTYPE";
constexpr int kTitleButtonY = 6;
constexpr int kTitleButtonSize = 30;
constexpr int kTitleButtonStep = 25;
// Often enough that the m:ss countdown never skips a second.
constexpr UINT kTrayTipRefreshMs = 500;

} // namespace

CSulvantixDlg::CSulvantixDlg(CWnd* parent, CMainWindowSetup setup)
    : CBitmapDialog(IDD_SULVANTIX_DIALOG, parent),
      m_hIcon(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_setup(std::move(setup)) {}

CSulvantixDlg::~CSulvantixDlg() {
    // Workers are asked to stop and let go; none waits for this window.
    m_checkerDoneWatch.Stop();
    if (m_pEngine) {
        m_pEngine->Shutdown();
    }
    m_link.Close();
}

void CSulvantixDlg::DoDataExchange(CDataExchange* dx) {
    DDX_Control(dx, IDC_START_STOP, m_btnStartStop);
    DDX_Control(dx, IDC_HINT_START, m_stcHintStart);
    DDX_Control(dx, IDC_HINT_MANUAL, m_stcHintManual);
    DDX_Control(dx, IDC_LIST_HEADING, m_stcListHeading);
    DDX_Control(dx, IDC_LABEL_ADDRESS, m_stcLabelAddress);
    DDX_Control(dx, IDC_LABEL_PORT, m_stcLabelPort);
    DDX_Control(dx, IDC_ADD, m_btnAdd);
    DDX_Control(dx, IDC_VETTOR, m_btnVettor);
    DDX_Control(dx, IDC_REMOVE, m_btnRemove);
    DDX_Control(dx, IDC_HINT_TIMER, m_stcHintTimer);
    DDX_Control(dx, IDC_UPDATE, m_btnUpdate);
    DDX_Control(dx, IDC_LABEL_TIMER, m_stcLabelTimer);
    DDX_Control(dx, IDC_TIMER_COMBO, m_cmbTimer);
    DDX_Control(dx, IDC_BLANK_STATIC, m_stcBlank);
    DDX_Control(dx, IDCANCEL, m_btnHidden);
    DDX_Control(dx, IDC_HELP_BUTTON, m_btnHelp);
    DDX_Control(dx, IDC_MINIMISE, m_btnMinimise);
    DDX_Control(dx, IDC_CLOSE, m_btnClose);
}

BOOL CSulvantixDlg::OnInitDialog() {
    CBitmapDialog::OnInitDialog();
    UpdateData(FALSE);

    m_link.Open(CSharedLink::Role::Gui);
    m_checkerDoneWatch.Start(m_link.GetCheckerDoneEvent(), GetSafeHwnd(), WM_CHECKER_DONE);
    if (m_setup.m_makeEngineWindow) {
        m_pEngineWindow = m_setup.m_makeEngineWindow(*this);
    } else {
        m_pEngineWindow = std::make_shared<CSulvantixEngineWindow>(*this);
    }
    IInternetOptions& options =
        m_setup.m_pInternetOptions ? *m_setup.m_pInternetOptions : SystemInternetOptions();
    m_pEngine = CProxyEngine::Create(
        m_pEngineWindow, options, [this] { m_link.SignalUpdate(); }, m_setup.m_settings);
    if (!m_pEngine) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    // A session whose program died left the machine on its proxy: give the
    // user's settings back before anything is fetched through them.
    m_pEngine->RecoverCrashedSession();
    m_pEngine->UpdateProxyList(true);

    const unsigned dpi = g_nAppDpiValue;
    char trace[64];
    std::snprintf(trace, sizeof trace, "DPIValue is%lu", static_cast<unsigned long>(dpi));
    TraceText(trace);

    LoadBackground();
    // Sized to its picture now: placed in the middle of the screen.
    CenterWindow();
    SetWindowRegion();
    SetDefID(IDC_START_STOP);
    SetIcon(m_hIcon, true);
    m_cmbTimer.SetCurSel(SULVANTIX_DEFAULT_TIMER_ITEM);
    m_cmbTimer.SetExtendedUI(true);
    ReportChoices();
    SetTextsAndFonts();

    m_pEngine->m_bStopChangeIP = false;
    m_pEngine->m_bClosing = false;
    SetWindowText("Sulvantix");

    if (m_pEngine->LoadProxyLists() != 0) {
        SetTimer(IDT_NO_LIVE_PROXY, kNoLiveProxyDelayMs);
    }
    m_pEngineWindow->EnableStartStopOnListCount();

    if (HMENU menu = GetSystemMenu(false)) {
        ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(menu, MF_STRING, IDM_HELP_ITEM, "Help");
    }
    m_tray.Add(GetSafeHwnd(), WM_TRAY_NOTIFY, IDR_MAINFRAME, IDI_TRAY_SESSION,
               m_trayModel.TipText(::GetTickCount64()));
    return TRUE;
}

void CSulvantixDlg::LoadBackground() {
    // Picture and title-button places by display class; any other class has
    // no picture and keeps the template's size and places.
    struct Layout {
        unsigned dpi;
        UINT picture;
        int helpX; // the minimise and close buttons follow 25 and 50 pixels on
    };
    static const Layout kLayouts[] = {{96, IDR_BACKGROUND_96, 0},
                                      {120, IDR_BACKGROUND_120, 575},
                                      {98120, IDR_BACKGROUND_98120, 650}};
    const unsigned dpi = g_nAppDpiValue;
    for (const Layout& layout : kLayouts) {
        if (layout.dpi != dpi) {
            continue;
        }
        // The title buttons take the class's places whether or not its
        // picture loads.
        if (layout.helpX != 0) {
            int x = layout.helpX;
            for (CButton* button : {&m_btnHelp, &m_btnMinimise, &m_btnClose}) {
                button->MoveWindow(x, kTitleButtonY, kTitleButtonSize, kTitleButtonSize, true);
                button->Invalidate();
                x += kTitleButtonStep;
            }
        }
        m_picture.SetWindow(GetSafeHwnd());
        if (m_picture.LoadFromResource(layout.picture, kPictureResourceType)) {
            m_picture.Render();
        }
        return;
    }
}

void CSulvantixDlg::SetWindowRegion() {
    const RECT client = GetClientRect();
    CRgn region;
    const bool made = g_nAppDpiValue == 98120
                          ? region.CreateRoundRectRgn(client.left + 1, client.top + 1,
                                                      client.right - 3, client.bottom - 3, 0, 0)
                          : region.CreateRoundRectRgn(client.left, client.top, client.right - 2,
                                                      client.bottom - 2, 0, 0);
    if (made) {
        SetWindowRgn(region, true);
    }
}

void CSulvantixDlg::SetTextsAndFonts() {
    m_stcHintStart.SetWindowText("Click here to start Sulvantix :-");
    m_stcHintManual.SetWindowText("You can also manually insert your own proxy address here");
    // Each in its table font, or a smaller step where that would cut its text.
    for (CColorStatic* hint :
         {&m_stcHintStart, &m_stcHintManual, &m_stcListHeading, &m_stcHintTimer}) {
        SetFittingAppFont(hint->GetSafeHwnd(), kHintFontEntry);
    }
    for (CColorStatic* label : {&m_stcLabelAddress, &m_stcLabelPort, &m_stcLabelTimer}) {
        SetFittingAppFont(label->GetSafeHwnd(), kLabelFontEntry);
    }
    for (CxSkinButton* button : {&m_btnAdd, &m_btnVettor, &m_btnRemove, &m_btnUpdate}) {
        button->SetFont(AppFont(kButtonFontEntry), true);
    }
    SetStartStopSkin(false);
    ApplySkin(m_btnAdd, kSkinAdd);
    ApplySkin(m_btnRemove, kSkinRemove);
    ApplySkin(m_btnUpdate, kSkinUpdate);
    ApplySkin(m_btnVettor, kSkinVettor);
    ApplySkin(m_btnHidden, kSkinHidden);
    ApplySkin(m_btnHelp, kSkinHelp);
    ApplySkin(m_btnMinimise, kSkinMinimise);
    ApplySkin(m_btnClose, kSkinClose);
    for (CxSkinButton* button : {&m_btnAdd, &m_btnRemove, &m_btnVettor, &m_btnUpdate}) {
        button->SetTextColors(kSkinCaptionColour, kSkinCaptionColour, kSkinCaptionColour);
    }
}

void CSulvantixDlg::ReportChoices() {
    // Notifications carry the user's own choices; a selection set by another
    // program's message comes without one, so the controls are read again
    // before the engine acts on them.
    m_pEngine->OnListSelection(m_pEngineWindow->ListSelection());
    m_pEngine->OnPeriodChosen(m_pEngineWindow->PeriodText());
}

bool CSulvantixDlg::OnCommand(UINT id, UINT code, HWND control) {
    if (!m_pEngine) {
        return CBitmapDialog::OnCommand(id, code, control);
    }
    if ((id == IDC_PROXY_LIST && code == LBN_SELCHANGE) ||
        (id == IDC_TIMER_COMBO && code == CBN_SELCHANGE)) {
        ReportChoices();
        return CBitmapDialog::OnCommand(id, code, control);
    }
    if (code != BN_CLICKED) {
        return CBitmapDialog::OnCommand(id, code, control);
    }
    ReportChoices();
    switch (id) {
    case IDM_TRAY_OPEN:
        OpenWindow();
        return true;
    case IDM_TRAY_BALLOONS:
        m_trayModel.SetBalloonsOn(!m_trayModel.BalloonsOn());
        return true;
    case IDCANCEL:
    case IDC_CLOSE:
        OnCancel();
        return true;
    case IDC_ADD:
        m_pEngine->AddUserProxy(m_pEngineWindow->TypedProxy());
        return true;
    case IDC_REMOVE:
        m_pEngine->RemoveSelectedProxy();
        return true;
    case IDC_VETTOR:
        m_pEngine->OnVettor(m_pEngineWindow->TypedProxy());
        return true;
    case IDC_START_STOP:
        m_pEngine->OnStartStop();
        return true;
    case IDC_HELP_BUTTON:
        OpenHelpFile();
        return true;
    case IDC_UPDATE:
        m_pEngine->OnUpdate();
        return true;
    case IDC_MINIMISE:
        ShowWindow(SW_MINIMIZE);
        return true;
    default:
        return CBitmapDialog::OnCommand(id, code, control);
    }
}

void CSulvantixDlg::OnCancel() {
    if (m_pEngine && !m_pEngine->OnCancel()) {
        return; // Escape does not close the window
    }
    CBitmapDialog::OnCancel();
    PostQuit(0);
}

bool CSulvantixDlg::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_CHECKER_DONE:
        // Sent by the checker, which waits for the answer: the list is
        // reloaded first, so the answer means the window shows the new list.
        // Posted by the checker-done watch for a checker in another session.
        if (m_pEngine) {
            m_pEngine->OnCheckerDone();
        }
        // The run may have judged the proxy in force anew.
        if (!m_trayModel.InForce().empty()) {
            ReadClassInForce();
            RefreshTray();
        }
        result = 0;
        return true;
    case WM_ENDSESSION:
        if (wParam != FALSE && m_pEngine) {
            m_pEngine->OnEndSession();
        }
        result = 0;
        return true;
    case WM_TRAY_NOTIFY:
        if (wParam == CTrayIcon::kIconId) {
            OnTrayNotify(lParam);
        }
        result = 0;
        return true;
    default:
        if (m_tray.OnTaskbarCreated(msg)) {
            result = 0;
            return true;
        }
        return CBitmapDialog::OnMessage(msg, wParam, lParam, result);
    }
}

void CSulvantixDlg::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(GetSafeHwnd(), &ps);
    if (dc == nullptr) {
        return;
    }
    if (m_picture.IsReady()) {
        m_picture.Paint(dc);
    } else {
        // Without a picture the window keeps the dialog's face rather than
        // whatever was on the screen.
        ::FillRect(dc, &ps.rcPaint, ::GetSysColorBrush(COLOR_BTNFACE));
    }
    if (IsIconic()) {
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        const RECT client = GetClientRect();
        const int cx = ::GetSystemMetrics(SM_CXICON);
        const int cy = ::GetSystemMetrics(SM_CYICON);
        ::DrawIcon(dc, (client.right - client.left - cx + 1) / 2,
                   (client.bottom - client.top - cy + 1) / 2, m_hIcon);
    }
    ::EndPaint(GetSafeHwnd(), &ps);
}

void CSulvantixDlg::OnTimer(UINT_PTR id) {
    if (id == IDT_TRAY_TIP) {
        RefreshTray();
        return;
    }
    if (m_pEngine) {
        ReportChoices();
        m_pEngine->OnTimer(static_cast<unsigned>(id));
    }
    CBitmapDialog::OnTimer(id);
}

void CSulvantixDlg::OnClose() {
    ShowWindow(SW_SHOWDEFAULT);
    if (m_pEngine) {
        m_pEngine->OnClose();
    }
    CBitmapDialog::OnClose();
}

BOOL CSulvantixDlg::OnHelpInfo(HELPINFO*) {
    OpenHelpFile();
    return TRUE;
}

LRESULT CSulvantixDlg::OnNcHitTest(POINT) {
    return HTCAPTION;
}

void CSulvantixDlg::OnSysCommand(UINT id, LPARAM lParam) {
    if (id == IDM_HELP_ITEM) {
        OpenHelpFile();
    }
    CBitmapDialog::OnSysCommand(id, lParam);
}

void CSulvantixDlg::OnDestroy() {
    // The icon goes with the window; Explorer would keep a dead one until
    // the mouse passed over it.
    KillTimer(IDT_TRAY_TIP);
    m_tray.Remove();
    CBitmapDialog::OnDestroy();
}

BOOL CSulvantixDlg::OnEraseBkgnd(HDC) {
    return FALSE; // WM_PAINT covers the whole window
}

BOOL CSulvantixDlg::OnQueryEndSession() {
    const BOOL answer = CBitmapDialog::OnQueryEndSession();
    if (!answer) {
        PostQuit(18);
    }
    return answer;
}

void CSulvantixDlg::PostQuit(int exitCode) {
    if (m_pEngineWindow) {
        m_pEngineWindow->Quit(exitCode, false);
    } else {
        ::PostQuitMessage(exitCode);
    }
}

void CSulvantixDlg::SetStartStopSkin(bool stopLook) {
    ApplySkin(m_btnStartStop, stopLook ? kSkinStop : kSkinStart);
    m_btnStartStop.Invalidate();
}

void CSulvantixDlg::OpenHelpFile() {
    std::string path = GetModuleFilePath();
    const std::string::size_type slash = path.find_last_of('\\');
    if (slash == std::string::npos) {
        return;
    }
    path.erase(slash);
    path += "\\Sulvantix.chm";
    ::ShellExecuteA(nullptr, "Open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void CSulvantixDlg::ShowSessionInTray(bool on) {
    m_trayModel.OnSession(on);
    RefreshTray();
}

void CSulvantixDlg::ShowProxyInForce(const std::string& entry, unsigned periodMs) {
    const bool balloon = m_trayModel.OnProxyInForce(entry, periodMs, ::GetTickCount64());
    if (!entry.empty()) {
        ReadClassInForce();
    }
    if (balloon) {
        m_tray.ShowBalloon("Sulvantix", m_trayModel.BalloonText());
    }
    RefreshTray();
}

void CSulvantixDlg::ReadClassInForce() {
    // A small file read once a switch or a checker's run: fine on this thread.
    m_trayModel.SetProxyClass(ReadProxyClass(
        m_setup.m_settings.m_strProgramDirectory + kProxyClassFile, m_trayModel.InForce()));
}

void CSulvantixDlg::RefreshTray() {
    const bool session = m_trayModel.SessionOn();
    m_tray.Show(session, m_trayModel.TipText(::GetTickCount64()));
    // The countdown ticks only while there is a session to count down.
    if (session) {
        SetTimer(IDT_TRAY_TIP, kTrayTipRefreshMs);
    } else {
        KillTimer(IDT_TRAY_TIP);
    }
}

std::vector<CTrayMenuItem> CSulvantixDlg::TrayMenu() const {
    // While one of the program's boxes is up the window is disabled, and
    // what the buttons do waits for the box, as a click on them would.
    const bool free = IsWindowEnabled();
    std::vector<CTrayMenuItem> items(5);
    items[0].m_nId = IDC_START_STOP;
    items[0].m_strText = m_trayModel.SessionOn() ? "&Stop" : "&Start";
    items[0].m_bEnabled = free && m_btnStartStop.IsWindowEnabled();
    items[1].m_nId = IDM_TRAY_OPEN;
    items[1].m_strText = "&Open";
    items[1].m_bDefault = true;
    items[2].m_nId = IDM_TRAY_BALLOONS;
    items[2].m_strText = "&Balloon at every switch";
    items[2].m_bChecked = m_trayModel.BalloonsOn();
    items[4].m_nId = IDC_CLOSE;
    items[4].m_strText = "E&xit";
    items[4].m_bEnabled = free;
    return items;
}

void CSulvantixDlg::OnTrayNotify(LPARAM mouseMessage) {
    switch (static_cast<UINT>(mouseMessage)) {
    case WM_LBUTTONDBLCLK:
    case NIN_BALLOONUSERCLICK:
        OpenWindow();
        break;
    case WM_RBUTTONUP:
        if (const UINT command = CTrayIcon::TrackMenu(GetSafeHwnd(), TrayMenu())) {
            // As the button of the same id would have sent it.
            const HWND button = GetDlgItem(static_cast<int>(command));
            SendMessage(WM_COMMAND, MAKEWPARAM(command, BN_CLICKED),
                        reinterpret_cast<LPARAM>(button));
        }
        break;
    default:
        break;
    }
}

void CSulvantixDlg::OpenWindow() {
    ShowWindow(IsIconic() ? SW_RESTORE : SW_SHOW);
    SetForegroundWindow();
}
