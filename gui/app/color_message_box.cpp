#include "gui/app/color_message_box.h"

#include <algorithm>

#include "framework/app.h"
#include "framework/gdi.h"
#include "gui/controls/app_font_table.h"
#include "gui/controls/skin_ids.h"
#include "gui/controls/static_font_fit.h"
#include "resources/sulvantix/sulvantix_resource.h"
#include "shared/checker_done_message.h"

namespace {

constexpr int kMessageFontEntry = 7;
constexpr int kButtonFontEntry = 12;
// Kept free at the box's sides when a long message spreads out.
constexpr int kMessageMargin = 14;

} // namespace

CColorMessageBox::CColorMessageBox(const std::string& text)
    : CDialog(IDD_COLOR_MESSAGE_BOX), m_strText(text) {}

BOOL CColorMessageBox::OnInitDialog() {
    CDialog::OnInitDialog();
    m_stcMessage.SubclassDlgItem(IDC_MESSAGE_TEXT, this);
    m_btnOK.SubclassDlgItem(IDOK, this);

    // The picture by display class sizes the box to it; any other class keeps
    // the template's size and paints nothing.
    UINT picture = 0;
    switch (g_nAppDpiValue.load()) {
    case 96:
        picture = IDR_MESSAGE_BACKGROUND_96;
        break;
    case 120:
        picture = IDR_MESSAGE_BACKGROUND_120;
        break;
    case 98120:
        picture = IDR_MESSAGE_BACKGROUND_98120;
        break;
    default:
        break;
    }
    m_picture.SetWindow(GetSafeHwnd());
    if (picture != 0 && m_picture.LoadFromResource(picture, "JPGTYPE")) {
        m_picture.Render();
    }
    // Over the middle of the main window that owns it.
    CenterWindow();
    m_stcMessage.SetWindowText(m_strText);
    FitMessage();
    SetWindowText("Sulvantix");

    const RECT client = GetClientRect();
    CRgn region;
    if (region.CreateRoundRectRgn(client.left + 1, client.top + 1, client.right - 3,
                                  client.bottom - 3, 0, 0)) {
        SetWindowRgn(region, true);
    }

    ApplySkin(m_btnOK, kSkinMessageOK);
    m_btnOK.SetWindowText("OK");
    m_btnOK.SetFont(AppFont(kButtonFontEntry), true);
    m_btnOK.SetTextColors(kSkinCaptionColour, kSkinCaptionColour, kSkinCaptionColour);
    return TRUE;
}

bool CColorMessageBox::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (msg == WM_CHECKER_DONE) {
        // The checker finds its window by class "#32770" and caption
        // "Sulvantix", which this box shares while it is open: the message is
        // the main window's.
        HWND main = AfxGetMainWndHandle();
        result = main != nullptr && main != GetSafeHwnd()
                     ? ::SendMessageA(main, msg, wParam, lParam)
                     : 0;
        return true;
    }
    return CDialog::OnMessage(msg, wParam, lParam, result);
}

void CColorMessageBox::OnPaint() {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(GetSafeHwnd(), &ps);
    if (dc != nullptr) {
        if (m_picture.IsReady()) {
            m_picture.Paint(dc);
        } else {
            // Without a picture the box keeps the dialog's face.
            ::FillRect(dc, &ps.rcPaint, ::GetSysColorBrush(COLOR_BTNFACE));
        }
        ::EndPaint(GetSafeHwnd(), &ps);
    }
}

HBRUSH CColorMessageBox::OnCtlColor(HDC dc, HWND control, UINT ctlType) {
    CDialog::OnCtlColor(dc, control, ctlType);
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

void CColorMessageBox::FitMessage() {
    HWND text = m_stcMessage.GetSafeHwnd();
    if (StaticTextFits(text, AppFont(kMessageFontEntry))) {
        m_stcMessage.SetFont(AppFont(kMessageFontEntry), true);
        return;
    }
    // A long message first spreads over the box's width (keeping its centre
    // and a margin), then takes smaller steps of its font.
    RECT box = GetClientRect();
    RECT place{};
    ::GetWindowRect(text, &place);
    ::MapWindowPoints(nullptr, GetSafeHwnd(), reinterpret_cast<POINT*>(&place), 2);
    const int centre = (place.left + place.right) / 2;
    const int half = std::min(centre - box.left, box.right - centre) - kMessageMargin;
    if (half > (place.right - place.left) / 2) {
        ::MoveWindow(text, centre - half, place.top, 2 * half, place.bottom - place.top, FALSE);
    }
    SetFittingAppFont(text, kMessageFontEntry);
}

LRESULT CColorMessageBox::OnNcHitTest(POINT) {
    return HTCAPTION;
}
