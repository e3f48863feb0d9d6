// A top-level window holding a real sorted list box (control 1001) and a
// Start/Stop button (control 1014), as the main window has them; used by the
// list-load tests and the list-load benchmark.
#pragma once

#include <windows.h>

class CListHostWindow {
public:
    explicit CListHostWindow(bool visible = false) {
        m_hParent =
            CreateWindowExA(0, "STATIC", "lists", WS_OVERLAPPEDWINDOW | (visible ? WS_VISIBLE : 0),
                            0, 0, 400, 500, nullptr, nullptr, nullptr, nullptr);
        m_hList = CreateWindowExA(
            WS_EX_CLIENTEDGE, "LISTBOX", "",
            WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_SORT | LBS_HASSTRINGS | LBS_NOTIFY, 10, 10,
            360, 400, m_hParent, reinterpret_cast<HMENU>(1001), nullptr, nullptr);
        m_hButton = CreateWindowExA(0, "BUTTON", "Start", WS_CHILD | WS_VISIBLE, 10, 420, 100, 30,
                                    m_hParent, reinterpret_cast<HMENU>(1014), nullptr, nullptr);
    }
    ~CListHostWindow() { DestroyWindow(m_hParent); }
    CListHostWindow(const CListHostWindow&) = delete;
    CListHostWindow& operator=(const CListHostWindow&) = delete;

    HWND List() const { return m_hList; }
    HWND Button() const { return m_hButton; }
    bool Ready() const { return m_hList != nullptr && m_hButton != nullptr; }

private:
    HWND m_hParent = nullptr;
    HWND m_hList = nullptr;
    HWND m_hButton = nullptr;
};
