#include "gui/app/single_instance.h"

#include <new>

#include "framework/app.h"
#include "framework/wnd.h"
#include "gui/app/single_instance_impl.h"

CSingleInstance::CSingleInstance() : m_pImpl(new (std::nothrow) CSingleInstanceImpl(this)) {}

CSingleInstance::~CSingleInstance() = default;

BOOL CSingleInstance::Create(const char* identifier) {
    return m_pImpl ? m_pImpl->Create(identifier) : FALSE;
}

BOOL CSingleInstance::WakeUp(const char* /*commandLine*/) {
    // Runs on the wait thread: the main-window pointer and its handle are the
    // atomics the framework keeps for such readers.
    CWinApp* app = AfxGetApp();
    CWnd* mainWnd = app != nullptr ? app->m_pMainWnd.load() : nullptr;
    HWND hwnd = mainWnd != nullptr ? mainWnd->GetSafeHwnd() : nullptr;
    return hwnd != nullptr ? ::SetForegroundWindow(hwnd) : 0;
}

void CSingleInstance::Close() {
    m_pImpl.reset();
}
