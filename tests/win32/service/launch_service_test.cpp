// RODerevAva.exe under Wine's service manager, installed beside Vettor.exe
// and SulvantixRecover.exe in a scratch folder: it holds the link's objects,
// starts that Vettor at its own start, starts it again on a good request at
// most once per 10 s and once per session, refuses every other request with
// its reason traced, and stops and is deleted cleanly.
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "tests/support/debug_output_capture.h"
#include "tests/win32/service/service_test_support.h"
#include "shared/launch_request.h"
#include "shared/shared_link.h"
#include "tests/support/debug_output_capture.h"
#include "tests/support/message_pump.h"
#include "tests/support/process_environment.h"

namespace {

constexpr DWORD kStartTimeoutMs = 20000;
constexpr DWORD kAnswerTimeoutMs = 10000;
const char kRefused[] = "RODerevAva: refused: ";
const char kStarted[] = "RODerevAva: started ";

bool StartsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}

std::vector<unsigned char> Record(const std::string& path, const std::string& arguments = "") {
    std::vector<unsigned char> record(launch_request::kRecordSize, 0);
    std::copy(path.begin(), path.end(), record.begin());
    std::copy(arguments.begin(), arguments.end(), record.begin() + launch_request::kArgumentOffset);
    return record;
}

class LaunchService : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyProgram(BuiltProgram("service/RODerevAva.exe"), ServicePath()));
        ASSERT_TRUE(CopyProgram(BuiltProgram("checker/Vettor.exe"), VettorPath()));
        ASSERT_TRUE(CopyProgram(BuiltProgram("service/SulvantixRecover.exe"),
                                installed.Path() + "SulvantixRecover.exe"));
        // The same program as a different file, in another folder.
        ASSERT_TRUE(CopyProgram(VettorPath(), elsewhere.Path() + "Vettor.exe"));
        ASSERT_TRUE(CopyProgram(VettorPath(), elsewhere.Path() + "Other.exe"));
    }

    // Whatever the service started for this test, and only that; the service
    // itself is stopped by its registration's owner.
    void TearDown() override {
        for (const DWORD id : OurProcesses()) {
            EndProcessById(id);
        }
    }

    std::string ServicePath() const { return installed.Path() + "RODerevAva.exe"; }
    std::string VettorPath() const { return installed.Path() + "Vettor.exe"; }

    // Starts the service and ends the Vettor it starts at its own start.
    void StartServiceAndEndItsVettor() {
        ASSERT_EQ(service.Install(ServicePath()), "");
        const DWORD first = WaitForProcessWithImage(VettorPath(), kStartTimeoutMs);
        ASSERT_NE(first, 0u) << "no Vettor at the service's start";
        ASSERT_TRUE(EndProcessById(first));
        // The recovery it ran at its start ends by itself.
        ASSERT_TRUE(PumpMessagesUntil([&] { return OurProcesses().empty(); }, kStartTimeoutMs));
        capture = std::make_unique<CDebugOutputCapture>(service.ProcessId());
        ASSERT_TRUE(capture->IsListening());
        link.Open(CSharedLink::Role::Checker);
        ASSERT_NE(link.GetSharedView(), nullptr);
    }

    // Puts the record in the block, signals it, and gives the service's one
    // answer: its refusal or its start trace.
    std::string Send(const std::vector<unsigned char>& record) {
        capture->Clear();
        std::copy(record.begin(), record.end(), link.GetSharedView());
        ::SetEvent(link.GetLaunchEvent());
        std::string answer = "(no answer)";
        PumpMessagesUntil(
            [&] {
                for (const std::string& text : capture->Texts()) {
                    if (StartsWith(text, kRefused) || StartsWith(text, kStarted)) {
                        answer = text;
                        return true;
                    }
                }
                return false;
            },
            kAnswerTimeoutMs);
        return answer;
    }

    // Processes from the scratch folders other than the service itself.
    std::vector<DWORD> OurProcesses() const {
        std::vector<DWORD> found;
        for (const std::string& folder : {installed.Path(), elsewhere.Path()}) {
            for (const DWORD id : ProcessesUnder(folder)) {
                if (id != service.ProcessId()) {
                    found.push_back(id);
                }
            }
        }
        return found;
    }

    CScratchFolder installed{"installed"};
    CScratchFolder elsewhere{"elsewhere"};
    CTestService service;
    std::unique_ptr<CDebugOutputCapture> capture;
    CSharedLink link;
};

