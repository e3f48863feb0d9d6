#include "framework/controls.h"

#include <vector>

const CRuntimeClass CButton::classCButton = {"CButton", &CWnd::classCWnd};
const CRuntimeClass* CButton::GetRuntimeClass() const {
    return &classCButton;
}
const CRuntimeClass CStatic::classCStatic = {"CStatic", &CWnd::classCWnd};
const CRuntimeClass* CStatic::GetRuntimeClass() const {
    return &classCStatic;
}
const CRuntimeClass CEdit::classCEdit = {"CEdit", &CWnd::classCWnd};
const CRuntimeClass* CEdit::GetRuntimeClass() const {
    return &classCEdit;
}
const CRuntimeClass CListBox::classCListBox = {"CListBox", &CWnd::classCWnd};
const CRuntimeClass* CListBox::GetRuntimeClass() const {
    return &classCListBox;
}
const CRuntimeClass CComboBox::classCComboBox = {"CComboBox", &CWnd::classCWnd};
const CRuntimeClass* CComboBox::GetRuntimeClass() const {
    return &classCComboBox;
}
const CRuntimeClass CIPAddressCtrl::classCIPAddressCtrl = {"CIPAddressCtrl", &CWnd::classCWnd};
const CRuntimeClass* CIPAddressCtrl::GetRuntimeClass() const {
    return &classCIPAddressCtrl;
}
const CRuntimeClass CToolTipCtrl::classCToolTipCtrl = {"CToolTipCtrl", &CWnd::classCWnd};
const CRuntimeClass* CToolTipCtrl::GetRuntimeClass() const {
    return &classCToolTipCtrl;
}

void CButton::DrawItem(DRAWITEMSTRUCT*) {}

bool CButton::OnChildDrawItem(DRAWITEMSTRUCT* item) {
    if (item == nullptr) {
        return false;
    }
    DrawItem(item);
    return true;
}

void CComboBox::DrawItem(DRAWITEMSTRUCT*) {}

bool CComboBox::OnChildDrawItem(DRAWITEMSTRUCT* item) {
    if (item == nullptr) {
        return false;
    }
    DrawItem(item);
    return true;
}

namespace {

// Reads an item text with a length query first; the buffer always has room
// for what the control says it will copy.
std::string ReadItemText(HWND hwnd, UINT lengthMsg, UINT textMsg, int index, LRESULT error) {
    LRESULT length = ::SendMessageA(hwnd, lengthMsg, static_cast<WPARAM>(index), 0);
    if (length == error || length < 0) {
        return std::string();
    }
    std::vector<char> buffer(static_cast<size_t>(length) + 1, '\0');
    LRESULT copied = ::SendMessageA(hwnd, textMsg, static_cast<WPARAM>(index),
                                    reinterpret_cast<LPARAM>(buffer.data()));
    if (copied == error || copied < 0) {
        return std::string();
    }
    size_t n = static_cast<size_t>(copied) < buffer.size() ? static_cast<size_t>(copied)
                                                           : buffer.size() - 1;
    return std::string(buffer.data(), n);
}

} // namespace

std::string CListBox::GetText(int index) const {
    return ReadItemText(GetSafeHwnd(), LB_GETTEXTLEN, LB_GETTEXT, index, LB_ERR);
}

std::string CComboBox::GetLBText(int index) const {
    return ReadItemText(GetSafeHwnd(), CB_GETLBTEXTLEN, CB_GETLBTEXT, index, CB_ERR);
}

int CIPAddressCtrl::GetAddress(BYTE& f0, BYTE& f1, BYTE& f2, BYTE& f3) const {
    DWORD address = 0;
    int filled = GetAddress(address);
    f0 = static_cast<BYTE>(FIRST_IPADDRESS(address));
    f1 = static_cast<BYTE>(SECOND_IPADDRESS(address));
    f2 = static_cast<BYTE>(THIRD_IPADDRESS(address));
    f3 = static_cast<BYTE>(FOURTH_IPADDRESS(address));
    return filled;
}

bool CToolTipCtrl::Create(CWnd* owner, DWORD style) {
    HWND ownerHwnd = owner != nullptr ? owner->GetSafeHwnd() : nullptr;
    return CreateEx(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, ownerHwnd, nullptr);
}

void CToolTipCtrl::RelayEvent(MSG* msg) const {
    HWND hwnd = GetSafeHwnd();
    if (hwnd != nullptr && msg != nullptr) {
        ::SendMessageA(hwnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(msg));
    }
}
