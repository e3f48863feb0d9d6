#include "tests/e2e/layout/layout_checks.h"

#include <cstring>
#include <sstream>

#include "tests/e2e/app/sulvantix_driver.h"
#include "tests/support/message_pump.h"

namespace sx_layout {

namespace {

struct MemoryDcTraits {
    using Handle = HDC;
    static bool IsEmpty(HDC h) { return h == nullptr; }
    static HDC Empty() { return nullptr; }
    static void Close(HDC h) { ::DeleteDC(h); }
};
using UniqueMemoryDc = CUniqueResource<MemoryDcTraits>;
using UniqueBitmap = CUniqueResource<GdiObjectTraits<HBITMAP>>;

class CScreenDc {
public:
    CScreenDc() : m_hDC(::GetDC(nullptr)) {}
    ~CScreenDc() {
        if (m_hDC != nullptr) {
            ::ReleaseDC(nullptr, m_hDC);
        }
    }
    CScreenDc(const CScreenDc&) = delete;
    CScreenDc& operator=(const CScreenDc&) = delete;
    HDC Get() const { return m_hDC; }

private:
    HDC m_hDC;
};

// Puts back what the DC held before.
class CSelection {
public:
    CSelection(HDC dc, HGDIOBJ object) : m_hDC(dc), m_hOld(::SelectObject(dc, object)) {}
    ~CSelection() {
        if (m_hOld != nullptr && m_hOld != HGDI_ERROR) {
            ::SelectObject(m_hDC, m_hOld);
        }
    }
    CSelection(const CSelection&) = delete;
    CSelection& operator=(const CSelection&) = delete;
    bool Selected() const { return m_hOld != nullptr && m_hOld != HGDI_ERROR; }

private:
    HDC m_hDC;
    HGDIOBJ m_hOld;
};

int Width(const RECT& r) {
    return r.right - r.left;
}
int Height(const RECT& r) {
    return r.bottom - r.top;
}

} // namespace

std::vector<CControl> VisibleControls(HWND parent) {
    std::vector<CControl> controls;
    RECT frame{};
    ::GetWindowRect(parent, &frame);
    for (HWND child = ::GetWindow(parent, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child)) {
            continue;
        }
        CControl control;
        control.m_hWnd = child;
        control.m_nId = ::GetDlgCtrlID(child);
        char name[64] = {};
        ::GetClassNameA(child, name, sizeof name);
        control.m_strClass = name;
        control.m_strText = sx_e2e::WindowText(child);
        ::GetWindowRect(child, &control.m_rcScreen);
        control.m_rcWindow = control.m_rcScreen;
        ::OffsetRect(&control.m_rcWindow, -frame.left, -frame.top);
        controls.push_back(control);
    }
    return controls;
}

const CControl* FindControl(const std::vector<CControl>& controls, int id) {
    for (const CControl& control : controls) {
        if (control.m_nId == id) {
            return &control;
        }
    }
    return nullptr;
}

std::string Describe(const CControl& control) {
    std::ostringstream text;
    const RECT& r = control.m_rcWindow;
    text << control.m_strClass << " " << control.m_nId << " (" << r.left << ", " << r.top << ", "
         << Width(r) << " x " << Height(r) << ")";
    return text.str();
}

UniqueRegion WindowRegion(HWND window) {
    UniqueRegion region(::CreateRectRgn(0, 0, 0, 0));
    if (region && ::GetWindowRgn(window, region.Get()) == ERROR) {
        region.Reset();
    }
    return region;
}