// The service's objects carry the link's access list: Everyone may use them
// (0x00100007), administrators may do all.
bool GrantsEveryone(HANDLE object) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(object, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                          nullptr, nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    char* text = nullptr;
    const bool converted = ::ConvertSecurityDescriptorToStringSecurityDescriptorA(
        descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION, &text, nullptr);
    const bool granted = converted &&
                         std::string(text).find("(A;;0x100007;;;WD)") != std::string::npos &&
                         std::string(text).find("(A;;0x1f003f;;;BA)") != std::string::npos;
    ::LocalFree(text);
    ::LocalFree(descriptor);
    return granted;
}

// A variable of the user's own environment, which any of the user's programs
// may set; removed again at the end.
class CUserVariable {
public:
    CUserVariable(const char* name, const char* value) : m_name(name) {
        m_bSet = ::RegSetKeyValueA(HKEY_CURRENT_USER, "Environment", name, REG_SZ, value,
                                   static_cast<DWORD>(std::strlen(value) + 1)) == ERROR_SUCCESS;
    }
    ~CUserVariable() { ::RegDeleteKeyValueA(HKEY_CURRENT_USER, "Environment", m_name); }
    bool IsSet() const { return m_bSet; }

private:
    const char* m_name;
    bool m_bSet = false;
};

TEST_F(LaunchService, StartsTheInstalledVettorAtItsStartHoldsTheObjectsAndStopsAndIsDeleted) {
    const CUserVariable planted("SULVANTIX_PLANTED", "planted-by-the-user");
    ASSERT_TRUE(planted.IsSet());
    ASSERT_EQ(service.Install(ServicePath()), "");
    const SERVICE_STATUS_PROCESS status = service.Status();
    EXPECT_EQ(status.dwCurrentState, static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_EQ(status.dwControlsAccepted,
              static_cast<DWORD>(SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SESSIONCHANGE));

    const DWORD vettor = WaitForProcessWithImage(VettorPath(), kStartTimeoutMs);
    ASSERT_NE(vettor, 0u);
    // Its environment is the system's: nothing the user's programs can set.
    // (A process just made may not have its parameters in place yet.)
    std::vector<std::string> environment;
    ASSERT_TRUE(PumpMessagesUntil(
        [&] {
            environment = ProcessEnvironment(vettor);
            return !environment.empty();
        },
        5000));
    for (const std::string& line : environment) {
        EXPECT_EQ(line.find("planted-by-the-user"), std::string::npos) << line;
    }
    ::Sleep(500);
    EXPECT_EQ(ProcessesWithImage(VettorPath()).size(), 1u) << "one Vettor per session";
    EXPECT_TRUE(ProcessesWithImage(elsewhere.Path() + "Vettor.exe").empty());

    // Made by the service under the link's access list, before any program
    // of ours ran: a standard user's Vettor could not make them.
    const UniqueHandle block(::OpenFileMappingA(READ_CONTROL, FALSE, "Global\\ZK_SM"));
    const UniqueHandle launch(::OpenEventA(READ_CONTROL, FALSE, "Global\\ZK_LAUNCH_BOOSTER_EVENT"));
    const UniqueHandle message(::OpenFileMappingA(READ_CONTROL, FALSE, "Global\\ZK_MSG"));
    const UniqueHandle update(::OpenEventA(READ_CONTROL, FALSE, "Global\\ZK_SULVA_UPDATE_EVENT"));
    ASSERT_TRUE(block);
    ASSERT_TRUE(launch);
    EXPECT_TRUE(message);
    EXPECT_TRUE(update);
    EXPECT_TRUE(GrantsEveryone(block.Get()));
    EXPECT_TRUE(GrantsEveryone(launch.Get()));

    EXPECT_TRUE(service.Stop());
    // Stopping the service leaves the user's Vettor running.
    EXPECT_EQ(ProcessesWithImage(VettorPath()), std::vector<DWORD>{vettor});
    EXPECT_TRUE(EndProcessById(vettor));
    EXPECT_TRUE(service.Delete());
}

// While the service is stopped any account may make an object under one of
// the names first: the service refuses to start on it, with its reason, and
// starts once the name is free again.
TEST_F(LaunchService, ANameTakenFirstStopsTheStartWithItsReason) {
    const CDebugOutputCapture traces(CDebugOutputCapture::kAnyProcess);
    ASSERT_TRUE(traces.IsListening());
    const auto traced = [&](const std::string& text) {
        return PumpMessagesUntil(
            [&] {
                const std::vector<std::string> texts = traces.Texts();
                return std::find(texts.begin(), texts.end(), text) != texts.end();
            },
            kAnswerTimeoutMs);
    };
    const std::string stopped = "stopped, exit code " + std::to_string(ERROR_ALREADY_EXISTS);

    // An event under the shared block's name keeps the block from being made.
    UniqueHandle wrongKind(::CreateEventA(nullptr, FALSE, FALSE, "Global\\ZK_SM"));
    ASSERT_TRUE(wrongKind);
    EXPECT_EQ(service.Install(ServicePath()), stopped);
    EXPECT_TRUE(traced("RODerevAva: refused to start: \"Global\\ZK_SM\" is missing or of "
                       "another kind"));
    wrongKind.Reset();

    // A launch event of the right kind that the guests own and grant to all.
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "O:BGD:(A;;GA;;;WD)", SDDL_REVISION_1, &descriptor, nullptr));
    SECURITY_ATTRIBUTES theirs = {sizeof theirs, descriptor, FALSE};
    UniqueHandle squatted(::CreateEventA(&theirs, FALSE, FALSE, "Global\\ZK_LAUNCH_BOOSTER_EVENT"));
    ::LocalFree(descriptor);
    ASSERT_TRUE(squatted);
    EXPECT_EQ(service.Install(ServicePath()), stopped);
    EXPECT_TRUE(traced("RODerevAva: refused to start: \"Global\\ZK_LAUNCH_BOOSTER_EVENT\" was "
                       "made by another account (S-1-5-32-546)"));
    // The refused service's own process may take a moment to end.
    EXPECT_TRUE(PumpMessagesUntil([&] { return OurProcesses().empty(); }, kAnswerTimeoutMs))
        << "a refused start started something";
    squatted.Reset();

    EXPECT_EQ(service.Install(ServicePath()), "");
    EXPECT_NE(WaitForProcessWithImage(VettorPath(), kStartTimeoutMs), 0u);
}

