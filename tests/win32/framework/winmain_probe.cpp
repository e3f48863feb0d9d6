// A program on our WinMain. The first command-line word picks what its
// application object does; the exit code tells the test what happened.
#include <windows.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "framework/app.h"
#include "framework/dialog.h"
#include "framework/dialog_template.h"

namespace {

std::string Mode() {
    std::string line = ::GetCommandLineA();
    std::string::size_type space = line.rfind(' ');
    return space == std::string::npos ? std::string() : line.substr(space + 1);
}

class ClosingDialog : public CDialog {
public:
    ClosingDialog()
        : CDialog(CDialogTemplate(WS_POPUP | WS_VISIBLE | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 80, 40,
                                  "Probe")
                      .Build()) {}
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        sawItselfAsMain = AfxGetMainWnd() == this;
        SetTimer(1, 10);
        return TRUE;
    }
    void OnTimer(UINT_PTR id) override {
        KillTimer(id);
        PostMessage(WM_CLOSE);
    }
    bool sawItselfAsMain = false;
};

class CProbeApp : public CWinApp {
public:
    BOOL InitInstance() override {
        m_mode = Mode();
        if (m_mode == "init-false") {
            m_exitCode = 3;
            return FALSE;
        }
        if (m_mode == "loop") {
            ::PostQuitMessage(5);
            return TRUE;
        }
        if (m_mode == "modal") {
            ClosingDialog dlg;
            m_pMainWnd = &dlg;
            INT_PTR result = dlg.DoModal();
            m_pMainWnd = nullptr;
            m_exitCode = dlg.sawItselfAsMain ? 40 + static_cast<int>(result) : 1;
            return FALSE;
        }
        if (m_mode == "name") {
            bool ok = std::strcmp(AfxGetAppName(), "framework_winmain_probe") == 0 &&
                      AfxGetInstanceHandle() == ::GetModuleHandleA(nullptr) && AfxGetApp() == this;
            m_exitCode = ok ? 6 : 1;
            return FALSE;
        }
        if (m_mode == "throw") {
            throw std::runtime_error("start-up failed");
        }
        m_exitCode = 99;
        return FALSE;
    }
    int ExitInstance() override {
        if (m_mode == "loop") {
            return CWinApp::ExitInstance();
        }
        return m_exitCode;
    }

private:
    std::string m_mode;
    int m_exitCode = 0;
};

CProbeApp theApp;

} // namespace
