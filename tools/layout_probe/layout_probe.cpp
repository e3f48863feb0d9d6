// Prints, as JSON on standard output, where the controls of the main window
// (template 102) and of the message box (template 155) land in pixels once the
// system has built the dialogs from this module's copy of the program's
// resources: each direct child's id, window class, visibility and rectangle
// relative to the dialog's client area, the dialog's client size, its dialog
// base units and font, and the display's resolution with the display class the
// program would choose there.
//
// The dialogs are laid out by the system from dialog units, so the pixels
// depend on the resolution and on the face that "MS Shell Dlg" stands for; the
// artwork is drawn on what this prints (docs/art.md), not on arithmetic.
//
//   layout_probe.exe > layout.json
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <string>

#include "framework/gdi.h"
#include "gui/controls/cpu_info.h"
#include "resources/sulvantix/sulvantix_resource.h"

namespace {

INT_PTR CALLBACK ProbeDialogProc(HWND, UINT message, WPARAM, LPARAM) {
    // Focus goes wherever the system puts it; nothing else is handled.
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

std::string ClassName(HWND hwnd) {
    char buf[256] = {};
    ::GetClassNameA(hwnd, buf, sizeof buf);
    return buf;
}

// JSON string body: the class and face names are plain ASCII, but quote
// anything that would break the document all the same.
std::string Quoted(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", static_cast<unsigned char>(c));
            out += esc;
        } else {
            out += c;
        }
    }
    return out + "\"";
}

// The face the system really chose for the dialog's font: "MS Shell Dlg" is
// a name that the font substitutes map to an installed face, and the base
// units follow that face's average character width.
std::string FontFace(HWND dialog) {
    const auto font = reinterpret_cast<HFONT>(::SendMessageA(dialog, WM_GETFONT, 0, 0));
    if (font == nullptr) {
        return std::string();
    }
    ScopedGetDC dc(dialog);
    ScopedSelect select(dc, font);
    char face[LF_FACESIZE] = {};
    ::GetTextFaceA(dc, sizeof face, face);
    return face;
}

// One dialog as a JSON object; false when the system could not build it.
bool PrintDialog(int templateId, bool last) {
    HWND dialog = ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId),
                                       nullptr, ProbeDialogProc, 0);
    if (dialog == nullptr) {
        const DWORD error = ::GetLastError();
        std::fprintf(stderr, "layout_probe: dialog %d not created (error %lu)\n", templateId,
                     error);
        return false;
    }

    RECT client{};
    ::GetClientRect(dialog, &client);
    // MapDialogRect of 4 by 8 dialog units gives the base units themselves.
    RECT base{0, 0, 4, 8};
    ::MapDialogRect(dialog, &base);

    std::printf("    {\n      \"id\": %d,\n      \"client\": [%ld, %ld],\n", templateId,
                client.right - client.left, client.bottom - client.top);
    std::printf("      \"base_units\": [%ld, %ld],\n      \"font\": %s,\n", base.right, base.bottom,
                Quoted(FontFace(dialog)).c_str());
    std::printf("      \"controls\": [\n");
    bool first = true;
    for (HWND child = ::GetWindow(dialog, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT r{};
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&r), 2);
        const bool visible = (::GetWindowLongA(child, GWL_STYLE) & WS_VISIBLE) != 0;
        std::printf("%s        {\"id\": %d, \"class\": %s, \"visible\": %s, "
                    "\"rect\": [%ld, %ld, %ld, %ld]}",
                    first ? "" : ",\n", ::GetDlgCtrlID(child), Quoted(ClassName(child)).c_str(),
                    visible ? "true" : "false", r.left, r.top, r.right - r.left, r.bottom - r.top);
        first = false;
    }
    std::printf("\n      ]\n    }%s\n", last ? "" : ",");
    ::DestroyWindow(dialog);
    return true;
}

} // namespace

int main() {
    // The IP address control of template 102 is registered by this class set.
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_INTERNET_CLASSES | ICC_STANDARD_CLASSES};
    if (!::InitCommonControlsEx(&icc)) {
        std::fprintf(stderr, "layout_probe: InitCommonControlsEx failed\n");
        return 1;
    }

    int dpiX = 0;
    int dpiY = 0;
    {
        ScopedGetDC screen(nullptr);
        dpiX = ::GetDeviceCaps(screen, LOGPIXELSX);
        dpiY = ::GetDeviceCaps(screen, LOGPIXELSY);
    }
    CCPUInfo info;
    const std::string windowsName = info.GetOSVerTag();
    const unsigned dpiClass = info.GetDpiValue();

    std::printf("{\n  \"dpi\": [%d, %d],\n  \"windows\": %s,\n  \"class\": %u,\n", dpiX, dpiY,
                Quoted(windowsName).c_str(), dpiClass);
    std::printf("  \"dialogs\": [\n");
    const bool mainOk = PrintDialog(IDD_SULVANTIX_DIALOG, false);
    const bool boxOk = PrintDialog(IDD_COLOR_MESSAGE_BOX, true);
    std::printf("  ]\n}\n");
    std::fflush(stdout);
    return mainOk && boxOk ? 0 : 1;
}
