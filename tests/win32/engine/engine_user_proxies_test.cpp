// The user's own proxies over farm proxies: Add with its probe and the
// Userproxy.txt line, the Vettor button's check on its worker, Remove from the
// list box and both list files.
#include <gtest/gtest.h>

#include <windows.h>

// After windows.h, which it needs.
#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

#include "gui/engine/user_proxy_text.h"
#include "resources/sulvantix/sulvantix_resource.h"
#include "tests/support/debug_output_capture.h"
#include "tests/support/standins_env.h"
#include "tests/win32/engine/engine_test_support.h"
#include "tools/standins/standin_ports.h"

namespace {

using Strings = std::vector<std::string>;

const int kGroup3[] = {IDC_REMOVE, IDC_UPDATE, IDC_ADD, IDC_START_STOP, IDC_VETTOR};

bool Enabled(const CEngineHarness& harness, int id) {
    return ::IsWindowEnabled(harness.Item(id)) != FALSE;
}

std::size_t Requests(int port) {
    return standins_env::LoggedRequests(port).size();
}

std::string PortText(const CEngineHarness& harness) {
    char text[32] = {};
    ::GetWindowTextA(harness.Item(IDC_PROXY_PORT), text, sizeof text);
    return text;
}

bool AddressBlank(const CEngineHarness& harness) {
    return ::SendMessageA(harness.Item(IDC_PROXY_ADDRESS), IPM_ISBLANK, 0, 0) != 0;
}

// The IP address control has no message that fills some fields and leaves
// the others blank (IPM_SETADDRESS fills all four): clear it, then type into
// its first field, the leftmost of its edit children.
void TypeFirstAddressField(const CEngineHarness& harness, const char* text) {
    const HWND control = harness.Item(IDC_PROXY_ADDRESS);
    ::SendMessageA(control, IPM_CLEARADDRESS, 0, 0);
    HWND first = nullptr;
    LONG firstLeft = 0;
    for (HWND child = ::GetWindow(control, GW_CHILD); child != nullptr;
         child = ::GetWindow(child, GW_HWNDNEXT)) {
        RECT rect;
        ::GetWindowRect(child, &rect);
        if (first == nullptr || rect.left < firstLeft) {
            first = child;
            firstLeft = rect.left;
        }
    }
    ::SetWindowTextA(first, text);
}

TEST(UserProxies, AddProbesStoresOnceInSortedPlaceAndRefusesWhatIsListedOrDead) {
    CEngineHarness harness;
    ASSERT_TRUE(harness.Ready());
    harness.WriteSystemFile("Proxylist.txt",
                            "127.0.0.1:18107\r\n10.0.0.5:80\r\n127.0.0.1:18099\r\n");
    harness.WriteSystemFile("Userproxy.txt", "10.0.0.7:3128\r\n");
    ASSERT_EQ(harness.Engine().LoadProxyLists(), 0);
    const std::string userList = harness.SystemFile("Userproxy.txt");
    const std::size_t probesBefore = Requests(standins::kFarmOk);

    // The port is taken trimmed.
    harness.TypeProxy(127, 0, 0, 1, " 18100 ");
    harness.Click(IDC_ADD);
    EXPECT_TRUE(harness.Window().m_messages.empty());
    EXPECT_EQ(harness.ListItems(), (Strings{"10.0.0.5:80", "10.0.0.7:3128", "127.0.0.1:18099",
                                            "127.0.0.1:18100", "127.0.0.1:18107"}));
    EXPECT_EQ(harness.Read(userList), "10.0.0.7:3128\r\n127.0.0.1:18100\r\n");
    EXPECT_TRUE(AddressBlank(harness));
    EXPECT_EQ(PortText(harness), "");
    EXPECT_EQ(harness.Engine().CurrentPort(), 18100);
    EXPECT_EQ(Requests(standins::kFarmOk), probesBefore + 1);

    // Again: probed again, then refused; nothing written twice.
    harness.TypeProxy(127, 0, 0, 1, "18100");
    harness.Click(IDC_ADD);
    EXPECT_EQ(harness.Window().m_messages, Strings{" Entry already exist!"});
    EXPECT_EQ(Requests(standins::kFarmOk), probesBefore + 2);
    EXPECT_EQ(harness.Read(userList), "10.0.0.7:3128\r\n127.0.0.1:18100\r\n");
    EXPECT_EQ(harness.ListItems().size(), 5u);
    EXPECT_EQ(PortText(harness), "18100") << "a refused entry stays typed in";

    // Dead: refused with its text, no file touched.
    harness.Window().m_messages.clear();
    harness.TypeProxy(127, 0, 0, 1, "18107");
    harness.Click(IDC_ADD);
    EXPECT_EQ(harness.Window().m_messages,
              Strings{"127.0.0.1:18107 is not live Proxy . It can not be added."});
    EXPECT_EQ(harness.Read(userList), "10.0.0.7:3128\r\n127.0.0.1:18100\r\n");
    EXPECT_EQ(harness.Read(harness.SystemFile("Proxylist.txt")),
              "127.0.0.1:18107\r\n10.0.0.5:80\r\n127.0.0.1:18099\r\n");
    EXPECT_EQ(harness.ListItems().size(), 5u);
}

// The list's search matches any item that begins with the entry's text.
TEST(UserProxies, AnItemThatBeginsWithTheEntryCountsAsTheEntry) {
    CEngineHarness harness;
    ASSERT_TRUE(harness.Ready());
    harness.WriteSystemFile("Proxylist.txt", "127.0.0.1:181001\r\n");
    ASSERT_EQ(harness.Engine().LoadProxyLists(), 0);
    harness.TypeProxy(127, 0, 0, 1, "18100");
    harness.Click(IDC_ADD);
    EXPECT_EQ(harness.Window().m_messages, Strings{" Entry already exist!"});
    EXPECT_EQ(harness.ListItems(), Strings{"127.0.0.1:181001"});
    EXPECT_FALSE(std::filesystem::exists(harness.SystemFile("Userproxy.txt")));
}

TEST(UserProxies, IncompleteFieldsAreRefusedWithoutAProbe) {
    CEngineHarness harness;
    ASSERT_TRUE(harness.Ready());
    const std::size_t probesBefore = Requests(standins::kFarmOk);
    CRecordingWindow& window = harness.Window();

    ::SendMessageA(harness.Item(IDC_PROXY_ADDRESS), IPM_CLEARADDRESS, 0, 0);
    ::SetWindowTextA(harness.Item(IDC_PROXY_PORT), "18100");
    harness.Click(IDC_ADD);
    harness.TypeProxy(127, 0, 0, 1, "");
    harness.Click(IDC_ADD);
    harness.TypeProxy(127, 0, 0, 1, "  ");
    harness.Click(IDC_ADD);
    EXPECT_EQ(window.m_messages, (Strings{" Blank IP Address is not allowed ! ",
                                          " Blank Port Number is not allowed ! ",
                                          " Blank Port Number is not allowed ! "}));

    // The check says the same of either field, from its worker.
    window.m_messages.clear();
    harness.Click(IDC_VETTOR);
    ASSERT_TRUE(PumpUntil([&] { return window.m_messages.size() == 1; }, 10000));
    ::SendMessageA(harness.Item(IDC_PROXY_ADDRESS), IPM_CLEARADDRESS, 0, 0);
    ::SetWindowTextA(harness.Item(IDC_PROXY_PORT), "18100");
    harness.Click(IDC_VETTOR);
    ASSERT_TRUE(PumpUntil([&] { return window.m_messages.size() == 2; }, 10000));
    PumpFor(300);
    EXPECT_EQ(window.m_messages, (Strings{" Please enter both address and port of Proxy",
                                          " Please enter both address and port of Proxy"}));
    for (int id : kGroup3) {
        EXPECT_TRUE(id == IDC_START_STOP || Enabled(harness, id)) << id;
    }

    // Only the first field filled: the blank ones count as 0.
    TypeFirstAddressField(harness, "10");
    ::SetWindowTextA(harness.Item(IDC_PROXY_PORT), "");
    const CTypedProxy typed = harness.Window().TypedProxy();
    EXPECT_EQ(UserProxyAddress(typed.m_fields, typed.m_nNonBlank), "10.0.0.0");
    EXPECT_EQ(typed.m_strPort, "");
    window.m_messages.clear();
    harness.Click(IDC_ADD);
    EXPECT_EQ(window.m_messages, Strings{" Blank Port Number is not allowed ! "});

    EXPECT_TRUE(harness.Options().Calls().empty()) << "nothing was saved for a probe";
    EXPECT_EQ(Requests(standins::kFarmOk), probesBefore);
}

TEST(UserProxies, TheCheckRunsOnAWorkerWithItsButtonsOffAndPutsTheSettingsBackQuietly) {
    CEngineHarness harness;
    ASSERT_TRUE(harness.Ready());
    ASSERT_TRUE(SetMachineProxy(PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY, "127.0.0.1:18114"));
    const DWORD windowThread = ::GetCurrentThreadId();
    // With the list empty Start/Stop stays off, so all of group 3 is off while checking.
    bool anyEnabledAtMessage = true;
    DWORD messageThread = 0;
    harness.Window().m_onMessage = [&](const std::string&) {
        messageThread = ::GetCurrentThreadId();
        anyEnabledAtMessage = false;
        for (int id : kGroup3) {
            anyEnabledAtMessage = anyEnabledAtMessage || Enabled(harness, id);
        }
    };
    const struct {
        int port;
        const char* message;
    } cases[] = {{standins::kFarmOk, " This proxy is alive.You may use it"},
                 {standins::kFarmForbidden, " This proxy is not alive."}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.port);
        harness.Options().Clear();
        harness.Window().m_messages.clear();
        const std::size_t probesBefore = Requests(c.port);
        harness.TypeProxy(127, 0, 0, 1, std::to_string(c.port).c_str());
        harness.Click(IDC_VETTOR);
        ASSERT_TRUE(PumpUntil(
            [&] { return !harness.Window().m_messages.empty() && Enabled(harness, IDC_VETTOR); },
            20000));
        PumpFor(300);
        EXPECT_EQ(harness.Window().m_messages, Strings{c.message});
        EXPECT_EQ(messageThread, windowThread);
        EXPECT_FALSE(anyEnabledAtMessage);
        for (int id : kGroup3) {
            EXPECT_EQ(Enabled(harness, id), id != IDC_START_STOP) << id;
        }
        EXPECT_EQ(Requests(c.port), probesBefore + 1);
        EXPECT_EQ(PortText(harness), std::to_string(c.port)) << "the check keeps the fields";

        // Saved before and written back after, on the window's thread, with
        // no refresh or settings-changed notification.
        const std::vector<CRecordedCall> calls = harness.Options().Calls();
        ASSERT_EQ(calls.size(), 2u);
        EXPECT_EQ(calls[0].m_kind, CRecordedCall::Kind::Query);
        EXPECT_EQ(calls[1].m_kind, CRecordedCall::Kind::Set);
        for (const CRecordedCall& call : calls) {
            EXPECT_EQ(call.m_nOption, static_cast<DWORD>(INTERNET_OPTION_PER_CONNECTION_OPTION));
            EXPECT_EQ(call.m_options.size(), 7u);
            EXPECT_EQ(call.m_nThreadId, windowThread);
        }
        ASSERT_EQ(calls[1].m_options.size(), calls[0].m_options.size());
        for (std::size_t i = 0; i < calls[0].m_options.size(); ++i) {
            EXPECT_EQ(calls[1].m_options[i].m_nId, calls[0].m_options[i].m_nId) << i;
            EXPECT_EQ(calls[1].m_options[i].m_nNumber, calls[0].m_options[i].m_nNumber) << i;
            EXPECT_EQ(calls[1].m_options[i].m_strText, calls[0].m_options[i].m_strText) << i;
        }
        EXPECT_EQ(MachineProxy().m_strServer, "127.0.0.1:18114");
    }

