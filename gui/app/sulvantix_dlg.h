// The program's only window (template 102): the proxy list, the fields for a
// proxy of the user's own, the rotation timer, and the buttons. Its proxy
// work is the engine's (gui/engine); this class is the window: controls,
// start-up, messages, timers and the close path.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/controls.h"
#include "framework/gdi.h"
#include "gui/app/checker_done_watch.h"
#include "gui/app/tray_icon.h"
#include "gui/app/tray_text.h"
#include "gui/controls/bitmap_dialog.h"
#include "gui/controls/color_static.h"
#include "gui/controls/flat_combo_box.h"
#include "gui/controls/transparent_static.h"
#include "gui/controls/resource_picture.h"
#include "gui/controls/skin_button.h"
#include "gui/controls/skin_ids.h"
#include "gui/engine/proxy_engine.h"
#include "shared/shared_link.h"

class CDialogEngineWindow;
class CSulvantixDlg;

// The system-menu item that opens the help file.
constexpr UINT IDM_HELP_ITEM = 118;

// The notification-area icon's mouse messages, its tooltip's countdown timer
// and its menu's own items; Start/Stop and Exit carry the buttons' ids.
constexpr UINT WM_TRAY_NOTIFY = WM_APP + 102;
constexpr UINT IDT_TRAY_TIP = 102;
constexpr UINT IDM_TRAY_OPEN = 40001;
constexpr UINT IDM_TRAY_BALLOONS = 40002;

// What the window is built over. The program takes the defaults: its own
// skinned message box and skins, the machine's Internet options and the
// build's settings. Tests pass a recorder and scratch folders, and so go
// through the same routing of commands, timers and messages as the program.
struct CMainWindowSetup {
    std::function<std::shared_ptr<CDialogEngineWindow>(CSulvantixDlg&)> m_makeEngineWindow;
    IInternetOptions* m_pInternetOptions = nullptr;
    CEngineSettings m_settings;
};

class CSulvantixDlg : public CBitmapDialog {
public:
    explicit CSulvantixDlg(CWnd* parent = nullptr, CMainWindowSetup setup = CMainWindowSetup());
    ~CSulvantixDlg() override;

    BOOL OnInitDialog() override;
    void OnCancel() override;
    bool OnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    void OnPaint() override;
    void OnTimer(UINT_PTR id) override;
    void OnClose() override;
    BOOL OnHelpInfo(HELPINFO* info) override;
    LRESULT OnNcHitTest(POINT screenPoint) override;
    void OnSysCommand(UINT id, LPARAM lParam) override;
    void OnDestroy() override;
    BOOL OnEraseBkgnd(HDC dc) override;
    BOOL OnQueryEndSession() override;
    void DoDataExchange(CDataExchange* dx) override;

    void OpenHelpFile();
    // The Start/Stop button's skin: the Stop look while anonymizing.
    void SetStartStopSkin(bool stopLook);
    CProxyEngine* Engine() const { return m_pEngine.get(); }

    // What the notification area shows, from the engine's window side: the
    // session on or off (the Start/Stop button's look) and each switch.
    void ShowSessionInTray(bool on);
    void ShowProxyInForce(const std::string& entry, unsigned periodMs);
    const CTrayIcon& Tray() const { return m_tray; }

private:
    void LoadBackground();
    void SetWindowRegion();
    void SetTextsAndFonts();
    // The list's selection and the period as the controls hold them, to the engine.
    void ReportChoices();
    // Through the engine's window side, which tests watch.
    void PostQuit(int exitCode);
    void RefreshTray();
    // The class of the entry in force from the checker's file beside the program.
    void ReadClassInForce();
    void OnTrayNotify(LPARAM mouseMessage);
    std::vector<CTrayMenuItem> TrayMenu() const;
    // Restored if minimised, shown and brought to the front.
    void OpenWindow();

    CSharedLink m_link;
    CCheckerDoneWatch m_checkerDoneWatch;
    CResourcePicture m_picture;
    HICON m_hIcon;

    CxSkinButton m_btnStartStop;
    CxSkinButton m_btnAdd;
    CxSkinButton m_btnVettor;
    CxSkinButton m_btnRemove;
    CxSkinButton m_btnUpdate;
    CxSkinButton m_btnHidden;
    CxSkinButton m_btnHelp;
    CxSkinButton m_btnMinimise;
    CxSkinButton m_btnClose;
    CColorStatic m_stcHintStart;
    CColorStatic m_stcHintManual;
    CColorStatic m_stcListHeading;
    CColorStatic m_stcLabelAddress;
    CColorStatic m_stcLabelPort;
    CColorStatic m_stcHintTimer;
    CColorStatic m_stcLabelTimer;
    CTransparentStatic m_stcBlank;
    CCJFlatComboBox m_cmbTimer;

    CTrayModel m_trayModel;
    CTrayIcon m_tray;

    CMainWindowSetup m_setup;
    std::shared_ptr<CDialogEngineWindow> m_pEngineWindow;
    std::shared_ptr<CProxyEngine> m_pEngine;
};