::testing::AssertionResult CornersInside(HRGN region, const std::vector<CControl>& controls) {
    std::ostringstream outside;
    for (const CControl& control : controls) {
        const RECT& r = control.m_rcWindow;
        const POINT corners[] = {{r.left, r.top},
                                 {r.right - 1, r.top},
                                 {r.left, r.bottom - 1},
                                 {r.right - 1, r.bottom - 1}};
        for (const POINT& corner : corners) {
            if (!::PtInRegion(region, corner.x, corner.y)) {
                outside << "\n  " << Describe(control) << ": corner (" << corner.x << ", "
                        << corner.y << ")";
            }
        }
    }
    RECT box{};
    ::GetRgnBox(region, &box);
    if (!outside.str().empty()) {
        return ::testing::AssertionFailure()
               << "outside the window region (" << box.left << ", " << box.top << ") - ("
               << box.right << ", " << box.bottom << "):" << outside.str();
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult NoOverlaps(const std::vector<CControl>& controls,
                                      const std::function<bool(int, int)>& exempt) {
    std::ostringstream overlaps;
    for (std::size_t i = 0; i < controls.size(); ++i) {
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            RECT common{};
            if (::IntersectRect(&common, &controls[i].m_rcWindow, &controls[j].m_rcWindow) &&
                !exempt(controls[i].m_nId, controls[j].m_nId) &&
                !exempt(controls[j].m_nId, controls[i].m_nId)) {
                overlaps << "\n  " << Describe(controls[i]) << " and " << Describe(controls[j])
                         << " share " << Width(common) << " x " << Height(common);
            }
        }
    }
    if (!overlaps.str().empty()) {
        return ::testing::AssertionFailure() << "controls overlap:" << overlaps.str();
    }
    return ::testing::AssertionSuccess();
}

bool CScreenCapture::Take(const RECT& screenRect) {
    m_rect = RECT{};
    m_pixels.clear();
    const int width = Width(screenRect);
    const int height = Height(screenRect);
    if (width <= 0 || height <= 0) {
        return false;
    }
    CScreenDc screen;
    if (screen.Get() == nullptr) {
        return false;
    }
    UniqueMemoryDc memory(::CreateCompatibleDC(screen.Get()));
    UniqueBitmap bitmap(::CreateCompatibleBitmap(screen.Get(), width, height));
    if (!memory || !bitmap) {
        return false;
    }
    {
        CSelection selected(memory.Get(), bitmap.Get());
        if (!selected.Selected() || !::BitBlt(memory.Get(), 0, 0, width, height, screen.Get(),
                                              screenRect.left, screenRect.top, SRCCOPY)) {
            return false;
        }
    }
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    if (::GetDIBits(memory.Get(), bitmap.Get(), 0, static_cast<UINT>(height), pixels.data(), &info,
                    DIB_RGB_COLORS) != height) {
        return false;
    }
    for (std::uint32_t& pixel : pixels) {
        pixel &= 0x00FFFFFF;
    }
    m_rect = screenRect;
    m_pixels = std::move(pixels);
    return true;
}

bool CScreenCapture::Contains(int x, int y) const {
    return x >= m_rect.left && x < m_rect.right && y >= m_rect.top && y < m_rect.bottom;
}

std::uint32_t CScreenCapture::Pixel(int x, int y) const {
    if (!Contains(x, y)) {
        return 0;
    }
    return m_pixels[static_cast<std::size_t>(y - m_rect.top) * Width(m_rect) + (x - m_rect.left)];
}

bool CScreenCapture::operator==(const CScreenCapture& other) const {
    return ::EqualRect(&m_rect, &other.m_rect) && m_pixels == other.m_pixels;
}

bool TakeSettled(CScreenCapture& capture, const RECT& screenRect) {
    CScreenCapture previous;
    for (int attempt = 0; attempt < 20; ++attempt) {
        PumpMessagesUntil([] { return false; }, 300);
        if (!capture.Take(screenRect)) {
            return false;
        }
        if (attempt > 0 && capture == previous) {
            return true;
        }
        previous = capture;
    }
    return false;
}

bool IsDark(std::uint32_t pixel) {
    return ((pixel >> 16) & 0xFF) < 100 && ((pixel >> 8) & 0xFF) < 100 && (pixel & 0xFF) < 100;
}

std::size_t DarkPixelsIn(const CScreenCapture& capture, const RECT& screenRect) {
    std::size_t count = 0;
    for (int y = screenRect.top; y < screenRect.bottom; ++y) {
        for (int x = screenRect.left; x < screenRect.right; ++x) {
            count += capture.Contains(x, y) && IsDark(capture.Pixel(x, y)) ? 1 : 0;
        }
    }
    return count;
}

::testing::AssertionResult TextShownAndWhole(const CScreenCapture& capture,
                                             const CControl& control) {
    const RECT& r = control.m_rcScreen;
    if (!capture.Contains(r.left, r.top) || !capture.Contains(r.right - 1, r.bottom - 1)) {
        return ::testing::AssertionFailure() << Describe(control) << " lies outside the capture";
    }
    // A few glyphs' worth: the capture shows the text at all.
    constexpr std::size_t kShownAtLeast = 20;
    const std::size_t shown = DarkPixelsIn(capture, r);
    if (!control.m_strText.empty() && shown < kShownAtLeast) {
        return ::testing::AssertionFailure()
               << Describe(control) << " \"" << control.m_strText << "\" shows only " << shown
               << " text-coloured pixels";
    }
    const RECT lastRow{r.left, r.bottom - 1, r.right, r.bottom};
    const RECT lastColumn{r.right - 1, r.top, r.right, r.bottom};
    const std::size_t cutRow = DarkPixelsIn(capture, lastRow);
    const std::size_t cutColumn = DarkPixelsIn(capture, lastColumn);
    if (cutRow != 0 || cutColumn != 0) {
        return ::testing::AssertionFailure()
               << Describe(control) << " \"" << control.m_strText << "\" is cut: " << cutRow
               << " text-coloured pixels in its last row, " << cutColumn << " in its last column";
    }
    return ::testing::AssertionSuccess();
}

} // namespace sx_layout
