// Drives the real Sulvantix.exe from outside, the way a user meets it: the
// programs installed in a scratch "Program Files" folder, the process started
// and found by its windows, buttons clicked by control id and the controls
// read back across the process boundary. Clicks are posted, so a modal box
// that a click opens never blocks the test; every read has a time-out.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "framework/handle.h"
#include "tests/support/wide_text.h"

namespace sx_e2e {

using Lines = std::vector<std::string>;

// The main window's controls.
constexpr int kIdAdd = 131;
constexpr int kIdAddress = 1000;
constexpr int kIdList = 1001;
constexpr int kIdRemove = 1003;
constexpr int kIdPort = 1006;
constexpr int kIdVettor = 1007;
constexpr int kIdTimer = 1009;
constexpr int kIdStartStop = 1014;
constexpr int kIdHelp = 1018;
constexpr int kIdUpdate = 1019;
// The message box's text; the main window's minimise button has the same id.
constexpr int kIdMessageText = 1020;
constexpr UINT kHelpMenuItem = 118;

// Sulvantix.exe and Vettor.exe side by side in "<scratch>\Program Files\Sulvantix\"
// with its "Update" folder; the scratch folder goes with the object.
class CSulvantixInstall {
public:
    // The programs as built, relative to the build tree.
    explicit CSulvantixInstall(const char* builtGui = "gui/app/Sulvantix.exe",
                               const char* builtChecker = "checker/Vettor.exe");
    ~CSulvantixInstall();
    CSulvantixInstall(const CSulvantixInstall&) = delete;
    CSulvantixInstall& operator=(const CSulvantixInstall&) = delete;

    bool Ready() const { return m_bReady; }
    // The program folder, with its closing backslash.
    const std::string& Folder() const { return m_strFolder; }
    std::string Path(const std::string& name) const { return m_strFolder + name; }
    std::string Program() const { return Path("Sulvantix.exe"); }
    // Where the test starts the program from: not the program's own folder.
    const std::string& ScratchRoot() const { return m_strRoot; }

private:
    std::string m_strRoot;
    std::string m_strFolder;
    bool m_bReady = false;
};

// One run of Sulvantix.exe. A run still going when the object goes is ended
// through its handle: only the process this object started.
class CSulvantixProcess {
public:
    CSulvantixProcess() = default;
    ~CSulvantixProcess() { Kill(); }
    CSulvantixProcess(const CSulvantixProcess&) = delete;
    CSulvantixProcess& operator=(const CSulvantixProcess&) = delete;

    bool Start(const std::string& program, const std::string& currentDirectory);
    DWORD Id() const { return m_nId; }
    bool IsRunning() const;
    // The exit code, or STILL_ACTIVE when it still runs after the time.
    DWORD WaitForExit(DWORD timeoutMs) const;
    void Kill();

    // Top-level dialog windows ("#32770") of the process, visible or not.
    std::vector<HWND> Dialogs() const;
    // The dialog that holds the proxy list box; null when there is none.
    HWND MainWindow() const;
    // The main window once it is shown; null after the time.
    HWND WaitForMainWindow(DWORD timeoutMs) const;
    // The shown message box: a dialog with the message text and no list box.
    HWND MessageBox() const;
    HWND WaitForMessageBox(DWORD timeoutMs) const;
    // A shown dialog other than `main`, such as a box; null after the time.
    HWND WaitForOtherDialog(HWND main, DWORD timeoutMs) const;

private:
    UniqueHandle m_hProcess;
    DWORD m_nId = 0;
};

// A shown top-level window of the process with the title; null after the time.
HWND WaitForWindowTitled(DWORD processId, const std::string& title, DWORD timeoutMs);

// UTF-16 text in the ANSI code page (tests/support).
using ::Narrow;

// Window text through WM_GETTEXT (marshalled across processes).
std::string WindowText(HWND window);
std::string MessageText(HWND box);
// Presses the box's OK and waits until the box is gone.
bool ConfirmMessageBox(HWND box, DWORD timeoutMs = 10000);

// Posts the click of an enabled button; false when the button is missing or
// disabled, as a user could not click it either.
bool Click(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
// DM_GETDEFID's control id; 0 when there is no default button.
int DefaultButton(HWND dialog);

Lines ListItems(HWND dialog);
int ListSelection(HWND dialog);
bool SelectListItem(HWND dialog, int index);
Lines ComboItems(HWND dialog, int id);
int ComboSelection(HWND dialog, int id);
bool SelectComboItem(HWND dialog, int id, int index);

// Types an address into the IP address control and a port into its field.
bool TypeProxy(HWND dialog, BYTE a, BYTE b, BYTE c, BYTE d, const std::string& port);
bool IsAddressBlank(HWND dialog);

// A real key press, down and up, after `window` became the foreground window.
// False when it cannot be made the foreground or the input is refused.
bool PressKey(HWND window, WORD virtualKey);

// WM_CHECKER_DONE as the checker sends it: to FindWindowA("#32770",
// "Sulvantix"), by SendMessageA. The window it reached; null when none.
HWND SendCheckerDone();

} // namespace sx_e2e
