// A window's picture background: a JPEG from the program's resources (type
// "JPGTYPE"), decoded by OLE, drawn once into an off-screen bitmap of the
// picture's size and copied to the window on each paint. Loading sizes the
// window to the picture plus 3 pixels each way.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "framework/gdi.h"

class CResourcePicture {
public:
    explicit CResourcePicture(HWND window = nullptr) : m_hWnd(window) {}
    ~CResourcePicture();
    CResourcePicture(const CResourcePicture&) = delete;
    CResourcePicture& operator=(const CResourcePicture&) = delete;

    // The window the picture belongs to (set before loading when not given).
    void SetWindow(HWND window) { m_hWnd = window; }

    BOOL LoadFromResource(UINT id, const char* type);
    // Takes a movable global block holding the picture's bytes; the caller
    // keeps the block and frees it.
    BOOL LoadFromMemory(HGLOBAL block, DWORD size);
    BOOL CreateMemoryBitmap(int width, int height);
    BOOL Render();
    void Paint(HDC paintDC) const;
    // Releases the picture and the off-screen bitmap.
    void Release();

    int Width() const { return m_nWidth; }
    int Height() const { return m_nHeight; }
    bool IsReady() const { return m_bReady; }

private:
    HWND m_hWnd;
    IPicture* m_pPicture = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    CMemoryDC m_memoryDC;
    CBitmap m_bitmap;
    HGDIOBJ m_hPreviousBitmap = nullptr;
    bool m_bReady = false;
};
