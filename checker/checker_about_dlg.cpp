#include "checker/checker_about_dlg.h"

#include "resources/vettor/vettor_resource.h"

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}
