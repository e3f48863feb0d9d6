// The proxy list update against the update stand-in: the Update button's
// worker, the start-up form, and the checker's word that a validated list is
// in place.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "resources/sulvantix/sulvantix_resource.h"
#include "shared/checker_done_message.h"
#include "tests/support/debug_output_capture.h"
#include "tests/support/standins_env.h"
#include "tests/win32/engine/engine_test_support.h"
#include "tools/standins/standin_ports.h"

namespace {

using Strings = std::vector<std::string>;

const char kCheckNetwork[] = " Please check your Network connection.";
const std::string kErrorPageBase =
    "http://127.0.0.1:" + std::to_string(standins::kUpdateServerErrorPagePort);
const std::string kDownBase = "http://127.0.0.1:" + std::to_string(standins::kClosedPort);

bool WriteBytes(const std::string& path, const std::string& bytes) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        return false;
    }
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && written;
}

// What the update server hands out during one test; the stand-ins' own list
// comes back afterwards, since other tests count on it.
class CServedList {
public:
    explicit CServedList(const std::string& bytes)
        : m_strPath(standins_env::StatePath("www/Proxylist.txt")),
          m_bHad(std::filesystem::exists(m_strPath)), m_strBefore(CScratchDir::Read(m_strPath)) {
        m_bWritten = WriteBytes(m_strPath, bytes);
    }
    ~CServedList() {
        if (m_bHad) {
            WriteBytes(m_strPath, m_strBefore);
        } else {
            std::remove(m_strPath.c_str());
        }
    }
    CServedList(const CServedList&) = delete;
    CServedList& operator=(const CServedList&) = delete;
    bool Written() const { return m_bWritten; }

private:
    const std::string m_strPath;
    const bool m_bHad;
    const std::string m_strBefore;
    bool m_bWritten = false;
};

bool Enabled(const CEngineHarness& harness, int id) {
    return ::IsWindowEnabled(harness.Item(id)) != FALSE;
}

// The event is auto-reset and named: whatever set it before this test goes.
void DrainEvent(HANDLE event) {
    while (::WaitForSingleObject(event, 0) == WAIT_OBJECT_0) {
    }
}

