#include "checker/vettor_app.h"

#include <commctrl.h>
#include <shlobj.h>

#include "checker/checker_admin_rights.h"
#include "checker/checker_start_rules.h"
#include "checker/vettor_dlg.h"
#include "framework/module_paths.h"

namespace {
// After the launch request, so the service reads it before this instance goes.
constexpr DWORD kRelaunchExitPauseMs = 1000;

bool IsVistaOrLater() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    const bool ok = ::GetVersionExA(&version) != FALSE;
    return IsVistaOrLaterVersion(ok, version.dwPlatformId, version.dwMajorVersion);
}
} // namespace

CVettorApp theApp;

// The link closes itself with the application object.
CVettorApp::~CVettorApp() {
    if (m_hRightsLibrary != nullptr) {
        ::FreeLibrary(m_hRightsLibrary);
    }
}

BOOL CVettorApp::InitInstance() {
    ::InitCommonControls();
    CWinApp::InitInstance();

    m_link.Open(CSharedLink::Role::Checker);

    m_hRightsLibrary = ::LoadLibraryA("Advapi32.dll");
    m_bIsAdministrator = m_hRightsLibrary != nullptr ? IsUserAdministrator(m_hRightsLibrary)
                                                     : ::IsUserAnAdmin() != FALSE;

    if (ChooseVettorMode(m_bIsAdministrator, IsVistaOrLater()) == VettorMode::Relaunch) {
        RunRelaunchMode();
    } else {
        RunCheckerMode();
    }
    return FALSE;
}

void CVettorApp::RunRelaunchMode() {
    if (const unsigned waitMs = RelaunchServiceWaitMs(m_link.IsServiceRunning())) {
        ::Sleep(waitMs);
    }
    // Own path at offset 0, empty arguments at 260, 1 s, then the launch
    // event; skipped without a shared view.
    m_link.WriteLaunchRequest();
    ::Sleep(kRelaunchExitPauseMs);
}

void CVettorApp::RunCheckerMode() {
    CVettorDlg dialog(m_link);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
}
