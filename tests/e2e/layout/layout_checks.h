// Where a window of another process puts its controls, and what the screen
// shows of them: its window region, its visible children in the window's
// coordinates, and the pixels of a screen rectangle as the X server has them.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "framework/handle.h"

namespace sx_layout {

template <class T> struct GdiObjectTraits {
    using Handle = T;
    static bool IsEmpty(T h) { return h == nullptr; }
    static T Empty() { return nullptr; }
    static void Close(T h) { ::DeleteObject(h); }
};
using UniqueRegion = CUniqueResource<GdiObjectTraits<HRGN>>;

struct CControl {
    HWND m_hWnd = nullptr;
    int m_nId = 0;
    std::string m_strClass;
    std::string m_strText;
    RECT m_rcWindow{}; // in the parent's window coordinates
    RECT m_rcScreen{};
};

// The parent's visible direct children, in Z order.
std::vector<CControl> VisibleControls(HWND parent);
const CControl* FindControl(const std::vector<CControl>& controls, int id);
// "Static 1032 (30, 119, 150 x 20)".
std::string Describe(const CControl& control);

// The window's own region (GetWindowRgn into a region of the test's own);
// empty when the window has none.
UniqueRegion WindowRegion(HWND window);

// Every corner pixel of every control lies in the region.
::testing::AssertionResult CornersInside(HRGN region, const std::vector<CControl>& controls);
// No two controls share a pixel, but for the pairs `exempt` lets go.
::testing::AssertionResult NoOverlaps(const std::vector<CControl>& controls,
                                      const std::function<bool(int, int)>& exempt);

// Pixels of a screen rectangle, read with BitBlt from the screen's DC: under
// Xvfb the X server's picture, other windows on top included.
class CScreenCapture {
public:
    bool Take(const RECT& screenRect);
    const RECT& Rect() const { return m_rect; }
    bool Contains(int x, int y) const;
    // 0x00RRGGBB; 0 outside the capture.
    std::uint32_t Pixel(int x, int y) const;
    bool operator==(const CScreenCapture& other) const;

private:
    RECT m_rect{};
    std::vector<std::uint32_t> m_pixels;
};

// Takes the rectangle until two captures 300 ms apart agree, so that no
// half-painted window is judged; false when it never settles.
bool TakeSettled(CScreenCapture& capture, const RECT& screenRect);

// Text-coloured: every channel darker than 100.
bool IsDark(std::uint32_t pixel);
std::size_t DarkPixelsIn(const CScreenCapture& capture, const RECT& screenRect);

// A static's text is shown (some dark pixels inside it) and not cut: its last
// pixel row and last column hold nothing text-coloured.
::testing::AssertionResult TextShownAndWhole(const CScreenCapture& capture,
                                             const CControl& control);

} // namespace sx_layout
