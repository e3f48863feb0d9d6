// A session that is never ended: the engine over a dialog of template 102
// starts anonymizing through the list in FOLDER, writes FOLDER\applied.txt
// once the first entry is applied, and then waits to be killed.
//   engine_session_host FOLDER RECORD_FOLDER
#include <windows.h>

#include <cstdio>

#include "engine_test_support.h"
#include "resources/sulvantix/sulvantix_resource.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        return 2;
    }
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_INTERNET_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    CEngineTestDialog dialog;
    if (!dialog.Create()) {
        return 3;
    }
    CRecordingOptions options;
    CEngineSettings settings;
    settings.m_strSystemDirectory = argv[1];
    settings.m_strRecordFolder = argv[2];
    auto window = std::make_shared<CRecordingWindow>(dialog);
    dialog.m_pEngine = CProxyEngine::Create(
        window, options, [] {}, settings);
    if (!dialog.m_pEngine || dialog.m_pEngine->LoadProxyLists() != 0) {
        return 4;
    }
    ::SendMessageA(::GetDlgItem(dialog.GetSafeHwnd(), IDC_TIMER_COMBO), CB_SETCURSEL, 2, 0);
    dialog.m_pEngine->OnStartStop();
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
