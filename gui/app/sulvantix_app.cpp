#include "gui/app/sulvantix_app.h"

#include <winsock2.h>
#include <commctrl.h>

#include "gui/app/registry_rights_warning.h"
#include "gui/app/sulvantix_dlg.h"
#include "gui/controls/cpu_info.h"
#include "resources/sulvantix/sulvantix_resource.h"

namespace {

const char kInstanceId[] = "DADB3684-7492-4b7b-9974-404B3F7A2972";
const char kProbeKey[] = "software\\SXTest";
constexpr REGSAM kReadWrite = 0x2001F; // KEY_READ | KEY_WRITE

} // namespace

CSulvantixApp theApp;

CSulvantixApp::~CSulvantixApp() {
    m_apFonts.DeleteAll();
    if (m_bSocketsStarted) {
        ::WSACleanup();
    }
}

BOOL CSulvantixApp::CheckRegistryRights() {
    HKEY key = nullptr;
    DWORD disposition = 0;
    const LONG created = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kProbeKey, 0, nullptr, 0, kReadWrite,
                                           nullptr, &key, &disposition);
    if (key != nullptr) {
        ::RegCloseKey(key);
    }
    // Only a refusal counts; any other failure is not about rights.
    if (created == ERROR_ACCESS_DENIED) {
        return FALSE;
    }
    HKEY software = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software", 0, kReadWrite, &software) ==
        ERROR_SUCCESS) {
        HKEY probe = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kProbeKey, 0, kReadWrite, &probe) ==
            ERROR_SUCCESS) {
            ::RegCloseKey(probe);
            ::RegDeleteKeyA(software, "SXTest");
        }
        ::RegCloseKey(software);
    }
    return TRUE;
}

BOOL CSulvantixApp::InitInstance() {
    ::InitCommonControls();
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_INTERNET_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls); // the IP address control's class
    CWinApp::InitInstance();

    if (!CheckRegistryRights()) {
        ShowRegistryRightsWarning();
        return FALSE;
    }
    if (!Create(kInstanceId)) {
        return FALSE; // the first instance has been brought forward
    }
    WSADATA data = {};
    if (::WSAStartup(MAKEWORD(1, 1), &data) != 0) {
        AfxMessageBox(IDS_SOCKETS_INIT_FAILED);
        return FALSE;
    }
    m_bSocketsStarted = true;
    if (data.wVersion != MAKEWORD(1, 1)) {
        AfxMessageBox(IDS_SOCKETS_INIT_FAILED);
        return FALSE;
    }

    m_nDPIValue = CCPUInfo().GetDpiValue();
    g_nAppDpiValue = m_nDPIValue;
    m_apFonts.Create();

    CSulvantixDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}
