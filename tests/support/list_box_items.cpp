#include "tests/support/list_box_items.h"

namespace {

std::vector<std::string> Items(HWND control, UINT getCount, UINT getLength, UINT getText) {
    std::vector<std::string> items;
    const LRESULT count = ::SendMessageA(control, getCount, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = ::SendMessageA(control, getLength, i, 0);
        std::vector<char> buffer(length > 0 ? static_cast<std::size_t>(length) + 1 : 1);
        ::SendMessageA(control, getText, i, reinterpret_cast<LPARAM>(buffer.data()));
        items.emplace_back(buffer.data());
    }
    return items;
}

} // namespace

std::vector<std::string> ListBoxItems(HWND list) {
    return Items(list, LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

std::vector<std::string> ComboBoxItems(HWND combo) {
    return Items(combo, CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}
