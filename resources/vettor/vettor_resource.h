// Resource identifiers of the checker program.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_VETTOR_DIALOG 102
#define IDR_MAINFRAME 128
// System-menu command of the About item (a multiple of 16, below 0xF000).
#define IDM_ABOUTBOX 0x0010
