// The checker's About box (template 100), opened from its system menu.
#pragma once

#include "framework/dialog.h"

class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
