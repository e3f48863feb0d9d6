#include "framework/dialog.h"

#include "framework/app.h"
#include "framework/dialog_init_data.h"
#include "framework/trace.h"

const CRuntimeClass CDialog::classCDialog = {"CDialog", &CWnd::classCWnd};
const CRuntimeClass* CDialog::GetRuntimeClass() const {
    return &classCDialog;
}

CDialog::CDialog(UINT templateId, CWnd* parent) : m_pParentWnd(parent), m_nTemplateId(templateId) {}

CDialog::CDialog(std::vector<std::uint8_t> memoryTemplate, CWnd* parent)
    : m_pParentWnd(parent), m_memoryTemplate(std::move(memoryTemplate)) {}

CDialog::~CDialog() {
    // A modeless dialog still open belongs to this object. Detach first so its
    // destruction messages do not reach the half-destroyed object.
    HWND hwnd = GetSafeHwnd();
    if (hwnd != nullptr && IsAttached()) {
        UnsubclassWindow();
        ::DestroyWindow(hwnd);
    }
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    // Everything but WM_INITDIALOG has already been offered to the object by its
    // subclass; answering FALSE here lets the dialog manager do the rest.
    if (msg != WM_INITDIALOG) {
        return FALSE;
    }
    try {
        CDialog* self = reinterpret_cast<CDialog*>(lp);
        if (self == nullptr || !self->Attach(hwnd)) {
            return TRUE;
        }
        // Here rather than in OnMessage, so a derived dialog cannot skip it.
        self->ApplyInitData();
        return self->Dispatch(CurrentMessage{hwnd, msg, wp, lp, DefaultKind::kInitDialog});
    } catch (...) {
        TraceText("Exception caught in CDialog::DialogProc");
    }
    return TRUE;
}

HWND CDialog::CreateFromTemplate(HWND owner) {
    m_bEndModal = false;
    m_nModalResult = -1;
    LPARAM self = reinterpret_cast<LPARAM>(this);
    if (!m_memoryTemplate.empty()) {
        return ::CreateDialogIndirectParamA(
            AfxGetInstanceHandle(), reinterpret_cast<LPCDLGTEMPLATEA>(m_memoryTemplate.data()),
            owner, DialogProc, self);
    }
    return ::CreateDialogParamA(AfxGetResourceHandle(), MAKEINTRESOURCEA(m_nTemplateId), owner,
                                DialogProc, self);
}

void CDialog::ApplyInitData() const {
    if (!m_memoryTemplate.empty()) {
        return;
    }
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(m_nTemplateId),
                                 MAKEINTRESOURCEA(kDialogInitResourceType));
    if (info == nullptr) {
        return; // most dialogs have none
    }
    HGLOBAL loaded = ::LoadResource(module, info);
    const void* bytes = loaded != nullptr ? ::LockResource(loaded) : nullptr;
    if (bytes == nullptr) {
        return;
    }
    std::vector<DialogInitString> strings;
    if (!ParseDialogInitData(static_cast<const std::uint8_t*>(bytes),
                             ::SizeofResource(module, info), strings)) {
        TraceText("Dialog initialisation data refused: malformed");
        return;
    }
    HWND hwnd = GetSafeHwnd();
    for (const DialogInitString& s : strings) {
        UINT msg = s.target == DialogInitString::Target::kComboBox ? CB_ADDSTRING : LB_ADDSTRING;
        ::SendDlgItemMessageA(hwnd, s.controlId, msg, 0, reinterpret_cast<LPARAM>(s.text.c_str()));
    }
}

HWND CDialog::ChooseOwner() const {
    HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : nullptr;
    if (owner == nullptr) {
        owner = AfxGetMainWndHandle();
    }
    if (owner == nullptr || !::IsWindow(owner)) {
        return nullptr;
    }
    // Only a top-level window can own a dialog.
    return ::GetAncestor(owner, GA_ROOT);
}

bool CDialog::Create(CWnd* parent) {
    if (GetSafeHwnd() != nullptr) {
        return false;
    }
    if (parent != nullptr) {
        m_pParentWnd = parent;
    }
    HWND owner = m_pParentWnd != nullptr ? m_pParentWnd->GetSafeHwnd() : nullptr;
    HWND hwnd = CreateFromTemplate(owner);
    if (hwnd == nullptr) {
        return false;
    }
    if (!IsAttached()) {
        ::DestroyWindow(hwnd);
        return false;
    }
    return true;
}

