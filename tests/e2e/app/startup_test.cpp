// Start-up as the user meets it: the served list fetched through the user's
// own settings and shown sorted without a word, one instance per logon, a
// clean close; and with the update server down, the two warnings in order.
#include <windows.h>
#include <wininet.h>

#include "tests/e2e/app/sulvantix_e2e_fixture.h"
#include "tests/support/file_access.h"
#include "tests/support/message_pump.h"
#include "tools/standins/standin_ports.h"

namespace sx_e2e {
namespace {

bool ProbeKeyExists() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "software\\SXTest", 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(key);
    return true;
}

// A window of the test's own, to take the foreground from the program.
class CForegroundDecoy {
public:
    CForegroundDecoy()
        : m_hWnd(::CreateWindowExA(0, "STATIC", "decoy", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50,
                                   nullptr, nullptr, nullptr, nullptr)) {}
    ~CForegroundDecoy() {
        if (m_hWnd != nullptr) {
            ::DestroyWindow(m_hWnd);
        }
    }
    CForegroundDecoy(const CForegroundDecoy&) = delete;
    CForegroundDecoy& operator=(const CForegroundDecoy&) = delete;

    bool TakeForeground() const {
        ::SetForegroundWindow(m_hWnd);
        return PumpMessagesUntil([&] { return ::GetForegroundWindow() == m_hWnd; }, 5000);
    }

private:
    HWND m_hWnd;
};

TEST_F(SulvantixE2e, StartsQuietlyWithTheServedListAndRunsOncePerLogon) {
    // Served out of order: the list box sorts.
    const std::string served = Serve(
        {Entry(standins::kFarmRelay), Entry(standins::kFarmOk), Entry(standins::kFarmForbidden)});
    ASSERT_FALSE(ProbeKeyExists());
    const std::size_t relayed = LoggedRequestsWith(standins::kFarmRelay, "/Proxylist.txt");

    HWND main = StartProgram(m_app);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(NoBoxFor(m_app, 1500));
    EXPECT_EQ(WindowText(main), "Sulvantix");
    EXPECT_EQ(ListItems(main), (Lines{Entry(standins::kFarmOk), Entry(standins::kFarmForbidden),
                                      Entry(standins::kFarmRelay)}));
    // One download, through the user's own proxy, in all three places.
    EXPECT_EQ(LoggedRequestsWith(standins::kFarmRelay, "/Proxylist.txt"), relayed + 1);
    EXPECT_EQ(ReadWholeFile(Install().Path("Update\\Proxylist.txt")), served);
    EXPECT_EQ(ReadWholeFile(Install().Path("Vettorlist.txt")), served);
    EXPECT_EQ(ReadWholeFile(SystemFile("Proxylist.txt")), served);
    EXPECT_FALSE(FileExists(SystemFile("Userproxy.txt")));
    EXPECT_TRUE(IsEnabled(main, kIdStartStop));
    EXPECT_EQ(DefaultButton(main), kIdStartStop);
    EXPECT_EQ(ComboItems(main, kIdTimer),
              (Lines{"20 Sec", "40 Sec", "60 Sec", "80 Sec", "100 Sec", "120 Sec", "2 Hrs"}));
    EXPECT_EQ(ComboSelection(main, kIdTimer), 2);
    // The registry-rights probe leaves nothing behind.
    EXPECT_FALSE(ProbeKeyExists());
    // Nothing of the session machinery ran.
    EXPECT_EQ(MachineProxyLabel(), kUserProxy);
    EXPECT_FALSE(FileExists(CrashRecordPath()));

    // A second start brings the first forward and ends without a window.
    CForegroundDecoy decoy;
    ASSERT_TRUE(decoy.TakeForeground());
    CSulvantixProcess second;
    ASSERT_TRUE(second.Start(Install().Program(), Install().ScratchRoot()));
    bool secondShowedWindow = false;
    EXPECT_TRUE(PumpMessagesUntil(
        [&] {
            secondShowedWindow = secondShowedWindow || !second.Dialogs().empty();
            return !second.IsRunning();
        },
        10000))
        << "the second start does not end";
    EXPECT_FALSE(secondShowedWindow);
    EXPECT_TRUE(m_app.IsRunning());
    EXPECT_EQ(m_app.MainWindow(), main);
    EXPECT_TRUE(PumpMessagesUntil([&] { return ::GetForegroundWindow() == main; }, 5000))
        << "the first window is not brought forward";

    // One instance per logon is its identifier's: the guard's three objects
    // bear it while it runs, and a build with another identifier runs beside it.
    const std::string id = "DADB3684-7492-4b7b-9974-404B3F7A2972";
    EXPECT_TRUE(UniqueHandle(::OpenEventA(SYNCHRONIZE, FALSE, (id + "-Event").c_str())));
    EXPECT_TRUE(
        UniqueHandle(::OpenMutexA(SYNCHRONIZE, FALSE, (id + "-Data-Mapping-Mutex").c_str())));
    EXPECT_TRUE(UniqueHandle(
        ::OpenFileMappingA(FILE_MAP_READ, FALSE, (id + "-Data-Mapping-File").c_str())));
    std::string program = ReadWholeFile(Install().Program());
    const std::string::size_type at = program.find(id);
    ASSERT_NE(at, std::string::npos);
    program[at + id.size() - 1] = '3';
    ASSERT_TRUE(WriteWholeFile(Install().Path("SulvantixOther.exe"), program));
    CSulvantixProcess other;
    ASSERT_TRUE(other.Start(Install().Path("SulvantixOther.exe"), Install().ScratchRoot()));
    HWND otherMain = other.WaitForMainWindow(30000);
    EXPECT_NE(otherMain, nullptr) << "another identifier found the first instance";
    if (otherMain != nullptr) {
        EXPECT_TRUE(CloseQuietly(other, otherMain));
    }

    EXPECT_TRUE(CloseQuietly(m_app, main));
}

TEST_F(SulvantixE2e, WithTheServerDownItWarnsBeforeShowingThenOnceAboutTheEmptyList) {
    // The user goes out directly, and nothing answers on the update port.
    ASSERT_TRUE(SetMachineProxy(PROXY_TYPE_DIRECT, nullptr));
    SetUpdateServerMode("down");

    HWND box = StartProgramToBox(m_app);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageText(box), " Please check your Network connection.");
    HWND main = m_app.MainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(::IsWindowVisible(main)) << "the warning comes before the window shows";
    ASSERT_TRUE(ConfirmMessageBox(box));

