// Ownership types release exactly once and move cleanly; scoped helpers put
// back what they changed; file finding; run-time class names; and traces
// leave in one OutputDebugStringA call each.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

#include "framework/controls.h"
#include "framework/dialog.h"
#include "framework/dialog_template.h"
#include "framework/filefind.h"
#include "framework/gdi.h"
#include "framework/handle.h"
#include "framework/trace.h"

namespace {

bool IsOpenHandle(HANDLE h) {
    DWORD flags = 0;
    return ::GetHandleInformation(h, &flags) != FALSE;
}

TEST(UniqueHandleOwner, ClosesOnceWhenItGoes) {
    HANDLE raw = nullptr;
    {
        UniqueHandle h(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
        raw = h.Get();
        ASSERT_TRUE(h);
        EXPECT_TRUE(IsOpenHandle(raw));
    }
    EXPECT_FALSE(IsOpenHandle(raw));
}

TEST(UniqueHandleOwner, MoveTransfersAndMoveAssignClosesThePrevious) {
    UniqueHandle a(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    HANDLE first = a.Get();
    UniqueHandle b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.Get(), first);
    EXPECT_TRUE(IsOpenHandle(first));

    UniqueHandle c(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    HANDLE second = c.Get();
    c = std::move(b);
    EXPECT_FALSE(IsOpenHandle(second)) << "the replaced handle is closed";
    EXPECT_EQ(c.Get(), first);
    EXPECT_TRUE(IsOpenHandle(first));
    c = std::move(c);
    EXPECT_TRUE(IsOpenHandle(first)) << "self-move keeps the handle";
}

TEST(UniqueHandleOwner, ReleaseGivesUpWithoutClosing) {
    UniqueHandle h(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    HANDLE raw = h.Release();
    EXPECT_FALSE(h);
    EXPECT_TRUE(IsOpenHandle(raw));
    ::CloseHandle(raw);
}

TEST(UniqueHandleOwner, BothFailureValuesAreEmpty) {
    UniqueHandle invalid(INVALID_HANDLE_VALUE);
    EXPECT_FALSE(invalid);
    EXPECT_EQ(invalid.Get(), nullptr);
    UniqueHandle null(nullptr);
    EXPECT_FALSE(null);
    UniqueHandle file(::CreateFileA("Z:\\no\\such\\dir\\file.txt", GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    EXPECT_FALSE(file);
}

TEST(GdiOwner, DeletesItsObjectOnce) {
    HGDIOBJ raw = nullptr;
    {
        CBrush brush;
        ASSERT_TRUE(brush.CreateSolidBrush(RGB(1, 2, 3)));
        raw = brush.GetSafeHandle();
        EXPECT_EQ(::GetObjectType(raw), static_cast<DWORD>(OBJ_BRUSH));
    }
    EXPECT_EQ(::GetObjectType(raw), 0u);
}

TEST(GdiOwner, MoveLeavesTheSourceEmpty) {
    CRgn a;
    ASSERT_TRUE(a.CreateRectRgn(0, 0, 10, 10));
    HRGN raw = a.Get();
    CRgn b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(b.Get(), raw);
    EXPECT_EQ(::GetObjectType(raw), static_cast<DWORD>(OBJ_REGION));

    CRgn c;
    ASSERT_TRUE(c.CreateRectRgn(0, 0, 5, 5));
    HRGN replaced = c.Get();
    c = std::move(b);
    EXPECT_EQ(::GetObjectType(replaced), 0u);
    EXPECT_EQ(c.Get(), raw);
}

TEST(GdiOwner, CreatingAgainDeletesTheOldObject) {
    CBitmap bitmap;
    HDC screen = ::GetDC(nullptr);
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(screen, 4, 4));
    HGDIOBJ first = bitmap.GetSafeHandle();
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(screen, 8, 2));
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(::GetObjectType(first), 0u);
    BITMAP info{};
    ASSERT_TRUE(bitmap.GetBitmap(&info));
    EXPECT_EQ(info.bmWidth, 8);
    EXPECT_EQ(info.bmHeight, 2);
}

TEST(GdiOwner, DetachHandsOwnershipOver) {
    CPen pen;
    ASSERT_TRUE(pen.CreatePen(PS_SOLID, 1, RGB(0, 0, 0)));
    HGDIOBJ raw = pen.Detach();
    EXPECT_FALSE(pen);
    EXPECT_FALSE(pen.DeleteObject());
    EXPECT_EQ(::GetObjectType(raw), static_cast<DWORD>(OBJ_PEN));
    ::DeleteObject(raw);
}

int g_languageFontsDestroyed = 0;

class LanguageFont : public CFont {
public:
    ~LanguageFont() override { ++g_languageFontsDestroyed; }
};

TEST(GdiOwner, DerivedFontDeletesThroughTheBase) {
    HGDIOBJ raw = nullptr;
    {
        CFont* font = new LanguageFont;
        LOGFONTA lf{};
        lf.lfHeight = 14;
        lstrcpyA(lf.lfFaceName, "Tahoma");
        ASSERT_TRUE(font->CreateFontIndirect(&lf));
        raw = font->GetSafeHandle();
        LOGFONTA back{};
        ASSERT_TRUE(font->GetLogFont(&back));
        EXPECT_EQ(back.lfHeight, 14);
        delete static_cast<CObject*>(font);
    }
    EXPECT_EQ(g_languageFontsDestroyed, 1);
    EXPECT_EQ(::GetObjectType(raw), 0u);
}

TEST(GdiOwner, WindowTakesTheRegionOnlyWhenItAccepts) {
    CDialog dlg(CDialogTemplate(WS_POPUP | WS_VISIBLE, 0, 0, 0, 50, 50, "Region").Build());
    ASSERT_TRUE(dlg.Create());
    CRgn rgn;
    ASSERT_TRUE(rgn.CreateRoundRectRgn(0, 0, 40, 40, 0, 0));
    HRGN raw = rgn.Get();
    ASSERT_TRUE(dlg.SetWindowRgn(rgn, true));
    EXPECT_FALSE(rgn) << "the window owns it now";
    // Windows keeps the handle for the window; Wine copies the region and
    // deletes the handle at once. Either way it is no longer ours to delete.
    (void)raw;
    HRGN copy = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(::GetWindowRgn(dlg.GetSafeHwnd(), copy), ERROR);
    ::DeleteObject(copy);

    CWnd none;
    CRgn kept;
    ASSERT_TRUE(kept.CreateRectRgn(0, 0, 1, 1));
    EXPECT_FALSE(none.SetWindowRgn(kept, false));
    EXPECT_TRUE(kept) << "a refused region stays with its owner";
}

TEST(ScopedHelpers, SelectPutsThePreviousObjectBack) {
    HDC screen = ::GetDC(nullptr);
    CMemoryDC mem(screen);
    ::ReleaseDC(nullptr, screen);
    ASSERT_TRUE(mem.IsValid());
    CBrush brush;
    ASSERT_TRUE(brush.CreateSolidBrush(RGB(4, 5, 6)));
    HGDIOBJ before = ::GetCurrentObject(mem, OBJ_BRUSH);
    {
        ScopedSelect select(mem, brush.Get());
        EXPECT_EQ(select.Previous(), before);
        EXPECT_EQ(::GetCurrentObject(mem, OBJ_BRUSH), brush.Get());
    }
    EXPECT_EQ(::GetCurrentObject(mem, OBJ_BRUSH), before);
}

TEST(ScopedHelpers, MemoryDcIsDeletedOnceAndMoves) {
    HDC screen = ::GetDC(nullptr);
    CMemoryDC a(screen);
    ::ReleaseDC(nullptr, screen);
    HDC raw = a.Get();
    CMemoryDC b(std::move(a));
    EXPECT_FALSE(a.IsValid());
    EXPECT_EQ(b.Get(), raw);
    EXPECT_EQ(::GetObjectType(raw), static_cast<DWORD>(OBJ_MEMDC));
    { CMemoryDC c(std::move(b)); }
    EXPECT_EQ(::GetObjectType(raw), 0u);
}

COLORREF PixelAt(HDC dc, int x, int y) {
    return ::GetPixel(dc, x, y);
}

TEST(DrawingHelpers, ThreeDFrameColoursItsSides) {
    HDC screen = ::GetDC(nullptr);
    CMemoryDC mem(screen);
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(screen, 10, 10));
    ::ReleaseDC(nullptr, screen);
    ScopedSelect select(mem, bitmap.Get());
    CDC dc(mem);
    const COLORREF white = RGB(255, 255, 255), light = RGB(250, 0, 0), dark = RGB(0, 0, 250);
    dc.FillSolidRect(0, 0, 10, 10, white);
    ::SetBkColor(mem, RGB(1, 1, 1));
    RECT r = {1, 1, 9, 9};
    dc.Draw3dRect(r, light, dark);
    EXPECT_EQ(::GetBkColor(mem), RGB(1, 1, 1)) << "the background colour is kept";
    EXPECT_EQ(PixelAt(mem, 1, 1), light);
    EXPECT_EQ(PixelAt(mem, 5, 1), light);
    EXPECT_EQ(PixelAt(mem, 1, 5), light);
    EXPECT_EQ(PixelAt(mem, 8, 1), dark) << "top-right corner belongs to the right side";
    EXPECT_EQ(PixelAt(mem, 1, 8), dark) << "bottom-left corner belongs to the bottom";
    EXPECT_EQ(PixelAt(mem, 8, 5), dark);
    EXPECT_EQ(PixelAt(mem, 5, 8), dark);
    EXPECT_EQ(PixelAt(mem, 5, 5), white) << "the inside is untouched";
    EXPECT_EQ(PixelAt(mem, 0, 0), white);
    EXPECT_EQ(PixelAt(mem, 9, 9), white);
}

class TempDir {
public:
    TempDir() {
        char base[MAX_PATH] = {0};
        ::GetTempPathA(MAX_PATH, base);
        m_path = std::string(base) + "sulvantix_fw_" + std::to_string(::GetCurrentProcessId());
        ::CreateDirectoryA(m_path.c_str(), nullptr);
    }
    ~TempDir() {
        for (const std::string& f : m_files) {
            ::DeleteFileA(f.c_str());
        }
        ::RemoveDirectoryA(m_path.c_str());
    }
    std::string Add(const std::string& name) {
        std::string full = m_path + "\\" + name;
        HANDLE h =
            ::CreateFileA(full.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            ::CloseHandle(h);
        }
        m_files.push_back(full);
        return full;
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
    std::vector<std::string> m_files;
};

TEST(FileFinding, FindsExistingFilesAndNothingElse) {
    TempDir dir;
    std::string list = dir.Add("proxylist.txt");
    dir.Add("Invalidproxylist.txt");
    dir.Add("other.dat");

    CFileFind find;
    EXPECT_TRUE(find.FindFile(list.c_str()));
    EXPECT_FALSE(find.FindNextFile()) << "one match, now current";
    EXPECT_EQ(find.GetFileName(), "proxylist.txt");
    EXPECT_EQ(find.GetFilePath(), list);
    EXPECT_FALSE(find.IsDirectory());

    EXPECT_FALSE(find.FindFile((dir.Path() + "\\missing.txt").c_str()));
    EXPECT_EQ(find.GetFileName(), "");

    std::set<std::string> names;
    bool more = find.FindFile((dir.Path() + "\\*.txt").c_str());
    while (more) {
        more = find.FindNextFile();
        names.insert(find.GetFileName());
    }
    EXPECT_EQ(names, (std::set<std::string>{"proxylist.txt", "Invalidproxylist.txt"}));
    find.Close();
    EXPECT_FALSE(find.FindNextFile());
}

class CxSkinButtonLike : public CButton {
    DECLARE_DYNAMIC(CxSkinButtonLike)
};
IMPLEMENT_DYNAMIC(CxSkinButtonLike, CButton)

TEST(RuntimeClass, NamesAndChainsFollowTheClasses) {
    CxSkinButtonLike button;
    EXPECT_STREQ(button.GetRuntimeClass()->m_lpszClassName, "CxSkinButtonLike");
    EXPECT_TRUE(button.IsKindOf(RUNTIME_CLASS(CButton)));
    EXPECT_TRUE(button.IsKindOf(RUNTIME_CLASS(CWnd)));
    EXPECT_TRUE(button.IsKindOf(RUNTIME_CLASS(CCmdTarget)));
    EXPECT_TRUE(button.IsKindOf(RUNTIME_CLASS(CObject)));
    EXPECT_FALSE(button.IsKindOf(RUNTIME_CLASS(CComboBox)));
    CFont font;
    EXPECT_STREQ(font.GetRuntimeClass()->m_lpszClassName, "CFont");
    EXPECT_TRUE(font.IsKindOf(RUNTIME_CLASS(CGdiObject)));
    EXPECT_FALSE(font.IsKindOf(RUNTIME_CLASS(CWnd)));
    CComboBox combo;
    EXPECT_STREQ(combo.GetRuntimeClass()->m_pBaseClass->m_lpszClassName, "CWnd");
}

// OutputDebugStringA raises DBG_PRINTEXCEPTION_C, which a vectored handler
// sees first; each raise is one trace call.
std::vector<std::string>* g_traces = nullptr;

LONG CALLBACK CaptureDebugString(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* rec = info->ExceptionRecord;
    if (rec->ExceptionCode == DBG_PRINTEXCEPTION_C && rec->NumberParameters >= 2 &&
        g_traces != nullptr) {
        const char* text = reinterpret_cast<const char*>(rec->ExceptionInformation[1]);
        size_t length = static_cast<size_t>(rec->ExceptionInformation[0]);
        // The length counts the terminating zero.
        g_traces->push_back(std::string(text, length > 0 ? length - 1 : 0));
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

TEST(Win32Trace, OneDebugStringPerTextExactlyAsGiven) {
    std::vector<std::string> traces;
    g_traces = &traces;
    PVOID handler = ::AddVectoredExceptionHandler(1, CaptureDebugString);
    ASSERT_NE(handler, nullptr);
    TraceText("ok -> ");
    TraceText(std::string("Valid ->1.2.3.4:80"));
    TraceText("Total count upto :3\n");
    ::RemoveVectoredExceptionHandler(handler);
    g_traces = nullptr;
    if (traces.empty()) {
        GTEST_SKIP() << "this system does not raise the debug-string exception";
    }
    ASSERT_EQ(traces.size(), 3u);
    EXPECT_EQ(traces[0], "ok -> ");
    EXPECT_EQ(traces[1], "Valid ->1.2.3.4:80");
    EXPECT_EQ(traces[2], "Total count upto :3\n");
}

} // namespace