    // A save that failed writes nothing back: its list holds no settings.
    harness.Options().Clear();
    harness.Window().m_messages.clear();
    harness.Options().m_bFailQueries = true;
    harness.Click(IDC_VETTOR);
    ASSERT_TRUE(PumpUntil(
        [&] { return !harness.Window().m_messages.empty() && Enabled(harness, IDC_VETTOR); },
        20000));
    PumpFor(300);
    const std::vector<CRecordedCall> calls = harness.Options().Calls();
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].m_kind, CRecordedCall::Kind::Query);
    EXPECT_FALSE(calls[0].m_bResult);
    EXPECT_EQ(MachineProxy().m_strServer, "127.0.0.1:18114");
}

TEST(UserProxies, ClosingDuringACheckDropsItsResult) {
    CDebugOutputCapture capture;
    ASSERT_TRUE(capture.IsListening());
    CEngineHarness harness;
    ASSERT_TRUE(harness.Ready());
    // This proxy answers "OK" some seconds after the request: the probe does
    // end, alive, well within the test.
    const int port = standins::kFarmLateOkPort;
    const std::string valid = "Valid ->127.0.0.1:" + std::to_string(port);
    const std::size_t probesBefore = Requests(port);
    harness.TypeProxy(127, 0, 0, 1, std::to_string(port).c_str());
    harness.Click(IDC_VETTOR);
    ASSERT_TRUE(PumpUntil([&] { return Requests(port) > probesBefore; }, 10000));
    EXPECT_FALSE(Enabled(harness, IDC_VETTOR));

    const auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(harness.Engine().OnCancel());
    const auto cancelMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                              std::chrono::steady_clock::now() - start)
                              .count();
    EXPECT_LT(cancelMs, 1500);
    EXPECT_FALSE(harness.Engine().HasWorker());

    ASSERT_TRUE(PumpUntil(
        [&] {
            const Strings texts = capture.Texts();
            return std::find(texts.begin(), texts.end(), valid) != texts.end();
        },
        (standins::kFarmLateOkSeconds + 10) * 1000))
        << "the probe came back alive";
    PumpFor(1500);
    EXPECT_TRUE(harness.Window().m_messages.empty());
    EXPECT_FALSE(Enabled(harness, IDC_VETTOR)) << "closing: the group stays off";
    for (const CRecordedCall& call : harness.Options().Calls()) {
        EXPECT_NE(call.m_kind, CRecordedCall::Kind::Set) << "a check let go writes nothing back";
    }
}