    box = m_app.WaitForMessageBox(10000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageText(box), kNoLiveProxy);
    EXPECT_TRUE(::IsWindowVisible(main));
    ASSERT_TRUE(ConfirmMessageBox(box));
    EXPECT_TRUE(NoBoxFor(m_app, 2500)) << "the empty-list warning shows once";

    EXPECT_TRUE(ListItems(main).empty());
    EXPECT_FALSE(IsEnabled(main, kIdStartStop));
    for (int id : {kIdAdd, kIdRemove, kIdVettor, kIdUpdate}) {
        EXPECT_TRUE(IsEnabled(main, id)) << id;
    }
    // A failed download leaves nothing, not even a part, anywhere.
    EXPECT_EQ(FolderNames(Install().Path("Update")), Lines{});
    EXPECT_FALSE(FileExists(Install().Path("Vettorlist.txt")));
    EXPECT_FALSE(FileExists(SystemFile("Proxylist.txt")));

    EXPECT_TRUE(CloseQuietly(m_app, main));
}

TEST_F(SulvantixE2e, StartWithTheNetworkGoneEndsTheProgramAndTouchesNothing) {
    Serve({Entry(standins::kFarmOk)});
    HWND main = StartProgram(m_app);
    ASSERT_NE(main, nullptr);
    // The user now goes out directly, and the server has gone away.
    ASSERT_TRUE(SetMachineProxy(PROXY_TYPE_DIRECT, nullptr));
    SetUpdateServerMode("down");

    ASSERT_TRUE(Click(main, kIdStartStop));
    EXPECT_TRUE(Acknowledge(m_app, " Please check your Network connection"));
    EXPECT_EQ(m_app.WaitForExit(10000), 0u);
    EXPECT_EQ(MachineProxyLabel(), "direct");
    EXPECT_FALSE(FileExists(CrashRecordPath()));
}

} // namespace
} // namespace sx_e2e
