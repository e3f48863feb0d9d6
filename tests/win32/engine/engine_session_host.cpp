// A session that is never ended: the main window over the list in FOLDER
// starts anonymizing through the list in FOLDER, writes FOLDER\applied.txt
// once the first entry is applied, and then waits to be killed.
//   engine_session_host FOLDER RECORD_FOLDER
#include <windows.h>

#include <cstdio>

#include "resources/sulvantix/sulvantix_resource.h"
#include "tests/win32/engine/engine_test_support.h"
#include "tools/standins/standin_ports.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_INTERNET_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    CRecordingOptions options;
    CMainWindowSetup setup;
    setup.m_settings.m_strSystemDirectory = argv[1];
    setup.m_settings.m_strRecordFolder = argv[2];
    // No update server: the start-up update fails and leaves the list alone.
    setup.m_settings.m_strUpdateBaseUrl =
        "http://127.0.0.1:" + std::to_string(standins::kClosedPort);
    setup.m_pInternetOptions = &options;
    setup.m_makeEngineWindow = [](CSulvantixDlg& dialog) {
        return std::make_shared<CRecordingWindow>(dialog);
    };
    CSulvantixDlg dialog(nullptr, setup);
    if (!dialog.Create() || dialog.Engine() == nullptr ||
        ::SendMessageA(::GetDlgItem(dialog.GetSafeHwnd(), IDC_PROXY_LIST), LB_GETCOUNT, 0, 0) <=
            0) {
        return 4;
    }
    ::SendMessageA(::GetDlgItem(dialog.GetSafeHwnd(), IDC_TIMER_COMBO), CB_SETCURSEL, 2, 0);
    dialog.Engine()->OnStartStop();
    if (!PumpUntil([&] { return !options.AppliedServers().empty(); }, 20000)) {
        return 5;
    }
    const std::string ready = std::string(argv[1]) + "\\applied.txt";
    if (std::FILE* file = std::fopen(ready.c_str(), "wb")) {
        std::fputs(options.AppliedServers().front().c_str(), file);
        std::fclose(file);
    }
    PumpFor(INFINITE);
    return 0;
}