TEST(UserProxies, RemoveTakesTheSelectedEntryFromTheListAndEveryCopyInBothFiles) {
    CEngineHarness harness;
    ASSERT_TRUE(harness.Ready());
    harness.WriteSystemFile("Userproxy.txt",
                            "10.0.0.9:80\r\n\r\nhost.example:80\r\n  \r\n10.0.0.9:80\r\n");
    harness.WriteSystemFile("Proxylist.txt",
                            "HOST.EXAMPLE:80\r\n\r\n10.0.0.9:80\r\n127.0.0.1:18100\r\n");
    ASSERT_EQ(harness.Engine().LoadProxyLists(), 0);
    // The list box's search folds case: the upper-case line is not listed twice.
    ASSERT_EQ(harness.ListItems(), (Strings{"10.0.0.9:80", "127.0.0.1:18100", "host.example:80"}));
    const std::string userList = harness.SystemFile("Userproxy.txt");
    const std::string mainList = harness.SystemFile("Proxylist.txt");

    ::SendMessageA(harness.Item(IDC_PROXY_LIST), LB_SETCURSEL, 0, 0);
    harness.Click(IDC_REMOVE);
    EXPECT_EQ(harness.ListItems(), (Strings{"127.0.0.1:18100", "host.example:80"}));
    EXPECT_EQ(harness.Read(userList), "host.example:80\r\n");
    EXPECT_EQ(harness.Read(mainList), "HOST.EXAMPLE:80\r\n127.0.0.1:18100\r\n");
    EXPECT_EQ(::SendMessageA(harness.Item(IDC_PROXY_LIST), LB_GETCURSEL, 0, 0), LB_ERR);

    // No selection now: nothing changes.
    harness.Click(IDC_REMOVE);
    EXPECT_EQ(harness.ListItems(), (Strings{"127.0.0.1:18100", "host.example:80"}));
    EXPECT_EQ(harness.Read(userList), "host.example:80\r\n");
    EXPECT_EQ(harness.Read(mainList), "HOST.EXAMPLE:80\r\n127.0.0.1:18100\r\n");

    // A line that differs in letter case is another entry and stays.
    ::SendMessageA(harness.Item(IDC_PROXY_LIST), LB_SETCURSEL, 1, 0);
    harness.Click(IDC_REMOVE);
    EXPECT_EQ(harness.ListItems(), Strings{"127.0.0.1:18100"});
    EXPECT_EQ(harness.Read(userList), "");
    EXPECT_EQ(harness.Read(mainList), "HOST.EXAMPLE:80\r\n127.0.0.1:18100\r\n");
    EXPECT_TRUE(harness.Window().m_messages.empty());

    // The last entry gone, Start/Stop goes off.
    ::SendMessageA(harness.Item(IDC_PROXY_LIST), LB_SETCURSEL, 0, 0);
    harness.Click(IDC_REMOVE);
    EXPECT_TRUE(harness.ListItems().empty());
    EXPECT_EQ(harness.Read(mainList), "HOST.EXAMPLE:80\r\n");
    EXPECT_FALSE(Enabled(harness, IDC_START_STOP));
}

} // namespace