TEST_F(LaunchService, EveryBadRequestStartsNothingAndTracesItsReason) {
    ASSERT_NO_FATAL_FAILURE(StartServiceAndEndItsVettor());
    const std::string vettor = VettorPath();

    // Links to another program, where this system can make them.
    ASSERT_TRUE(::CreateHardLinkA((installed.Path() + "HardLink.exe").c_str(),
                                  (elsewhere.Path() + "Other.exe").c_str(), nullptr));
    const bool fileLink = MakeSymbolicLink(installed.Path() + "SymbolicLink.exe",
                                           elsewhere.Path() + "Other.exe", false);
    const std::string folderLink = installed.Path() + "FolderLink";
    const bool haveFolderLink =
        MakeSymbolicLink(folderLink, elsewhere.Path().substr(0, elsewhere.Path().size() - 1), true);

    std::vector<unsigned char> pathUnterminated(launch_request::kRecordSize, 'A');
    std::vector<unsigned char> argumentUnterminated = Record(vettor);
    std::fill(argumentUnterminated.begin() + launch_request::kArgumentOffset,
              argumentUnterminated.end(), 'B');

    struct CCase {
        const char* name;
        std::vector<unsigned char> record;
        std::string reason;
    };
    std::vector<CCase> cases = {
        {"argument text", Record(vettor, "/elevate"), "argument text not empty"},
        {"relative path", Record("Vettor.exe"), "not a full path"},
        {"UNC path", Record("\\\\127.0.0.1\\c$\\Vettor.exe"), "UNC path"},
        {"\\\\.\\ path", Record("\\\\.\\" + vettor), "device path"},
        {"\\\\?\\ path", Record("\\\\?\\" + vettor), "device path"},
        {"COM1", Record("COM1"), "device path"},
        {"device in a folder", Record(installed.Path() + "NUL"), "device path"},
        {"stream", Record(vettor + ":stream"), "invalid characters in program path"},
        {"dot segment", Record(installed.Path() + ".\\Vettor.exe"), "program path not canonical"},
        // Judged on the text before anything is opened.
        {"missing file", Record(installed.Path() + "Missing.exe"), "not the installed Vettor.exe"},
        {"the folder", Record(installed.Path().substr(0, installed.Path().size() - 1)),
         "not the installed Vettor.exe"},
        {"copy elsewhere", Record(elsewhere.Path() + "Vettor.exe"), "not the installed Vettor.exe"},
        {"the service itself", Record(ServicePath()), "not the installed Vettor.exe"},
        {"hard link to another", Record(installed.Path() + "HardLink.exe"),
         "not the installed Vettor.exe"},
        {"unterminated path", pathUnterminated, "program path not terminated"},
        {"unterminated argument", argumentUnterminated, "argument text not terminated"},
    };
    if (fileLink) {
        cases.push_back({"symbolic link to another", Record(installed.Path() + "SymbolicLink.exe"),
                         "not the installed Vettor.exe"});
    }
    if (haveFolderLink) {
        cases.push_back({"folder link elsewhere", Record(folderLink + "\\Vettor.exe"),
                         "not the installed Vettor.exe"});
    }
    std::mt19937 random(7);
    for (int i = 0; i < 3; ++i) {
        std::vector<unsigned char> garbage(launch_request::kRecordSize);
        for (unsigned char& b : garbage) {
            b = static_cast<unsigned char>(random());
        }
        cases.push_back({"garbage", garbage, ""});
    }

    for (const CCase& c : cases) {
        const std::string answer = Send(c.record);
        if (c.reason.empty()) {
            EXPECT_TRUE(StartsWith(answer, kRefused)) << c.name << ": " << answer;
        } else {
            EXPECT_EQ(answer, kRefused + c.reason) << c.name;
        }
        EXPECT_TRUE(OurProcesses().empty()) << c.name << " started something";
    }
    if (!fileLink || !haveFolderLink) {
        std::printf("note: symbolic links: file %d, folder %d\n", fileLink, haveFolderLink);
    }
    // Still serving: a good request now starts the installed Vettor.
    EXPECT_TRUE(StartsWith(Send(Record(vettor)), kStarted + vettor));
}

