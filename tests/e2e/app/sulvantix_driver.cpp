#include "tests/e2e/app/sulvantix_driver.h"

#include <commctrl.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "tests/support/message_pump.h"
#include "tests/support/process_start.h"
#include "tests/support/process_windows.h"
#include "tests/support/standins_env.h"

namespace sx_e2e {

namespace {

constexpr DWORD kSendTimeoutMs = 5000;
constexpr UINT kCheckerDone = WM_APP + 101;

// SendMessageTimeoutA: a window of the program that stops answering fails the
// read instead of hanging the test.
bool Send(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    DWORD_PTR answer = 0;
    if (!::SendMessageTimeoutA(window, msg, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &answer)) {
        return false;
    }
    result = static_cast<LRESULT>(answer);
    return true;
}

LRESULT SendOr(HWND window, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT failed) {
    LRESULT result = 0;
    return Send(window, msg, wParam, lParam, result) ? result : failed;
}

// The item texts of a list box or combo box of another process. Asked in
// UTF-16: Wine hands the ANSI forms of these two across processes unconverted.
Lines ItemTexts(HWND control, UINT getCount, UINT getLength, UINT getText) {
    Lines items;
    const LRESULT count = SendOr(control, getCount, 0, 0, -1);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendOr(control, getLength, i, 0, -1);
        if (length < 0) {
            break;
        }
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        DWORD_PTR copied = 0;
        if (!::SendMessageTimeoutW(control, getText, i, reinterpret_cast<LPARAM>(&text[0]),
                                   SMTO_NORMAL, kSendTimeoutMs, &copied) ||
            static_cast<LRESULT>(copied) < 0) {
            break;
        }
        text.resize(copied);
        items.push_back(Narrow(text));
    }
    return items;
}

bool CopyBuilt(const std::string& built, const std::string& copy) {
    return ::CopyFileA(standins_env::WinePath(built).c_str(), copy.c_str(), FALSE) != FALSE;
}

} // namespace

CSulvantixInstall::CSulvantixInstall(const char* builtGui, const char* builtChecker) {
    static std::atomic<unsigned> counter{0};
    char temp[MAX_PATH] = {};
    const char* built = std::getenv("SULVANTIX_BINARY_DIR");
    if (::GetTempPathA(sizeof temp, temp) == 0 || built == nullptr) {
        return;
    }
    m_strRoot = std::string(temp) + "sulvantix-e2e-" + std::to_string(::GetCurrentProcessId()) +
                "-" + std::to_string(counter++) + "\\";
    m_strFolder = m_strRoot + "Program Files\\Sulvantix\\";
    std::error_code error;
    std::filesystem::create_directories(m_strFolder + "Update", error);
    m_bReady = !error && CopyBuilt(std::string(built) + "/" + builtGui, Program()) &&
               CopyBuilt(std::string(built) + "/" + builtChecker, Path("Vettor.exe"));
}

CSulvantixInstall::~CSulvantixInstall() {
    if (!m_strRoot.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(m_strRoot, ignored);
    }
}

bool CSulvantixProcess::Start(const std::string& program, const std::string& currentDirectory) {
    Kill();
    CStartOptions options;
    options.m_strProgram = program;
    options.m_strFolder = currentDirectory;
    CStartedProcess started = StartProcess("\"" + program + "\"", options);
    m_hProcess = std::move(started.m_hProcess);
    m_nId = started.m_nId;
    return static_cast<bool>(m_hProcess);
}

bool CSulvantixProcess::IsRunning() const {
    return m_hProcess && ::WaitForSingleObject(m_hProcess.Get(), 0) == WAIT_TIMEOUT;
}