INT_PTR CDialog::DoModal() {
    if (GetSafeHwnd() != nullptr) {
        return -1;
    }
    HWND owner = ChooseOwner();
    m_bModalRunning = true;
    HWND hwnd = CreateFromTemplate(owner);
    if (hwnd == nullptr || !IsAttached()) {
        m_bModalRunning = false;
        if (hwnd != nullptr) {
            ::DestroyWindow(hwnd);
        }
        return -1;
    }
    bool disabledOwner = false;
    if (!m_bEndModal) {
        if (owner != nullptr && ::IsWindowEnabled(owner) &&
            ::GetWindowThreadProcessId(owner, nullptr) == ::GetCurrentThreadId()) {
            ::EnableWindow(owner, FALSE);
            disabledOwner = true;
        }
        if (!::IsWindowVisible(hwnd)) {
            ::ShowWindow(hwnd, SW_SHOWNORMAL);
        }
        RunModalLoop();
    }
    // The owner is enabled again before the dialog is hidden, so activation
    // returns to it rather than to some other program.
    if (disabledOwner) {
        ::EnableWindow(owner, TRUE);
    }
    if (::IsWindow(hwnd)) {
        ::SetWindowPos(hwnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER);
        ::DestroyWindow(hwnd);
    }
    m_bModalRunning = false;
    return m_nModalResult;
}

void CDialog::RunModalLoop() {
    MSG msg;
    while (!m_bEndModal) {
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) {
            m_nModalResult = -1;
            break;
        }
        if (got == 0) {
            // A quit request ends the dialog; the outer loop must see it too.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_nModalResult = IDCANCEL;
            break;
        }
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

void CDialog::EndDialog(INT_PTR result) {
    m_nModalResult = result;
    m_bEndModal = true;
    HWND hwnd = GetSafeHwnd();
    if (hwnd == nullptr) {
        return;
    }
    if (m_bModalRunning) {
        // Wakes a loop that waits in GetMessage when the call came from elsewhere.
        ::PostMessageA(hwnd, WM_NULL, 0, 0);
    } else {
        ::ShowWindow(hwnd, SW_HIDE);
    }
}

void CDialog::PostNcDestroy() {
    // Destroyed from outside while running modally: the loop must end.
    m_bEndModal = true;
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(TRUE)) {
        EndDialog(IDOK);
    }
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::DoDataExchange(CDataExchange*) {}

BOOL CDialog::UpdateData(BOOL saveAndValidate) {
    if (GetSafeHwnd() == nullptr) {
        return FALSE;
    }
    CDataExchange dx(this, saveAndValidate != FALSE);
    DoDataExchange(&dx);
    return TRUE;
}

bool CDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
    if (msg == WM_INITDIALOG) {
        result = OnInitDialog();
        return true;
    }
    return CWnd::OnMessage(msg, wp, lp, result);
}

bool CDialog::OnCommand(UINT id, UINT code, HWND control) {
    // Buttons report BN_CLICKED; the dialog manager's Enter and Escape come
    // with the same code, and accelerators with 1.
    if (control != nullptr && code != BN_CLICKED) {
        return false;
    }
    switch (id) {
    case IDOK:
        OnOK();
        return true;
    case IDCANCEL:
        OnCancel();
        return true;
    default:
        return false;
    }
}

bool CDialog::PreTranslateMessage(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) {
        return false;
    }
    HWND hwnd = GetSafeHwnd();
    return hwnd != nullptr && ::IsDialogMessageA(hwnd, msg) != FALSE;
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (dx == nullptr || dx->m_pDlgWnd == nullptr || control.GetSafeHwnd() != nullptr) {
        return;
    }
    control.SubclassDlgItem(static_cast<UINT>(id), dx->m_pDlgWnd);
}

void DDX_Handle(CDataExchange* dx, int id, CWnd& control) {
    if (dx == nullptr || dx->m_pDlgWnd == nullptr || control.GetSafeHwnd() != nullptr) {
        return;
    }
    control.m_hWnd = dx->m_pDlgWnd->GetDlgItem(id);
}

void DDX_Text(CDataExchange* dx, int id, std::string& value) {
    if (dx == nullptr || dx->m_pDlgWnd == nullptr) {
        return;
    }
    if (dx->m_bSaveAndValidate) {
        value = dx->m_pDlgWnd->GetDlgItemText(id);
    } else {
        dx->m_pDlgWnd->SetDlgItemText(id, value.c_str());
    }
}

void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
    if (dx == nullptr || dx->m_pDlgWnd == nullptr) {
        return;
    }
    HWND combo = dx->m_pDlgWnd->GetDlgItem(id);
    if (dx->m_bSaveAndValidate) {
        index = static_cast<int>(::SendMessageA(combo, CB_GETCURSEL, 0, 0));
    } else {
        ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
}

void DDX_Check(CDataExchange* dx, int id, int& state) {
    if (dx == nullptr || dx->m_pDlgWnd == nullptr) {
        return;
    }
    HWND button = dx->m_pDlgWnd->GetDlgItem(id);
    if (dx->m_bSaveAndValidate) {
        state = static_cast<int>(::SendMessageA(button, BM_GETCHECK, 0, 0));
    } else {
        ::SendMessageA(button, BM_SETCHECK, static_cast<WPARAM>(state), 0);
    }
}