// The names in a folder, sorted: no stray download or replacement is left.
Strings FolderNames(const std::string& folder) {
    Strings names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Whether Update was usable as each message appeared, and on which thread.
struct CMessageWatch {
    explicit CMessageWatch(CEngineHarness& harness) {
        harness.Window().m_onMessage = [this, &harness](const std::string&) {
            m_updateEnabled.push_back(::IsWindowEnabled(harness.Item(IDC_UPDATE)) != FALSE);
            m_threads.push_back(::GetCurrentThreadId());
        };
    }
    std::vector<bool> m_updateEnabled;
    std::vector<DWORD> m_threads;
};

std::string DownloadPath(const CEngineHarness& harness) {
    return harness.ProgramFile("Update") + "\\Proxylist.txt";
}

HWND Dialog(const CEngineHarness& harness) {
    return ::GetParent(harness.Item(IDC_PROXY_LIST));
}

std::size_t ListRequests() {
    std::size_t count = 0;
    for (const Strings& request : standins_env::LoggedRequests(standins::kUpdateServerPort)) {
        if (!request.empty() && request[0].rfind("GET /Proxylist.txt ", 0) == 0) {
            ++count;
        }
    }
    return count;
}

TEST(ListUpdate, AButtonPressCopiesTheDownloadSignalsOnceAndTheListWaitsForTheChecker) {
    const std::string served = "127.0.0.1:18100\r\n10.1.2.3:8080\r\n127.0.0.1:18107\r\n";
    CServedList list(served);
    ASSERT_TRUE(list.Written());
    CEngineHarness harness;
    ASSERT_TRUE(harness.Ready());
    ASSERT_TRUE(SetMachineProxy(PROXY_TYPE_DIRECT, nullptr));
    harness.WriteSystemFile("Proxylist.txt", "127.0.0.1:18099\r\n");
    ASSERT_EQ(harness.Engine().LoadProxyLists(), 0);
    DrainEvent(harness.UpdateEvent());
    const std::size_t requestsBefore = ListRequests();
    CMessageWatch watch(harness);
    CDebugOutputCapture capture;
    ASSERT_TRUE(capture.IsListening());

    harness.Click(IDC_UPDATE);
    // The worker reaches the window only through its thread, which has not
    // pumped yet: this is the state OnUpdate itself left.
    for (int id : {IDC_REMOVE, IDC_VETTOR, IDC_ADD, IDC_UPDATE}) {
        EXPECT_FALSE(Enabled(harness, id)) << id;
    }
    EXPECT_TRUE(Enabled(harness, IDC_START_STOP)) << "Start/Stop follows the list count";
    EXPECT_TRUE(harness.Window().m_messages.empty());

    ASSERT_TRUE(PumpUntil([&] { return !harness.Window().m_messages.empty(); }, 20000));
    ASSERT_TRUE(PumpUntil(
        [&] {
            const Strings texts = capture.Texts();
            return std::find(texts.begin(), texts.end(), "Out UpdateThread") != texts.end();
        },
        10000));
    PumpFor(200);
    EXPECT_EQ(harness.Window().m_messages, Strings{" File Updated Successfully"});
    // The buttons come back before the word, which the worker shows through
    // the window's thread.
    EXPECT_EQ(watch.m_updateEnabled, std::vector<bool>{true});
    EXPECT_EQ(watch.m_threads, std::vector<DWORD>{::GetCurrentThreadId()});
    for (int id : {IDC_REMOVE, IDC_VETTOR, IDC_START_STOP, IDC_ADD, IDC_UPDATE}) {
        EXPECT_TRUE(Enabled(harness, id)) << id;
    }
    EXPECT_EQ(harness.Read(DownloadPath(harness)), served);
    EXPECT_EQ(harness.Read(harness.ProgramFile("Vettorlist.txt")), served);
    EXPECT_EQ(harness.Read(harness.SystemFile("Proxylist.txt")), served);
    EXPECT_EQ(FolderNames(harness.ProgramFile("Update")), Strings{"Proxylist.txt"});
    EXPECT_EQ(FolderNames(harness.ProgramFile("")), (Strings{"Update", "Vettorlist.txt"}));
    EXPECT_EQ(FolderNames(harness.SystemFile("")), Strings{"Proxylist.txt"});
    EXPECT_EQ(ListRequests(), requestsBefore + 1);
    EXPECT_EQ(::WaitForSingleObject(harness.UpdateEvent(), 0), WAIT_OBJECT_0);
    EXPECT_EQ(::WaitForSingleObject(harness.UpdateEvent(), 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "auto-reset, and set once";

    const Strings expected = {"In UpdateThread",
                              "In UpdateProxyList",
                              "Before GetFile",
                              "After GetFile",
                              "Before CopyFile",
                              "After CopyFile",
                              "Before Waiting",
                              "After Waiting",
                              "Before SetAnonimizeStatusOnListCount",
                              "After SetAnonimizeStatusOnListCount",
                              "Out UpdateProxyList",
                              "Out UpdateThread"};
    Strings traced;
    for (const std::string& text : capture.Texts()) {
        if (std::find(expected.begin(), expected.end(), text) != expected.end()) {
            traced.push_back(text);
        }
    }
    EXPECT_EQ(traced, expected);

    // The unvalidated download is not shown until the checker says so.
    EXPECT_EQ(harness.ListItems(), Strings{"127.0.0.1:18099"});
    // The checker waits for the answer, which comes once the list is reloaded.
    EXPECT_EQ(::SendMessageA(Dialog(harness), WM_CHECKER_DONE, 0, 0), 0);
    EXPECT_EQ(harness.ListItems(),
              (Strings{"10.1.2.3:8080", "127.0.0.1:18100", "127.0.0.1:18107"}));
}

TEST(ListUpdate, AFailedUpdateLeavesEveryFileAsItWasAndGivesTheButtonsBack) {
    CServedList list("127.0.0.1:18100\r\n");
    ASSERT_TRUE(list.Written());
    enum class Folder { Usual, Missing, DownloadIsAFolder };
    struct Case {
        const char* name;
        std::string baseUrl; // empty: the working update server
        Folder folder;
        const char* listed;
    };
    // The error page is the long one: its first 512 bytes look harmless and
    // reach the disk before the error words show. A download that cannot be
    // put in place (a folder in its way) is a failed download too.
    const Case cases[] = {
        {"error page", kErrorPageBase, Folder::Usual, "127.0.0.1:18099\r\n"},
        {"server down", kDownBase, Folder::Usual, ""},
        {"no Update folder", std::string(), Folder::Missing, "127.0.0.1:18099\r\n"},
        {"download cannot be put in place", std::string(), Folder::DownloadIsAFolder,
         "127.0.0.1:18099\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CEngineHarness harness(c.baseUrl);
        ASSERT_TRUE(harness.Ready());
        ASSERT_TRUE(SetMachineProxy(PROXY_TYPE_DIRECT, nullptr));
        const std::string oldDownload = "old download\r\n";
        const std::string oldInput = "old checker input\r\n";
        if (c.folder == Folder::Missing) {
            ASSERT_TRUE(::RemoveDirectoryA(harness.ProgramFile("Update").c_str()));
        } else if (c.folder == Folder::DownloadIsAFolder) {
            ASSERT_TRUE(::CreateDirectoryA(DownloadPath(harness).c_str(), nullptr));
        } else {
            ASSERT_TRUE(WriteBytes(DownloadPath(harness), oldDownload));
        }
        const std::string input = harness.ProgramFile("Vettorlist.txt");
        ASSERT_TRUE(WriteBytes(input, oldInput));
        harness.WriteSystemFile("Proxylist.txt", c.listed);
        harness.Engine().LoadProxyLists();
        const bool listed = !harness.ListItems().empty();
        DrainEvent(harness.UpdateEvent());
        CMessageWatch watch(harness);

        harness.Click(IDC_UPDATE);
        EXPECT_FALSE(Enabled(harness, IDC_UPDATE));
        ASSERT_TRUE(PumpUntil([&] { return !harness.Window().m_messages.empty(); }, 20000));
        PumpFor(300);
        EXPECT_EQ(harness.Window().m_messages, Strings{kCheckNetwork});
        EXPECT_EQ(watch.m_updateEnabled, std::vector<bool>{false}) << "the word, then the buttons";
        for (int id : {IDC_REMOVE, IDC_VETTOR, IDC_ADD, IDC_UPDATE}) {
            EXPECT_TRUE(Enabled(harness, id)) << id;
        }
        EXPECT_EQ(Enabled(harness, IDC_START_STOP), listed);
        EXPECT_EQ(::WaitForSingleObject(harness.UpdateEvent(), 0),
                  static_cast<DWORD>(WAIT_TIMEOUT));
        EXPECT_EQ(harness.Read(input), oldInput);
        EXPECT_EQ(harness.Read(harness.SystemFile("Proxylist.txt")), c.listed);
        if (c.folder == Folder::Missing) {
            EXPECT_EQ(FolderNames(harness.ProgramFile("")), Strings{"Vettorlist.txt"});
        } else {
            if (c.folder == Folder::Usual) {
                EXPECT_EQ(harness.Read(DownloadPath(harness)), oldDownload);
            }
            EXPECT_EQ(FolderNames(harness.ProgramFile("Update")), Strings{"Proxylist.txt"});
            EXPECT_EQ(FolderNames(harness.ProgramFile("")), (Strings{"Update", "Vettorlist.txt"}));
        }
        EXPECT_EQ(FolderNames(harness.SystemFile("")), Strings{"Proxylist.txt"});
    }
}

TEST(ListUpdate, TheStartUpFormCopiesWithoutSignalOrWordAndReportsOnlyAFailure) {
    const std::string served = "127.0.0.1:18100\r\n10.1.2.3:8080\r\n";
    CServedList list(served);
    ASSERT_TRUE(list.Written());
    {
        CEngineHarness harness;
        ASSERT_TRUE(harness.Ready());
        ASSERT_TRUE(SetMachineProxy(PROXY_TYPE_DIRECT, nullptr));
        harness.WriteSystemFile("Proxylist.txt", "127.0.0.1:18099\r\n");
        ASSERT_EQ(harness.Engine().LoadProxyLists(), 0);
        // The start-up form leaves the buttons to the window's start-up.
        ::EnableWindow(harness.Item(IDC_UPDATE), FALSE);
        DrainEvent(harness.UpdateEvent());

        EXPECT_EQ(harness.Engine().UpdateProxyList(true), 1);
        PumpFor(200);
        EXPECT_TRUE(harness.Window().m_messages.empty());
        EXPECT_EQ(::WaitForSingleObject(harness.UpdateEvent(), 0),
                  static_cast<DWORD>(WAIT_TIMEOUT));
        EXPECT_EQ(harness.Read(DownloadPath(harness)), served);
        EXPECT_EQ(harness.Read(harness.ProgramFile("Vettorlist.txt")), served);
        EXPECT_EQ(harness.Read(harness.SystemFile("Proxylist.txt")), served);
        EXPECT_EQ(harness.ListItems(), Strings{"127.0.0.1:18099"});
        EXPECT_FALSE(Enabled(harness, IDC_UPDATE));
    }
    {
        CEngineHarness harness(kDownBase);
        ASSERT_TRUE(harness.Ready());
        ASSERT_TRUE(SetMachineProxy(PROXY_TYPE_DIRECT, nullptr));
        ::EnableWindow(harness.Item(IDC_UPDATE), FALSE);
        EXPECT_EQ(harness.Engine().UpdateProxyList(true), 0);
        EXPECT_EQ(harness.Window().m_messages, Strings{kCheckNetwork});
        EXPECT_FALSE(Enabled(harness, IDC_UPDATE));
        EXPECT_TRUE(FolderNames(harness.ProgramFile("Update")).empty());
        EXPECT_EQ(FolderNames(harness.ProgramFile("")), Strings{"Update"});
        EXPECT_TRUE(FolderNames(harness.SystemFile("")).empty());
    }
}

TEST(ListUpdate, TheCheckersWordDuringASessionLeavesTheListAlone) {
    // Real seconds: no rotation wrap may reload the list within the test.
    CEngineHarness harness(std::string(), 1000);
    ASSERT_TRUE(harness.Ready());
    // The user's own settings: the relay, through which Start finds the network.
    ASSERT_TRUE(SetMachineProxy(PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY, "127.0.0.1:18114"));
    harness.WriteSystemFile("Proxylist.txt", "127.0.0.1:18100\r\n");
    ASSERT_EQ(harness.Engine().LoadProxyLists(), 0);
    harness.Click(IDC_START_STOP);
    ASSERT_TRUE(PumpUntil([&] { return !harness.Options().AppliedServers().empty(); }, 20000));
    ASSERT_EQ(harness.Engine().StartStopState(), "Stop Anonymizing");

    harness.WriteSystemFile("Proxylist.txt", "127.0.0.1:18100\r\n10.1.2.3:8080\r\n");
    EXPECT_EQ(::SendMessageA(Dialog(harness), WM_CHECKER_DONE, 0, 0), 0);
    PumpFor(1000);
    EXPECT_EQ(harness.ListItems(), Strings{"127.0.0.1:18100"});

    // Once the session is over the same word reloads.
    harness.Click(IDC_START_STOP);
    ASSERT_EQ(harness.Engine().StartStopState(), "Start Anonymizing");
    EXPECT_EQ(::SendMessageA(Dialog(harness), WM_CHECKER_DONE, 0, 0), 0);
    EXPECT_EQ(harness.ListItems(), (Strings{"10.1.2.3:8080", "127.0.0.1:18100"}));
}

} // namespace