TEST_F(LaunchService, AGoodRequestStartsVettorOncePerTenSecondsAndOncePerSession) {
    ASSERT_NO_FATAL_FAILURE(StartServiceAndEndItsVettor());
    const std::string vettor = VettorPath();

    const DWORD firstStart = ::GetTickCount();
    EXPECT_TRUE(StartsWith(Send(Record(vettor)), kStarted + vettor));
    const DWORD first = WaitForProcessWithImage(vettor, kStartTimeoutMs);
    ASSERT_NE(first, 0u);

    EXPECT_EQ(Send(Record(vettor)), std::string(kRefused) + "one start per 10 seconds");
    // Ten seconds on, the first still runs: one per session.
    const DWORD elapsed = ::GetTickCount() - firstStart;
    if (elapsed < 10500) {
        ::Sleep(10500 - elapsed);
    }
    EXPECT_EQ(Send(Record(vettor)),
              std::string(kRefused) + "Vettor already running in the session");
    EXPECT_EQ(ProcessesWithImage(vettor), std::vector<DWORD>{first});

    // Once it has ended, a request through a hard link to the installed file
    // is refused on its text; the installed path in capitals starts the
    // installed path, never the spelling the request used.
    ASSERT_TRUE(EndProcessById(first));
    const std::string link = elsewhere.Path() + "LinkToInstalled.exe";
    ASSERT_TRUE(::CreateHardLinkA(link.c_str(), vettor.c_str(), nullptr));
    EXPECT_EQ(Send(Record(link)), std::string(kRefused) + "not the installed Vettor.exe");
    std::string capitals = vettor;
    for (char& c : capitals) {
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    EXPECT_TRUE(StartsWith(Send(Record(capitals)), kStarted + vettor));
    const DWORD second = WaitForProcessWithImage(vettor, kStartTimeoutMs);
    EXPECT_NE(second, 0u);
    EXPECT_NE(second, first);
    EXPECT_TRUE(ProcessesWithImage(link).empty());
}

} // namespace
