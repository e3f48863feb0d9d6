// GDI ownership in the type: CFont, CBitmap, CBrush, CRgn and CPen own their
// handle and delete it once; CGdiRef borrows (stock objects, a control's font).
// Scoped helpers put back what they changed.
#pragma once

#include <windows.h>

#include <string>

#include "framework/object.h"

class CGdiObject : public CObject {
public:
    static const CRuntimeClass classCGdiObject;
    const CRuntimeClass* GetRuntimeClass() const override;

    CGdiObject() = default;
    ~CGdiObject() override;
    CGdiObject(const CGdiObject&) = delete;
    CGdiObject& operator=(const CGdiObject&) = delete;
    CGdiObject(CGdiObject&& other) noexcept;
    CGdiObject& operator=(CGdiObject&& other) noexcept;

    HGDIOBJ GetSafeHandle() const { return m_hObject; }
    bool IsValid() const { return m_hObject != nullptr; }
    explicit operator bool() const { return IsValid(); }

    // Takes ownership; an object held before is deleted first.
    void Attach(HGDIOBJ h);
    // Gives ownership up, e.g. to SetWindowRgn, which then deletes the region.
    HGDIOBJ Detach();
    // Deletes the object now; true when there was one and it was deleted.
    bool DeleteObject();

protected:
    HGDIOBJ m_hObject = nullptr;
};

class CFont : public CGdiObject {
public:
    static const CRuntimeClass classCFont;
    const CRuntimeClass* GetRuntimeClass() const override;

    CFont() = default;
    CFont(CFont&&) noexcept = default;
    CFont& operator=(CFont&&) noexcept = default;

    HFONT Get() const { return static_cast<HFONT>(m_hObject); }
    operator HFONT() const { return Get(); }

    bool CreateFontIndirect(const LOGFONTA* lf);
    bool GetLogFont(LOGFONTA* lf) const;
};

class CBitmap : public CGdiObject {
public:
    static const CRuntimeClass classCBitmap;
    const CRuntimeClass* GetRuntimeClass() const override;

    CBitmap() = default;
    CBitmap(CBitmap&&) noexcept = default;
    CBitmap& operator=(CBitmap&&) noexcept = default;

    HBITMAP Get() const { return static_cast<HBITMAP>(m_hObject); }
    operator HBITMAP() const { return Get(); }

    // From the application's resource module (AfxGetResourceHandle).
    bool LoadBitmap(UINT resourceId);
    bool CreateCompatibleBitmap(HDC dc, int width, int height);
    bool CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits);
    bool GetBitmap(BITMAP* info) const;
};

class CBrush : public CGdiObject {
public:
    static const CRuntimeClass classCBrush;
    const CRuntimeClass* GetRuntimeClass() const override;

    CBrush() = default;
    CBrush(CBrush&&) noexcept = default;
    CBrush& operator=(CBrush&&) noexcept = default;

    HBRUSH Get() const { return static_cast<HBRUSH>(m_hObject); }
    operator HBRUSH() const { return Get(); }

    bool CreateSolidBrush(COLORREF color);
};

class CRgn : public CGdiObject {
public:
    static const CRuntimeClass classCRgn;
    const CRuntimeClass* GetRuntimeClass() const override;

    CRgn() = default;
    CRgn(CRgn&&) noexcept = default;
    CRgn& operator=(CRgn&&) noexcept = default;

    HRGN Get() const { return static_cast<HRGN>(m_hObject); }
    operator HRGN() const { return Get(); }

    bool CreateRectRgn(int left, int top, int right, int bottom);
    bool CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseW, int ellipseH);
    // This region becomes a combined with b (RGN_OR, RGN_AND, ...); the result
    // is the region type (NULLREGION, SIMPLEREGION, COMPLEXREGION) or ERROR.
    int CombineRgn(HRGN a, HRGN b, int mode);
};

class CPen : public CGdiObject {
public:
    static const CRuntimeClass classCPen;
    const CRuntimeClass* GetRuntimeClass() const override;

    CPen() = default;
    CPen(CPen&&) noexcept = default;
    CPen& operator=(CPen&&) noexcept = default;

    HPEN Get() const { return static_cast<HPEN>(m_hObject); }
    operator HPEN() const { return Get(); }

    bool CreatePen(int style, int width, COLORREF color);
};

// A GDI handle somebody else owns: never deleted through this type.
template <class H> class CGdiRef {
public:
    CGdiRef() = default;
    explicit CGdiRef(H h) : m_h(h) {}
    H Get() const { return m_h; }
    operator H() const { return m_h; }

private:
    H m_h = nullptr;
};

inline CGdiRef<HBRUSH> StockBrush(int which) {
    return CGdiRef<HBRUSH>(static_cast<HBRUSH>(::GetStockObject(which)));
}

// Selects an object into a device context and selects the previous one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ obj);
    ~ScopedSelect();
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

    HGDIOBJ Previous() const { return m_previous; }

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// GetDC (client area) or GetWindowDC (whole window), released on scope exit.
class ScopedGetDC {
public:
    enum Area { kClient, kWindow };
    explicit ScopedGetDC(HWND hwnd, Area area = kClient);
    ~ScopedGetDC();
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;

    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }

private:
    HWND m_hwnd;
    HDC m_dc;
};

// BeginPaint/EndPaint for one WM_PAINT.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND hwnd);
    ~ScopedPaint();
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;

    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
    const PAINTSTRUCT& Info() const { return m_ps; }

private:
    HWND m_hwnd;
    PAINTSTRUCT m_ps{};
    HDC m_dc;
};

// An off-screen device context (CreateCompatibleDC), deleted once. Objects
// selected into it must be selected out (ScopedSelect) before it goes.
class CMemoryDC {
public:
    CMemoryDC() = default;
    explicit CMemoryDC(HDC compatibleWith);
    ~CMemoryDC();
    CMemoryDC(const CMemoryDC&) = delete;
    CMemoryDC& operator=(const CMemoryDC&) = delete;
    CMemoryDC(CMemoryDC&& other) noexcept;
    CMemoryDC& operator=(CMemoryDC&& other) noexcept;

    HDC Get() const { return m_dc; }
    operator HDC() const { return m_dc; }
    bool IsValid() const { return m_dc != nullptr; }

private:
    HDC m_dc = nullptr;
};

// Drawing helpers on a borrowed device context.
class CDC {
public:
    explicit CDC(HDC dc) : m_hDC(dc) {}
    HDC GetSafeHdc() const { return m_hDC; }
    operator HDC() const { return m_hDC; }

    // Solid fill that leaves the background colour as it was.
    void FillSolidRect(const RECT& r, COLORREF color) const;
    void FillSolidRect(int x, int y, int cx, int cy, COLORREF color) const;
    // One-pixel frame: top and left in topLeft, bottom and right in bottomRight.
    void Draw3dRect(const RECT& r, COLORREF topLeft, COLORREF bottomRight) const;
    void Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) const;
    int DrawText(const std::string& text, RECT* r, UINT format) const;

private:
    HDC m_hDC;
};
