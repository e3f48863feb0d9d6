// Helpers for the static and combo tests: what a window shows on the screen,
// read back pixel by pixel, and a font the tests own.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>

#include "framework/gdi.h"

namespace sctest {

inline COLORREF FromBgra(std::uint32_t bgra) {
    return RGB((bgra >> 16) & 0xFF, (bgra >> 8) & 0xFF, bgra & 0xFF);
}

// A 32-bit top-down DIB selected into a memory DC, for drawing expected
// images and for copies of the screen.
class Canvas {
public:
    Canvas(int width, int height) : m_width(width), m_height(height), m_dc(nullptr) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        m_bitmap.Attach(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
        m_bits = static_cast<std::uint32_t*>(bits);
        m_select.emplace(m_dc, m_bitmap.GetSafeHandle());
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return m_dc; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool IsValid() const { return m_bits != nullptr && m_dc.IsValid(); }
    COLORREF At(int x, int y) const {
        ::GdiFlush();
        return FromBgra(m_bits[static_cast<size_t>(y) * m_width + x]);
    }

private:
    int m_width, m_height;
    CMemoryDC m_dc;
    CBitmap m_bitmap;
    std::uint32_t* m_bits = nullptr;
    std::optional<ScopedSelect> m_select; // selected out before the DC goes
};

// The client area of a window as it is on the screen now.
class ClientPixels {
public:
    explicit ClientPixels(HWND hwnd) : m_canvas(ClientWidth(hwnd), ClientHeight(hwnd)) {
        ScopedGetDC dc(hwnd);
        ::BitBlt(m_canvas.Dc(), 0, 0, m_canvas.Width(), m_canvas.Height(), dc, 0, 0, SRCCOPY);
    }
    COLORREF At(int x, int y) const { return m_canvas.At(x, y); }
    int Width() const { return m_canvas.Width(); }
    int Height() const { return m_canvas.Height(); }
    int Count(const std::function<bool(int, int, COLORREF)>& which) const {
        int n = 0;
        for (int y = 0; y < Height(); ++y) {
            for (int x = 0; x < Width(); ++x) {
                n += which(x, y, At(x, y)) ? 1 : 0;
            }
        }
        return n;
    }

private:
    static int ClientWidth(HWND hwnd) {
        RECT r{};
        ::GetClientRect(hwnd, &r);
        return r.right;
    }
    static int ClientHeight(HWND hwnd) {
        RECT r{};
        ::GetClientRect(hwnd, &r);
        return r.bottom;
    }
    Canvas m_canvas;
};

inline CFont MakeFont(int height, int weight, const char* face) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, face, LF_FACESIZE);
    CFont font;
    font.CreateFontIndirect(&lf);
    return font;
}

} // namespace sctest
