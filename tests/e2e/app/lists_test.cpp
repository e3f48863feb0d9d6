// The proxy list in the user's hands: checking a typed proxy, adding it to
// the list and to "Userproxy.txt", removing entries from the list and both
// system lists; and the list update, which shows a new list only on the
// checker's word, including the real Vettor.exe's.
#include <windows.h>

#include "framework/handle.h"
#include "tests/e2e/app/sulvantix_e2e_fixture.h"
#include "tests/support/checker_process.h"
#include "tests/support/file_access.h"
#include "tests/support/message_pump.h"
#include "tools/standins/standin_ports.h"

namespace sx_e2e {
namespace {

struct DesktopTraits {
    using Handle = HDESK;
    static bool IsEmpty(HDESK desktop) { return desktop == nullptr; }
    static HDESK Empty() { return nullptr; }
    static void Close(HDESK desktop) { ::CloseDesktop(desktop); }
};
using UniqueDesktop = CUniqueResource<DesktopTraits>;

using standins::kFarmForbidden;
using standins::kFarmOk;
using standins::kFarmPartial;
using standins::kFarmRelay;
using standins::kFarmSlowPieces;

TEST_F(SulvantixE2e, ChecksAddsAndRemovesTheUsersOwnProxies) {
    const std::string served = Serve({Entry(kFarmSlowPieces), Entry(kFarmPartial)});
    // The user's own list already holds one of the served entries.
    ASSERT_TRUE(WriteWholeFile(SystemFile("Userproxy.txt"), Entry(kFarmSlowPieces) + "\r\n"));
    HWND main = StartProgram(m_app);
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(ListItems(main), (Lines{Entry(kFarmPartial), Entry(kFarmSlowPieces)}));

    // The check (Vettor button) probes through the farm and leaves the
    // machine's settings as they were.
    ASSERT_TRUE(TypeProxy(main, 127, 0, 0, 1, std::to_string(kFarmOk)));
    ASSERT_TRUE(Click(main, kIdVettor));
    EXPECT_TRUE(Acknowledge(m_app, " This proxy is alive.You may use it"));
    EXPECT_TRUE(PumpMessagesUntil([&] { return IsEnabled(main, kIdAdd); }, 5000));
    EXPECT_EQ(MachineProxyLabel(), kUserProxy);
    ASSERT_TRUE(TypeProxy(main, 127, 0, 0, 1, std::to_string(kFarmForbidden)));
    ASSERT_TRUE(Click(main, kIdVettor));
    EXPECT_TRUE(Acknowledge(m_app, " This proxy is not alive."));
    ASSERT_TRUE(PumpMessagesUntil([&] { return IsEnabled(main, kIdAdd); }, 5000));

    // A dead proxy is not added.
    ASSERT_TRUE(Click(main, kIdAdd));
    EXPECT_TRUE(
        Acknowledge(m_app, Entry(kFarmForbidden) + " is not live Proxy . It can not be added."));
    EXPECT_EQ(FileLines(SystemFile("Userproxy.txt")), Lines{Entry(kFarmSlowPieces)});

    // An alive one goes into the list in sorted place and into the user's
    // list, without a word, and the fields are cleared.
    ASSERT_TRUE(TypeProxy(main, 127, 0, 0, 1, std::to_string(kFarmOk)));
    ASSERT_TRUE(Click(main, kIdAdd));
    const Lines added = {Entry(kFarmOk), Entry(kFarmPartial), Entry(kFarmSlowPieces)};
    EXPECT_TRUE(PumpMessagesUntil([&] { return ListItems(main) == added; }, 10000));
    EXPECT_TRUE(NoBoxFor(m_app, 1000));
    EXPECT_EQ(FileLines(SystemFile("Userproxy.txt")),
              (Lines{Entry(kFarmSlowPieces), Entry(kFarmOk)}));
    EXPECT_TRUE(IsAddressBlank(main));
    EXPECT_EQ(WindowText(::GetDlgItem(main, kIdPort)), "");

    // Once listed, the same proxy is refused and stored only once.
    ASSERT_TRUE(TypeProxy(main, 127, 0, 0, 1, std::to_string(kFarmOk)));
    ASSERT_TRUE(Click(main, kIdAdd));
    EXPECT_TRUE(Acknowledge(m_app, " Entry already exist!"));
    EXPECT_EQ(FileLines(SystemFile("Userproxy.txt")),
              (Lines{Entry(kFarmSlowPieces), Entry(kFarmOk)}));

    // Remove takes the selected entry out of both system lists, silently;
    // the download and the checker's input stay as they were.
    ASSERT_TRUE(SelectListItem(main, 2));
    ASSERT_TRUE(Click(main, kIdRemove));
    EXPECT_TRUE(PumpMessagesUntil([&] { return ListItems(main).size() == 2; }, 5000));
    EXPECT_EQ(ListItems(main), (Lines{Entry(kFarmOk), Entry(kFarmPartial)}));
    EXPECT_EQ(FileLines(SystemFile("Userproxy.txt")), Lines{Entry(kFarmOk)});
    EXPECT_EQ(FileLines(SystemFile("Proxylist.txt")), Lines{Entry(kFarmPartial)});
    EXPECT_EQ(ReadWholeFile(Install().Path("Update\\Proxylist.txt")), served);
    EXPECT_EQ(ReadWholeFile(Install().Path("Vettorlist.txt")), served);
    ASSERT_TRUE(SelectListItem(main, 0));
    ASSERT_TRUE(Click(main, kIdRemove));
    EXPECT_TRUE(PumpMessagesUntil([&] { return ListItems(main).size() == 1; }, 5000));
    EXPECT_EQ(ListItems(main), Lines{Entry(kFarmPartial)});
    EXPECT_EQ(FileLines(SystemFile("Userproxy.txt")), Lines{});
    EXPECT_TRUE(NoBoxFor(m_app, 500));
    EXPECT_EQ(MachineProxyLabel(), kUserProxy);

    EXPECT_TRUE(CloseQuietly(m_app, main));
}

TEST_F(SulvantixE2e, UpdateShowsTheNewListOnlyOnTheCheckersWord) {
    const Lines first = {Entry(kFarmOk), Entry(kFarmPartial), Entry(kFarmForbidden)};
    Serve(first);
    HWND main = StartProgram(m_app);
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(ListItems(main), Sorted(first));
    // The start-up download signals nothing.
    const UniqueHandle updateEvent(
        ::OpenEventA(SYNCHRONIZE, FALSE, "Global\\ZK_SULVA_UPDATE_EVENT"));
    ASSERT_TRUE(updateEvent);
    EXPECT_EQ(::WaitForSingleObject(updateEvent.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

    // An error page instead of the list changes nothing and gives the buttons back.
    const std::string firstBytes = ReadWholeFile(SystemFile("Proxylist.txt"));
    SetUpdateServerMode("error");
    ASSERT_TRUE(Click(main, kIdUpdate));
    EXPECT_TRUE(Acknowledge(m_app, " Please check your Network connection."));
    EXPECT_EQ(ReadWholeFile(Install().Path("Update\\Proxylist.txt")), firstBytes);
    EXPECT_EQ(ReadWholeFile(Install().Path("Vettorlist.txt")), firstBytes);
    EXPECT_EQ(ReadWholeFile(SystemFile("Proxylist.txt")), firstBytes);
    EXPECT_EQ(FolderNames(Install().Path("Update")), Lines{"Proxylist.txt"});
    EXPECT_EQ(::WaitForSingleObject(updateEvent.Get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    // The buttons come back once the box is gone, from the update's thread.
    const auto allEnabled = [&] {
        for (int id : {kIdAdd, kIdRemove, kIdVettor, kIdUpdate, kIdStartStop}) {
            if (!IsEnabled(main, id)) {
                return false;
            }
        }
        return true;
    };
    EXPECT_TRUE(PumpMessagesUntil(allEnabled, 5000));
    SetUpdateServerMode("ok");

    const Lines second = {Entry(kFarmSlowPieces), Entry(kFarmOk), Entry(kFarmForbidden),
                          Entry(kFarmRelay)};
    const std::string served = Serve(second);
    ASSERT_TRUE(Click(main, kIdUpdate));
    HWND box = m_app.WaitForMessageBox(20000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageText(box), " File Updated Successfully");
    EXPECT_EQ(ReadWholeFile(Install().Path("Update\\Proxylist.txt")), served);
    EXPECT_EQ(ReadWholeFile(Install().Path("Vettorlist.txt")), served);
    EXPECT_EQ(ReadWholeFile(SystemFile("Proxylist.txt")), served);
    EXPECT_EQ(::WaitForSingleObject(updateEvent.Get(), 0), static_cast<DWORD>(WAIT_OBJECT_0));
    for (int id : {kIdAdd, kIdRemove, kIdVettor, kIdUpdate, kIdStartStop}) {
        EXPECT_TRUE(IsEnabled(main, id)) << id;
    }
    EXPECT_EQ(ListItems(main), Sorted(first));

    // The checker finds the open box by its caption; the box hands the word on.
    EXPECT_EQ(SendCheckerDone(), box);
    EXPECT_TRUE(PumpMessagesUntil([&] { return ListItems(main) == Sorted(second); }, 5000));
    EXPECT_EQ(ListItems(main), Sorted(second));
    ASSERT_TRUE(ConfirmMessageBox(box));

    // The real checker beside the program: it probes the downloaded list,
    // publishes the live entries and tells the window, which shows them. It
    // runs on a desktop of its own, as a standard user's checker runs in the
    // services' session: no window captioned "Sulvantix" is found there, so
    // the word comes through the checker-done event.
    const UniqueDesktop elsewhere(
        ::CreateDesktopA("SulvantixCheckerElsewhere", nullptr, nullptr, 0, GENERIC_ALL, nullptr));
    ASSERT_TRUE(elsewhere);
    CCheckerProcess checker;
    ASSERT_TRUE(
        checker.Start(Install().Path("Vettor.exe"), false, "WinSta0\\SulvantixCheckerElsewhere"));
    const Lines live = {Entry(kFarmOk), Entry(kFarmSlowPieces), Entry(kFarmRelay)};
    EXPECT_TRUE(PumpMessagesUntil([&] { return ListItems(main) == live; }, 45000))
        << "the list shows " << ListItems(main).size() << " entries";
    EXPECT_EQ(Sorted(FileLines(SystemFile("Proxylist.txt"))), live);
    EXPECT_TRUE(NoBoxFor(m_app, 500));
    EXPECT_EQ(checker.FindDialog(), nullptr) << "the checker's window is on this desktop";
    checker.Close(0);

    EXPECT_TRUE(CloseQuietly(m_app, main));
}

} // namespace
} // namespace sx_e2e