DWORD CSulvantixProcess::WaitForExit(DWORD timeoutMs) const {
    if (!m_hProcess) {
        return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    // Pumped: a window of this thread must not hold up the program's broadcasts.
    if (PumpMessagesUntil([&] { return !IsRunning(); }, timeoutMs)) {
        ::GetExitCodeProcess(m_hProcess.Get(), &code);
    }
    return code;
}

void CSulvantixProcess::Kill() {
    if (IsRunning()) {
        ::TerminateProcess(m_hProcess.Get(), 1);
        ::WaitForSingleObject(m_hProcess.Get(), 10000);
    }
}

std::vector<HWND> CSulvantixProcess::Dialogs() const {
    return ProcessWindows(m_nId, "#32770");
}

HWND CSulvantixProcess::MainWindow() const {
    for (HWND dialog : Dialogs()) {
        if (::GetDlgItem(dialog, kIdList) != nullptr) {
            return dialog;
        }
    }
    return nullptr;
}

HWND CSulvantixProcess::WaitForMainWindow(DWORD timeoutMs) const {
    HWND main = nullptr;
    PumpMessagesUntil(
        [&] {
            main = MainWindow();
            return main != nullptr && ::IsWindowVisible(main);
        },
        timeoutMs);
    return main != nullptr && ::IsWindowVisible(main) ? main : nullptr;
}

HWND CSulvantixProcess::MessageBox() const {
    for (HWND dialog : Dialogs()) {
        if (::GetDlgItem(dialog, kIdMessageText) != nullptr &&
            ::GetDlgItem(dialog, kIdList) == nullptr && ::IsWindowVisible(dialog)) {
            return dialog;
        }
    }
    return nullptr;
}

HWND CSulvantixProcess::WaitForMessageBox(DWORD timeoutMs) const {
    HWND box = nullptr;
    PumpMessagesUntil([&] { return (box = MessageBox()) != nullptr; }, timeoutMs);
    return box;
}

HWND CSulvantixProcess::WaitForOtherDialog(HWND main, DWORD timeoutMs) const {
    HWND other = nullptr;
    PumpMessagesUntil(
        [&] {
            for (HWND dialog : Dialogs()) {
                if (dialog != main && ::IsWindowVisible(dialog)) {
                    other = dialog;
                }
            }
            return other != nullptr;
        },
        timeoutMs);
    return other;
}

HWND WaitForWindowTitled(DWORD processId, const std::string& title, DWORD timeoutMs) {
    HWND found = nullptr;
    PumpMessagesUntil(
        [&] {
            found = FindProcessWindow(processId, [&](HWND window) {
                return ::IsWindowVisible(window) && WindowText(window) == title;
            });
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

std::string WindowText(HWND window) {
    LRESULT length = 0;
    if (window == nullptr || !Send(window, WM_GETTEXTLENGTH, 0, 0, length) || length <= 0) {
        return std::string();
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    LRESULT copied = 0;
    if (!Send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), copied)) {
        return std::string();
    }
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::string MessageText(HWND box) {
    return WindowText(::GetDlgItem(box, kIdMessageText));
}

bool ConfirmMessageBox(HWND box, DWORD timeoutMs) {
    if (!::PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                        reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)))) {
        return false;
    }
    return PumpMessagesUntil([&] { return !::IsWindow(box); }, timeoutMs);
}

bool Click(HWND dialog, int id) {
    HWND button = ::GetDlgItem(dialog, id);
    if (button == nullptr || !::IsWindowEnabled(button)) {
        return false;
    }
    return ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                          reinterpret_cast<LPARAM>(button)) != FALSE;
}

bool IsEnabled(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    return control != nullptr && ::IsWindowEnabled(control);
}

int DefaultButton(HWND dialog) {
    const LRESULT answer = SendOr(dialog, DM_GETDEFID, 0, 0, 0);
    return HIWORD(answer) == DC_HASDEFID ? LOWORD(answer) : 0;
}

Lines ListItems(HWND dialog) {
    return ItemTexts(::GetDlgItem(dialog, kIdList), LB_GETCOUNT, LB_GETTEXTLEN, LB_GETTEXT);
}

int ListSelection(HWND dialog) {
    return static_cast<int>(SendOr(::GetDlgItem(dialog, kIdList), LB_GETCURSEL, 0, 0, LB_ERR));
}

bool SelectListItem(HWND dialog, int index) {
    return SendOr(::GetDlgItem(dialog, kIdList), LB_SETCURSEL, index, 0, LB_ERR) == index;
}

Lines ComboItems(HWND dialog, int id) {
    return ItemTexts(::GetDlgItem(dialog, id), CB_GETCOUNT, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

int ComboSelection(HWND dialog, int id) {
    return static_cast<int>(SendOr(::GetDlgItem(dialog, id), CB_GETCURSEL, 0, 0, CB_ERR));
}

bool SelectComboItem(HWND dialog, int id, int index) {
    return SendOr(::GetDlgItem(dialog, id), CB_SETCURSEL, index, 0, CB_ERR) == index;
}

bool TypeProxy(HWND dialog, BYTE a, BYTE b, BYTE c, BYTE d, const std::string& port) {
    LRESULT ignored = 0;
    return Send(::GetDlgItem(dialog, kIdAddress), IPM_SETADDRESS, 0, MAKEIPADDRESS(a, b, c, d),
                ignored) &&
           Send(::GetDlgItem(dialog, kIdPort), WM_SETTEXT, 0,
                reinterpret_cast<LPARAM>(port.c_str()), ignored);
}

bool IsAddressBlank(HWND dialog) {
    return SendOr(::GetDlgItem(dialog, kIdAddress), IPM_ISBLANK, 0, 0, 0) != 0;
}

bool PressKey(HWND window, WORD virtualKey) {
    ::SetForegroundWindow(window);
    if (!PumpMessagesUntil([&] { return ::GetForegroundWindow() == window; }, 5000)) {
        return false;
    }
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = virtualKey;
    inputs[0].ki.wScan = static_cast<WORD>(::MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    return ::SendInput(2, inputs, sizeof(INPUT)) == 2;
}

HWND SendCheckerDone() {
    HWND window = ::FindWindowA("#32770", "Sulvantix");
    LRESULT ignored = 0;
    return window != nullptr && Send(window, kCheckerDone, 0, 0, ignored) ? window : nullptr;
}

} // namespace sx_e2e
