#include "tests/e2e/app/sulvantix_e2e_fixture.h"

#include <shlobj.h>
#include <wininet.h>

#include <algorithm>

#include "tests/support/file_access.h"
#include "tests/support/machine_proxy.h"
#include "tests/support/message_pump.h"
#include "tests/support/standins_env.h"
#include "tools/standins/standin_ports.h"

namespace sx_e2e {

const char kUserProxy[] = "127.0.0.1:18114";
const char kNoLiveProxy[] =
    "No live proxy avaliable in the list, Plese click on Update to get live proxies!!";
const char kSettingsSaved[] = " Current Network settings saved";
const char kSettingOriginal[] = " Setting Original Proxy Settings ";

namespace {

constexpr DWORD kStartTimeoutMs = 30000;

std::string RecordFolder() {
    char folder[MAX_PATH] = {};
    if (::SHGetFolderPathA(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, folder) !=
        S_OK) {
        return std::string();
    }
    return std::string(folder) + "\\Sulvantix";
}

std::string Describe(HWND dialog) {
    std::string text = WindowText(::GetDlgItem(dialog, kIdMessageText));
    if (text.empty()) {
        text = WindowText(::GetDlgItem(dialog, 0xFFFF)); // a standard message box's text
    }
    return "a dialog captioned \"" + WindowText(dialog) + "\" saying \"" + text + "\"";
}

} // namespace

std::string Entry(int port) {
    return "127.0.0.1:" + std::to_string(port);
}

Lines FileLines(const std::string& path) {
    return TextLines(ReadWholeFile(path));
}

Lines Sorted(Lines lines) {
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::string ListBytes(const Lines& entries) {
    std::string bytes;
    for (const std::string& entry : entries) {
        bytes += entry + "\r\n";
    }
    return bytes;
}

std::size_t LoggedRequestsWith(int port, const std::string& text) {
    std::size_t count = 0;
    for (const std::vector<std::string>& request : standins_env::LoggedRequests(port)) {
        if (!request.empty() && request.front().find(text) != std::string::npos) {
            ++count;
        }
    }
    return count;
}

CFileKeeper::CFileKeeper(std::string path, bool removeNow)
    : m_strPath(std::move(path)), m_bExisted(FileExists(m_strPath)),
      m_strBytes(ReadWholeFile(m_strPath)) {
    if (removeNow) {
        ::DeleteFileA(m_strPath.c_str());
    }
}

CFileKeeper::~CFileKeeper() {
    ::DeleteFileA(m_strPath.c_str());
    if (m_bExisted) {
        WriteWholeFile(m_strPath, m_strBytes);
    }
}

void SulvantixE2e::SetUp() {
    ASSERT_FALSE(standins_env::UnixStateDir().empty()) << "no stand-ins state folder";
    m_pMachine = std::make_unique<CMachineProxyGuard>();
    for (const char* name : {"Proxylist.txt", "Userproxy.txt"}) {
        m_files.push_back(std::make_unique<CFileKeeper>(SystemFile(name), true));
    }
    m_bRecordFolderExisted = FileExists(RecordFolder());
    // A record left behind would make the program put old settings back.
    m_files.push_back(std::make_unique<CFileKeeper>(CrashRecordPath(), true));
    m_files.push_back(
        std::make_unique<CFileKeeper>(standins_env::StatePath("www/Proxylist.txt"), false));
    m_files.push_back(std::make_unique<CFileKeeper>(
        standins_env::StatePath("mode-" + std::to_string(standins::kUpdateServerPort)), false));
    // A scenario before may have left the server down; it reads its mode only
    // every 250 ms, so a start right away could still find it down.
    SetUpdateServerMode("ok");
    ASSERT_TRUE(SetMachineProxy(PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY, kUserProxy));
    ASSERT_EQ(MachineProxyLabel(), kUserProxy);
    m_pInstall = MakeInstall();
    ASSERT_TRUE(m_pInstall->Ready()) << "cannot install the programs into " << m_pInstall->Folder();
}

void SulvantixE2e::TearDown() {
    m_app.Kill();
    m_pInstall.reset();
    // Up before its mode file goes back: a test after this one must not meet
    // the server still down while it rereads the file.
    SetUpdateServerMode("ok");
    m_files.clear();
    if (!m_bRecordFolderExisted) {
        ::RemoveDirectoryA(RecordFolder().c_str()); // only when empty
    }
    m_pMachine.reset();
}

std::string SulvantixE2e::Serve(const Lines& entries) {
    const std::string bytes = ListBytes(entries);
    EXPECT_TRUE(WriteWholeFile(standins_env::StatePath("www/Proxylist.txt"), bytes));
    return bytes;
}

void SulvantixE2e::SetUpdateServerMode(const char* mode) {
    const std::string path =
        standins_env::StatePath("mode-" + std::to_string(standins::kUpdateServerPort));
    ASSERT_TRUE(WriteWholeFile(path, mode));
    // The server reads its mode file at least every 250 ms.
    PumpMessagesUntil([] { return false; }, 600);
}

std::string SulvantixE2e::SystemFile(const char* name) {
    char folder[MAX_PATH] = {};
    ::GetSystemDirectoryA(folder, sizeof folder);
    return std::string(folder) + "\\" + name;
}

std::string SulvantixE2e::CrashRecordPath() {
    return RecordFolder() + "\\SavedProxySettings.dat";
}

HWND SulvantixE2e::StartProgram(CSulvantixProcess& process) {
    if (!process.Start(Install().Program(), Install().ScratchRoot())) {
        ADD_FAILURE() << "cannot start " << Install().Program();
        return nullptr;
    }
    HWND main = process.WaitForMainWindow(kStartTimeoutMs);
    EXPECT_NE(main, nullptr) << "no main window shown";
    return main;
}

HWND SulvantixE2e::StartProgramToBox(CSulvantixProcess& process) {
    if (!process.Start(Install().Program(), Install().ScratchRoot())) {
        ADD_FAILURE() << "cannot start " << Install().Program();
        return nullptr;
    }
    HWND box = process.WaitForMessageBox(kStartTimeoutMs);
    EXPECT_NE(box, nullptr) << "no message box shown";
    return box;
}

::testing::AssertionResult SulvantixE2e::Acknowledge(const CSulvantixProcess& process,
                                                     const std::string& text, DWORD timeoutMs) {
    HWND box = process.WaitForMessageBox(timeoutMs);
    if (box == nullptr) {
        return ::testing::AssertionFailure() << "no box saying \"" << text << "\"";
    }
    const std::string shown = MessageText(box);
    if (!ConfirmMessageBox(box)) {
        return ::testing::AssertionFailure() << "the box \"" << shown << "\" does not close";
    }
    if (shown != text) {
        return ::testing::AssertionFailure()
               << "the box says \"" << shown << "\", not \"" << text << "\"";
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SulvantixE2e::StartSession(HWND main, const std::string& entry) {
    if (!Click(main, kIdStartStop)) {
        return ::testing::AssertionFailure() << "Start cannot be clicked";
    }
    ::testing::AssertionResult saved = Acknowledge(m_app, kSettingsSaved);
    if (!saved) {
        return saved;
    }
    if (!PumpMessagesUntil([&] { return MachineProxyLabel() == entry; }, 10000)) {
        return ::testing::AssertionFailure()
               << "the machine goes through " << MachineProxyLabel() << ", not " << entry;
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SulvantixE2e::NoBoxFor(const CSulvantixProcess& process, DWORD ms) {
    HWND other = process.WaitForOtherDialog(process.MainWindow(), ms);
    if (other != nullptr) {
        return ::testing::AssertionFailure() << "the program shows " << Describe(other);
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult SulvantixE2e::CloseQuietly(CSulvantixProcess& process, HWND main) {
    if (!::PostMessageA(main, WM_CLOSE, 0, 0)) {
        return ::testing::AssertionFailure() << "cannot post WM_CLOSE";
    }
    HWND other = nullptr;
    PumpMessagesUntil(
        [&] {
            for (HWND dialog : process.Dialogs()) {
                if (dialog != main && ::IsWindowVisible(dialog)) {
                    other = dialog;
                }
            }
            return other != nullptr || !process.IsRunning();
        },
        15000);
    if (other != nullptr) {
        return ::testing::AssertionFailure() << "closing shows " << Describe(other);
    }
    const DWORD code = process.WaitForExit(1000);
    if (code != 0) {
        return ::testing::AssertionFailure() << "the program ends with code " << code;
    }
    return ::testing::AssertionSuccess();
}

} // namespace sx_e2e
