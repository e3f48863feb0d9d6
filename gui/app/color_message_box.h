// The program's message box: template 155, the message centred over the
// box's picture, one OK button, dragged by any point. Run modally by the main
// window's ShowMessage on the window's thread.
#pragma once

#include <string>

#include "framework/dialog.h"
#include "gui/controls/color_static.h"
#include "gui/controls/resource_picture.h"
#include "gui/controls/skin_button.h"

class CColorMessageBox : public CDialog {
public:
    // No parent: the framework makes the main window its owner.
    explicit CColorMessageBox(const std::string& text);

    BOOL OnInitDialog() override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    void OnPaint() override;
    HBRUSH OnCtlColor(HDC dc, HWND control, UINT ctlType) override;
    LRESULT OnNcHitTest(POINT screenPoint) override;

    const std::string& Text() const { return m_strText; }

private:
    // The message in its font where it fits, else spread wider and smaller.
    void FitMessage();

    CColorStatic m_stcMessage;
    std::string m_strText;
    CxSkinButton m_btnOK;
    CResourcePicture m_picture;
};
