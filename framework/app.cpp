#include "framework/app.h"

#include <vector>

#include "framework/module_paths.h"
#include "framework/trace.h"
#include "framework/wnd.h"

namespace {

std::atomic<CWinApp*> g_pApp{nullptr};

std::string ModuleBaseName() {
    std::string name = GetModuleFilePath();
    std::string::size_type slash = name.find_last_of("\\/");
    if (slash != std::string::npos) {
        name.erase(0, slash + 1);
    }
    std::string::size_type dot = name.find_last_of('.');
    if (dot != std::string::npos) {
        name.erase(dot);
    }
    return name;
}

bool PumpOne() {
    MSG msg;
    BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
    if (got == -1) {
        return false;
    }
    if (got == 0) {
        ::PostQuitMessage(static_cast<int>(msg.wParam));
        return false;
    }
    if (!AfxPreTranslateMessage(&msg)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return true;
}

} // namespace

const CRuntimeClass CWinApp::classCWinApp = {"CWinApp", &CCmdTarget::classCCmdTarget};
const CRuntimeClass* CWinApp::GetRuntimeClass() const {
    return &classCWinApp;
}

CWinApp::CWinApp() : m_hInstance(::GetModuleHandleA(nullptr)) {
    CWinApp* expected = nullptr;
    g_pApp.compare_exchange_strong(expected, this);
}

CWinApp::~CWinApp() {
    CWinApp* expected = this;
    g_pApp.compare_exchange_strong(expected, nullptr);
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return m_nQuitCode;
}

int CWinApp::Run() {
    MSG msg;
    for (;;) {
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            m_nQuitCode = static_cast<int>(msg.wParam);
            break;
        }
        if (got == -1) {
            m_nQuitCode = -1;
            break;
        }
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return ExitInstance();
}

bool CWinApp::PumpMessage() {
    return PumpOne();
}

CWinApp* AfxGetApp() {
    return g_pApp.load();
}

const char* AfxGetAppName() {
    static const std::string name = ModuleBaseName();
    return name.c_str();
}

HINSTANCE AfxGetInstanceHandle() {
    CWinApp* app = AfxGetApp();
    return app != nullptr ? app->m_hInstance : ::GetModuleHandleA(nullptr);
}

HINSTANCE AfxGetResourceHandle() {
    return AfxGetInstanceHandle();
}

CWnd* AfxGetMainWnd() {
    CWinApp* app = AfxGetApp();
    return app != nullptr ? app->m_pMainWnd.load() : nullptr;
}

HWND AfxGetMainWndHandle() {
    CWnd* wnd = AfxGetMainWnd();
    return wnd != nullptr ? wnd->GetSafeHwnd() : nullptr;
}

int AfxMessageBox(const char* text, UINT type) {
    HWND owner = AfxGetMainWndHandle();
    if (owner != nullptr && !::IsWindow(owner)) {
        owner = nullptr;
    }
    return ::MessageBoxA(owner, text != nullptr ? text : "", AfxGetAppName(), type);
}

int AfxMessageBox(UINT promptId, UINT type) {
    std::vector<char> text(1024, '\0');
    ::LoadStringA(AfxGetResourceHandle(), promptId, text.data(), static_cast<int>(text.size()));
    return AfxMessageBox(text.data(), type);
}

bool AfxPumpMessage() {
    CWinApp* app = AfxGetApp();
    return app != nullptr ? app->PumpMessage() : PumpOne();
}

int AfxWinMain(HINSTANCE instance, int cmdShow) {
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        TraceText("No application object");
        return -1;
    }
    try {
        app->m_hInstance = instance;
        app->m_nCmdShow = cmdShow;
        if (!app->InitInstance()) {
            return app->ExitInstance();
        }
        return app->Run();
    } catch (...) {
        TraceText("Exception caught in AfxWinMain");
    }
    return -1;
}
