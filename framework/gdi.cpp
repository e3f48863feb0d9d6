#include "framework/gdi.h"

#include "framework/app.h"

const CRuntimeClass CGdiObject::classCGdiObject = {"CGdiObject", &CObject::classCObject};
const CRuntimeClass* CGdiObject::GetRuntimeClass() const {
    return &classCGdiObject;
}
const CRuntimeClass CFont::classCFont = {"CFont", &CGdiObject::classCGdiObject};
const CRuntimeClass* CFont::GetRuntimeClass() const {
    return &classCFont;
}
const CRuntimeClass CBitmap::classCBitmap = {"CBitmap", &CGdiObject::classCGdiObject};
const CRuntimeClass* CBitmap::GetRuntimeClass() const {
    return &classCBitmap;
}
const CRuntimeClass CBrush::classCBrush = {"CBrush", &CGdiObject::classCGdiObject};
const CRuntimeClass* CBrush::GetRuntimeClass() const {
    return &classCBrush;
}
const CRuntimeClass CRgn::classCRgn = {"CRgn", &CGdiObject::classCGdiObject};
const CRuntimeClass* CRgn::GetRuntimeClass() const {
    return &classCRgn;
}
const CRuntimeClass CPen::classCPen = {"CPen", &CGdiObject::classCGdiObject};
const CRuntimeClass* CPen::GetRuntimeClass() const {
    return &classCPen;
}

CGdiObject::~CGdiObject() {
    DeleteObject();
}

CGdiObject::CGdiObject(CGdiObject&& other) noexcept : CObject(), m_hObject(other.Detach()) {}

CGdiObject& CGdiObject::operator=(CGdiObject&& other) noexcept {
    if (this != &other) {
        Attach(other.Detach());
    }
    return *this;
}

void CGdiObject::Attach(HGDIOBJ h) {
    if (h == m_hObject) {
        return;
    }
    DeleteObject();
    m_hObject = h;
}

HGDIOBJ CGdiObject::Detach() {
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
}

bool CGdiObject::DeleteObject() {
    if (m_hObject == nullptr) {
        return false;
    }
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return ::DeleteObject(h) != FALSE;
}

bool CFont::CreateFontIndirect(const LOGFONTA* lf) {
    Attach(lf != nullptr ? ::CreateFontIndirectA(lf) : nullptr);
    return IsValid();
}

bool CFont::GetLogFont(LOGFONTA* lf) const {
    return m_hObject != nullptr && lf != nullptr &&
           ::GetObjectA(m_hObject, sizeof(LOGFONTA), lf) == sizeof(LOGFONTA);
}

bool CBitmap::LoadBitmap(UINT resourceId) {
    Attach(::LoadBitmapA(AfxGetResourceHandle(), MAKEINTRESOURCEA(resourceId)));
    return IsValid();
}

bool CBitmap::CreateCompatibleBitmap(HDC dc, int width, int height) {
    Attach(::CreateCompatibleBitmap(dc, width, height));
    return IsValid();
}

bool CBitmap::CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel,
                           const void* bits) {
    Attach(::CreateBitmap(width, height, planes, bitsPerPixel, bits));
    return IsValid();
}

bool CBitmap::GetBitmap(BITMAP* info) const {
    return m_hObject != nullptr && info != nullptr &&
           ::GetObjectA(m_hObject, sizeof(BITMAP), info) == sizeof(BITMAP);
}

bool CBrush::CreateSolidBrush(COLORREF color) {
    Attach(::CreateSolidBrush(color));
    return IsValid();
}

bool CRgn::CreateRectRgn(int left, int top, int right, int bottom) {
    Attach(::CreateRectRgn(left, top, right, bottom));
    return IsValid();
}

bool CRgn::CreateRoundRectRgn(int left, int top, int right, int bottom, int ellipseW,
                              int ellipseH) {
    Attach(::CreateRoundRectRgn(left, top, right, bottom, ellipseW, ellipseH));
    return IsValid();
}

int CRgn::CombineRgn(HRGN a, HRGN b, int mode) {
    if (m_hObject == nullptr) {
        return ERROR;
    }
    return ::CombineRgn(Get(), a, b, mode);
}

bool CPen::CreatePen(int style, int width, COLORREF color) {
    Attach(::CreatePen(style, width, color));
    return IsValid();
}

ScopedSelect::ScopedSelect(HDC dc, HGDIOBJ obj)
    : m_dc(dc), m_previous(dc != nullptr && obj != nullptr ? ::SelectObject(dc, obj) : nullptr) {
    // SelectObject answers HGDI_ERROR for a region it could not select; there is
    // nothing to put back then.
    if (m_previous == HGDI_ERROR) {
        m_previous = nullptr;
    }
}

ScopedSelect::~ScopedSelect() {
    if (m_previous != nullptr) {
        ::SelectObject(m_dc, m_previous);
    }
}

ScopedGetDC::ScopedGetDC(HWND hwnd, Area area)
    : m_hwnd(hwnd), m_dc(area == kWindow ? ::GetWindowDC(hwnd) : ::GetDC(hwnd)) {}

ScopedGetDC::~ScopedGetDC() {
    if (m_dc != nullptr) {
        ::ReleaseDC(m_hwnd, m_dc);
    }
}

ScopedPaint::ScopedPaint(HWND hwnd) : m_hwnd(hwnd), m_dc(::BeginPaint(hwnd, &m_ps)) {}

ScopedPaint::~ScopedPaint() {
    if (m_dc != nullptr) {
        ::EndPaint(m_hwnd, &m_ps);
    }
}

CMemoryDC::CMemoryDC(HDC compatibleWith) : m_dc(::CreateCompatibleDC(compatibleWith)) {}

CMemoryDC::~CMemoryDC() {
    if (m_dc != nullptr) {
        ::DeleteDC(m_dc);
    }
}

CMemoryDC::CMemoryDC(CMemoryDC&& other) noexcept : m_dc(other.m_dc) {
    other.m_dc = nullptr;
}

CMemoryDC& CMemoryDC::operator=(CMemoryDC&& other) noexcept {
    if (this != &other) {
        if (m_dc != nullptr) {
            ::DeleteDC(m_dc);
        }
        m_dc = other.m_dc;
        other.m_dc = nullptr;
    }
    return *this;
}

void CDC::FillSolidRect(const RECT& r, COLORREF color) const {
    COLORREF old = ::SetBkColor(m_hDC, color);
    ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF color) const {
    RECT r = {x, y, x + cx, y + cy};
    FillSolidRect(r, color);
}

void CDC::Draw3dRect(const RECT& r, COLORREF topLeft, COLORREF bottomRight) const {
    Draw3dRect(r.left, r.top, r.right - r.left, r.bottom - r.top, topLeft, bottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF topLeft, COLORREF bottomRight) const {
    if (cx <= 0 || cy <= 0) {
        return;
    }
    FillSolidRect(x, y, cx - 1, 1, topLeft);
    FillSolidRect(x, y, 1, cy - 1, topLeft);
    FillSolidRect(x + cx - 1, y, 1, cy, bottomRight);
    FillSolidRect(x, y + cy - 1, cx, 1, bottomRight);
}

int CDC::DrawText(const std::string& text, RECT* r, UINT format) const {
    return ::DrawTextA(m_hDC, text.c_str(), static_cast<int>(text.size()), r, format);
}
