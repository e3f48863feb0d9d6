// Resource identifiers of the GUI program. Plain #defines: the resource
// script includes this header too.
#pragma once

// Application manifest (RT_MANIFEST 1) and icon.
#define IDR_MAINFRAME 5
// The notification area's look while a session is on.
#define IDI_TRAY_SESSION 6

#define IDS_SOCKETS_INIT_FAILED 103

// Main window (template 102); the timer combo's items come from the dialog's
// initialisation data under the same id.
#define IDD_SULVANTIX_DIALOG 102
#define IDC_ADD 131
#define IDC_PROXY_ADDRESS 1000
#define IDC_PROXY_LIST 1001
#define IDC_REMOVE 1003
#define IDC_PROXY_PORT 1006
#define IDC_VETTOR 1007
#define IDC_TIMER_COMBO 1009
#define IDC_LABEL_ADDRESS 1010
#define IDC_LABEL_PORT 1012
#define IDC_LABEL_TIMER 1013
#define IDC_START_STOP 1014
#define IDC_HINT_TIMER 1016
#define IDC_BLANK_STATIC 1017
#define IDC_HELP_BUTTON 1018
#define IDC_UPDATE 1019
#define IDC_MINIMISE 1020
#define IDC_CLOSE 1021
#define IDC_HINT_MANUAL 1023
#define IDC_LIST_HEADING 1032
#define IDC_HINT_START 1033

// Skinned message box (template 155); its OK button is IDOK.
#define IDD_COLOR_MESSAGE_BOX 155
#define IDC_MESSAGE_TEXT 1020

// Resource type of a dialog's initialisation data (RT_DLGINIT).
#define SULVANTIX_RT_DLGINIT 240
