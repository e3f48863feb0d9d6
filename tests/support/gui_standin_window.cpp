#include "tests/support/gui_standin_window.h"

#include "framework/dialog_template.h"
#include "shared/checker_done_message.h"

CGuiStandInWindow::CGuiStandInWindow() {
    // No WS_VISIBLE: FindWindowA finds hidden windows too.
    CDialogTemplate layout(WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 100, 40,
                           kSulvantixWindowCaption);
    const std::vector<std::uint8_t> bytes = layout.Build();
    m_hWnd = ::CreateDialogIndirectParamA(::GetModuleHandleA(nullptr),
                                          reinterpret_cast<LPCDLGTEMPLATEA>(bytes.data()), nullptr,
                                          DialogProc, reinterpret_cast<LPARAM>(this));
}

CGuiStandInWindow::~CGuiStandInWindow() {
    if (m_hWnd != nullptr) {
        ::DestroyWindow(m_hWnd);
    }
}

INT_PTR CALLBACK CGuiStandInWindow::DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_INITDIALOG) {
        ::SetWindowLongPtrA(hwnd, DWLP_USER, lParam);
        return TRUE;
    }
    auto* self = reinterpret_cast<CGuiStandInWindow*>(::GetWindowLongPtrA(hwnd, DWLP_USER));
    if (msg == WM_CHECKER_DONE && self != nullptr) {
        ++self->m_nDone;
        self->m_bParamsZero = self->m_bParamsZero && wParam == 0 && lParam == 0;
        self->m_nLastDoneTick = ::GetTickCount();
        ::SetWindowLongPtrA(hwnd, DWLP_MSGRESULT, 0);
        return TRUE;
    }
    return FALSE;
}
