#include "gui/controls/resource_picture.h"

#include <cstring>

#include "framework/app.h"

namespace {

constexpr UINT kMovableNotDiscardable = GMEM_MOVEABLE | GMEM_NODISCARD;
const char kNotAnImage[] = "The selected file does not appear to be a valid image file!";

// The picture's size in HIMETRIC units (0.01 mm).
bool HimetricSize(IPicture* picture, OLE_XSIZE_HIMETRIC& width, OLE_YSIZE_HIMETRIC& height) {
    return SUCCEEDED(picture->get_Width(&width)) && SUCCEEDED(picture->get_Height(&height));
}

} // namespace

CResourcePicture::~CResourcePicture() {
    Release();
}

void CResourcePicture::Release() {
    if (m_pPicture != nullptr) {
        m_pPicture->Release();
        m_pPicture = nullptr;
    }
    if (m_memoryDC.IsValid() && m_hPreviousBitmap != nullptr) {
        ::SelectObject(m_memoryDC, m_hPreviousBitmap);
    }
    m_hPreviousBitmap = nullptr;
    m_memoryDC = CMemoryDC();
    m_bitmap.DeleteObject();
    m_bReady = false;
    m_nWidth = 0;
    m_nHeight = 0;
}

BOOL CResourcePicture::LoadFromResource(UINT id, const char* type) {
    HINSTANCE module = AfxGetResourceHandle();
    HRSRC info = ::FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (info == nullptr) {
        return FALSE;
    }
    HGLOBAL loaded = ::LoadResource(module, info);
    if (loaded == nullptr) {
        return FALSE;
    }
    const DWORD size = ::SizeofResource(module, info);
    HGLOBAL block = ::GlobalAlloc(kMovableNotDiscardable, size);
    if (block == nullptr) {
        return FALSE;
    }
    void* target = ::GlobalLock(block);
    const void* source = ::LockResource(loaded);
    if (target == nullptr || source == nullptr) {
        if (target != nullptr) {
            ::GlobalUnlock(block);
        }
        ::GlobalFree(block);
        return FALSE;
    }
    std::memcpy(target, source, size);
    ::GlobalUnlock(block);
    const BOOL loadedPicture = LoadFromMemory(block, size);
    ::GlobalFree(block);
    return loadedPicture;
}

BOOL CResourcePicture::LoadFromMemory(HGLOBAL block, DWORD size) {
    ::GlobalUnlock(block);
    IStream* stream = nullptr;
    if (FAILED(::CreateStreamOnHGlobal(block, FALSE, &stream)) || stream == nullptr) {
        return FALSE;
    }
    if (m_pPicture != nullptr) {
        m_pPicture->Release();
        m_pPicture = nullptr;
    }
    const HRESULT decoded = ::OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                             reinterpret_cast<void**>(&m_pPicture));
    if (FAILED(decoded) || m_pPicture == nullptr) {
        m_pPicture = nullptr;
        ::MessageBoxA(m_hWnd, kNotAnImage, nullptr, MB_OK);
        stream->Release();
        return FALSE;
    }
    stream->Release();

    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (!HimetricSize(m_pPicture, width, height)) {
        return FALSE;
    }
    ScopedGetDC dc(m_hWnd);
    if (dc.Get() == nullptr) {
        return FALSE;
    }
    const int pixelsWide = ::MulDiv(width, ::GetDeviceCaps(dc, LOGPIXELSX), 2540);
    const int pixelsHigh = ::MulDiv(height, ::GetDeviceCaps(dc, LOGPIXELSY), 2540);
    return CreateMemoryBitmap(pixelsWide, pixelsHigh);
}

BOOL CResourcePicture::CreateMemoryBitmap(int width, int height) {
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, width + 3, height + 3, SWP_NOMOVE | SWP_NOZORDER);
    ScopedGetDC windowDC(m_hWnd);
    if (windowDC.Get() == nullptr) {
        return FALSE;
    }
    CMemoryDC memoryDC(windowDC);
    if (!memoryDC.IsValid()) {
        return FALSE;
    }
    CBitmap bitmap;
    if (!bitmap.CreateCompatibleBitmap(windowDC, width, height)) {
        return FALSE;
    }
    // A second load replaces the first picture's surface.
    if (m_memoryDC.IsValid() && m_hPreviousBitmap != nullptr) {
        ::SelectObject(m_memoryDC, m_hPreviousBitmap);
    }
    m_memoryDC = std::move(memoryDC);
    m_bitmap = std::move(bitmap);
    m_hPreviousBitmap = ::SelectObject(m_memoryDC, m_bitmap.Get());
    m_nWidth = width;
    m_nHeight = height;
    RECT all = {0, 0, width, height};
    ::FillRect(m_memoryDC, &all, reinterpret_cast<HBRUSH>(COLOR_MENU + 1));
    m_bReady = true;
    return TRUE;
}

BOOL CResourcePicture::Render() {
    if (!m_bReady || m_pPicture == nullptr) {
        return FALSE;
    }
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    if (!HimetricSize(m_pPicture, width, height)) {
        return FALSE;
    }
    if (FAILED(m_pPicture->Render(m_memoryDC, 0, 0, m_nWidth, m_nHeight, 0, height, width, -height,
                                  nullptr))) {
        return FALSE;
    }
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return TRUE;
}

void CResourcePicture::Paint(HDC paintDC) const {
    if (!m_bReady) {
        return;
    }
    ::BitBlt(paintDC, 0, 0, m_nWidth, m_nHeight, m_memoryDC, 0, 0, SRCCOPY);
}
