#include "checker/vettor_dlg.h"

#include "checker/checker_about_dlg.h"
#include "framework/app.h"
#include "framework/gdi.h"
#include "framework/module_paths.h"
#include "framework/trace.h"
#include "resources/vettor/vettor_resource.h"

namespace {
// No move, no size, no Z-order change, frame changed.
constexpr UINT kApplyFrameFlags = SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED;
} // namespace

CVettorDlg::CVettorDlg(const CSharedLink& link, CWnd* parent)
    : CDialog(IDD_VETTOR_DIALOG, parent), m_link(link),
      m_hIcon(::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME))),
      m_pRunState(std::make_shared<CCheckerRunState>(GetProgramDirectory())) {}

BOOL CVettorDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    // A tool window: no taskbar button.
    ModifyStyleEx(WS_EX_APPWINDOW, WS_EX_TOOLWINDOW);
    SetWindowPos(nullptr, 0, 0, 0, 0, kApplyFrameFlags);

    if (m_schedule.StartsRun(CRunSchedule::Cause::kDialogStart)) {
        StartRun();
    }
    SetTimer(IDT_RUN, kRunPeriodMs);

    if (HMENU systemMenu = GetSystemMenu(false)) {
        char aboutText[256] = {};
        if (::LoadStringA(AfxGetResourceHandle(), IDS_ABOUTBOX, aboutText, sizeof aboutText) > 0) {
            ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutText);
        }
    }

    SetIcon(m_hIcon, true);
    SetIcon(m_hIcon, false);

    TraceText("b4 move window");
    // Open, but occupying no screen space.
    MoveWindow(0, 0, 0, 0, true);
    return TRUE;
}

void CVettorDlg::OnOK() {
    if (m_schedule.StartsRun(CRunSchedule::Cause::kOkCommand)) {
        StartRun();
    }
}

void CVettorDlg::OnTimer(UINT_PTR id) {
    if (id == IDT_RUN) {
        // A tick that waited out a long launch comes as soon as it returns.
        if (m_schedule.StartsRun(CRunSchedule::Cause::kRunTimer)) {
            StartRun();
        }
    } else if (id == IDT_RUN_COMPLETE) {
        CheckRunComplete();
    }
    CDialog::OnTimer(id);
}

void CVettorDlg::OnSysCommand(UINT id, LPARAM lParam) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
        return;
    }
    CDialog::OnSysCommand(id, lParam);
}

void CVettorDlg::OnPaint() {
    if (!IsIconic()) {
        CDialog::OnPaint();
        return;
    }
    ScopedPaint dc(GetSafeHwnd());
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()), 0);
    const RECT client = GetClientRect();
    const int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
}

HCURSOR CVettorDlg::OnQueryDragIcon() {
    return static_cast<HCURSOR>(m_hIcon);
}
