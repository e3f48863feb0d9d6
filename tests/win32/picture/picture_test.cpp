// Picture backgrounds against Wine's real OLE picture decoding and GDI: the
// window takes the picture's size plus 3, the picture lands in the window,
// statics draw transparently over it while a trackbar keeps its background,
// and a resource that is no picture says so and changes nothing.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "framework/gdi.h"
#include "gui/controls/bitmap_dialog.h"
#include "gui/controls/resource_picture.h"
#include "tests/support/message_pump.h"

namespace {

constexpr UINT kTwoColour = 301;
constexpr UINT kNotAPicture = 302;
constexpr UINT kDialog = 310;

class CPictureDialog : public CBitmapDialog {
public:
    CPictureDialog() : CBitmapDialog(kDialog, nullptr) {}
    CResourcePicture picture;
    void OnPaint() override {
        ScopedPaint dc(GetSafeHwnd());
        picture.Paint(dc);
    }
};

SIZE WindowSize(HWND hwnd) {
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

bool Reddish(COLORREF c) {
    return GetRValue(c) > 180 && GetBValue(c) < 90;
}
bool Bluish(COLORREF c) {
    return GetBValue(c) > 150 && GetRValue(c) < 90;
}

int GdiObjects() {
    return static_cast<int>(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS));
}

TEST(PictureBackground, SizesTheWindowDrawsThePictureAndReleasesItsObjects) {
    const int gdiBefore = GdiObjects();
    {
        CPictureDialog dialog;
        ASSERT_TRUE(dialog.Create());
        dialog.picture.SetWindow(dialog.GetSafeHwnd());
        ASSERT_TRUE(dialog.picture.LoadFromResource(kTwoColour, "JPGTYPE"));
        EXPECT_EQ(dialog.picture.Width(), 60);
        EXPECT_EQ(dialog.picture.Height(), 40);
        const SIZE size = WindowSize(dialog.GetSafeHwnd());
        EXPECT_EQ(size.cx, 63);
        EXPECT_EQ(size.cy, 43);
        ASSERT_TRUE(dialog.picture.Render());

        // Painted into a surface of our own: red on the left, blue on the right.
        ScopedGetDC screen(nullptr);
        CMemoryDC memory(screen);
        CBitmap surface;
        ASSERT_TRUE(surface.CreateCompatibleBitmap(screen, 60, 40));
        {
            ScopedSelect selected(memory, surface.Get());
            dialog.picture.Paint(memory);
            EXPECT_TRUE(Reddish(::GetPixel(memory, 10, 20)))
                << std::hex << ::GetPixel(memory, 10, 20);
            EXPECT_TRUE(Bluish(::GetPixel(memory, 50, 20)))
                << std::hex << ::GetPixel(memory, 50, 20);
        }
        // And in the window itself, through its WM_PAINT.
        ::RedrawWindow(dialog.GetSafeHwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        PumpMessagesFor(0);
        ScopedGetDC window(dialog.GetSafeHwnd());
        // Between the static above and the trackbar below.
        EXPECT_TRUE(Bluish(::GetPixel(window, 50, 25))) << std::hex << ::GetPixel(window, 50, 25);
        EXPECT_TRUE(Reddish(::GetPixel(window, 10, 25))) << std::hex << ::GetPixel(window, 10, 25);

        // Statics are transparent over the picture; a trackbar keeps its own background.
        HDC dc = window.Get();
        ::SetBkMode(dc, OPAQUE);
        const LRESULT staticBrush =
            ::SendMessageA(dialog.GetSafeHwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(dialog.GetDlgItem(311)));
        EXPECT_EQ(reinterpret_cast<HGDIOBJ>(staticBrush), ::GetStockObject(NULL_BRUSH));
        EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
        ::SetBkMode(dc, OPAQUE);
        const LRESULT trackbarBrush =
            ::SendMessageA(dialog.GetSafeHwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(dialog.GetDlgItem(312)));
        EXPECT_NE(reinterpret_cast<HGDIOBJ>(trackbarBrush), ::GetStockObject(NULL_BRUSH));
        EXPECT_EQ(::GetBkMode(dc), OPAQUE);
    }
    EXPECT_EQ(GdiObjects(), gdiBefore) << "picture, surface and memory DC all released";
}

TEST(PictureBackground, BytesThatAreNoPictureSaySoAndChangeNothing) {
    CPictureDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.picture.SetWindow(dialog.GetSafeHwnd());
    const SIZE before = WindowSize(dialog.GetSafeHwnd());

    // The decoder's message box is modal: answer it from beside.
    std::atomic<bool> done{false};
    std::atomic<bool> sawMessage{false};
    std::thread closer([&] {
        while (!done) {
            HWND box = ::FindWindowA("#32770", nullptr);
            char text[128] = {};
            if (box != nullptr && box != dialog.GetSafeHwnd() &&
                ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text) > 0) {
                sawMessage = std::string(text) ==
                             "The selected file does not appear to be a valid image file!";
                ::PostMessageA(box, WM_COMMAND, IDOK, 0);
            }
            ::Sleep(50);
        }
    });
    const BOOL loaded = dialog.picture.LoadFromResource(kNotAPicture, "JPGTYPE");
    done = true;
    closer.join();
    EXPECT_FALSE(loaded);
    EXPECT_TRUE(sawMessage);
    EXPECT_FALSE(dialog.picture.IsReady());
    EXPECT_FALSE(dialog.picture.Render());
    const SIZE after = WindowSize(dialog.GetSafeHwnd());
    EXPECT_EQ(after.cx, before.cx);
    EXPECT_EQ(after.cy, before.cy);

    // A resource that is not there: no message, nothing changes.
    EXPECT_FALSE(dialog.picture.LoadFromResource(999, "JPGTYPE"));
    EXPECT_EQ(WindowSize(dialog.GetSafeHwnd()).cx, before.cx);
}

} // namespace
