// This tree's setup program and the uninstaller it writes, run silently as an
// administrator would, in a Wine prefix of their own. The setup installs the
// programs, the help, the Start-menu entries, the uninstall entry and the
// running launch service, whose Vettor checks the user's own proxies; the
// installed Sulvantix fetches the served list and opens its help. The
// uninstaller takes all of it away again with the lists the programs wrote,
// and nothing of its own stays in TEMP after the restart; the user's own
// proxies stay unless asked for.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/handle.h"
#include "tests/e2e/app/help_viewer.h"
#include "tests/e2e/app/sulvantix_driver.h"
#include "tests/e2e/installer/setup_machine.h"
#include "tests/support/file_access.h"
#include "tests/support/debug_output_capture.h"
#include "tests/support/machine_proxy.h"
#include "tests/support/message_pump.h"
#include "tests/support/process_start.h"
#include "tests/support/standins_env.h"
#include "tests/win32/service/service_test_support.h"

namespace sx_setup {
namespace {

constexpr DWORD kSetupTimeoutMs = 120000;
constexpr DWORD kStartTimeoutMs = 30000;
// The checker publishes at its first completion check, 10 s after its start.
constexpr DWORD kCheckTimeoutMs = 30000;
const char* const kInstalledFiles[] = {"Sulvantix.exe", "Vettor.exe", "RODerevAva.exe",
                                       "SulvantixRecover.exe", "Sulvantix.chm"};
// The user's own proxies from an earlier installation: the farm port that
// answers "OK" after 6 s, in no served list, and one where nothing listens.
const char kOwnProxies[] = "127.0.0.1:18130\r\n127.0.0.1:18099\r\n";
const char kOwnLive[] = "127.0.0.1:18130";
const char kOwnDead[] = "127.0.0.1:18099";

std::string Tree() {
    const char* tree = std::getenv("SULVANTIX_BINARY_DIR");
    return tree != nullptr ? tree : "";
}

// The entries of a list file, sorted, each once: as the list box shows them.
Lines Entries(const std::string& bytes) {
    Lines lines = TextLines(bytes);
    std::sort(lines.begin(), lines.end());
    lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
    return lines;
}

std::string Joined(const Lines& lines) {
    std::string text;
    for (const std::string& line : lines) {
        text += "\n  " + line;
    }
    return text;
}

// What follows `path` in each trace that starts with `prefix` and then names
// it (in any case, as the setup spells the folder its own way).
Lines TracesLike(const CDebugOutputCapture& traces, const std::string& prefix,
                 const std::string& path) {
    Lines rests;
    for (const std::string& text : traces.Texts()) {
        if (text.size() >= prefix.size() + path.size() &&
            text.compare(0, prefix.size(), prefix) == 0 &&
            SamePath(text.substr(prefix.size(), path.size()), path)) {
            rests.push_back(text.substr(prefix.size() + path.size()));
        }
    }
    return rests;
}

bool IsEnded(const UniqueHandle& process) {
    return process && ::WaitForSingleObject(process.Get(), 0) == WAIT_OBJECT_0;
}

class SetupE2e : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(WaitUntilSystemStarted(60000)) << "the service manager stays locked";
        // A run ended half-way may have left its installation in the prefix,
        // and its uninstaller's copy waiting for a restart.
        RemoveLeftovers(ReadStartState());
        if (ReadStartState().m_bPendingOperations) {
            ASSERT_TRUE(DoRestartFileOperations());
        }
        m_start = ReadStartState();
        ASSERT_EQ(Leftovers(m_start), Lines{}) << "the prefix does not start clean";
        ASSERT_FALSE(FileExists(SystemFile("Userproxy.txt")));
    }

    // The prefix as it was: nothing of the setup's, however the test ended.
    void TearDown() override {
        m_app.Kill();
        RemoveLeftovers(m_start);
        EXPECT_EQ(Leftovers(m_start), Lines{}) << "the prefix cannot be put back";
    }

    // This tree's setup, /S, waited for with everything it starts.
    static ::testing::AssertionResult Install() {
        const char* setup = std::getenv("SULVANTIX_SETUP");
        if (setup == nullptr) {
            return ::testing::AssertionFailure() << "SULVANTIX_SETUP is not set";
        }
        const CRun run =
            RunToTheEnd("\"" + standins_env::WinePath(setup) + "\" /S", kSetupTimeoutMs);
        if (!run.m_bStarted || !run.m_bEnded || run.m_nExitCode != 0) {
            return ::testing::AssertionFailure()
                   << setup << (run.m_bStarted ? "" : " does not start")
                   << (run.m_bEnded ? "" : " does not end") << " (exit code " << run.m_nExitCode
                   << ")" << (run.m_stillRunning.empty() ? "" : ", still running:")
                   << Joined(run.m_stillRunning);
        }
        return ::testing::AssertionSuccess();
    }

    // The uninstall entry's quiet command with `options`, waited for until the
    // copy NSIS runs it from has ended too; then the restart that the copy's
    // folder in TEMP waits for, nothing else being left.
    ::testing::AssertionResult UninstallAndRestart(const std::string& options) const {
        std::string command;
        if (!ReadString(kUninstallKey, "QuietUninstallString", kOwnView, &command)) {
            return ::testing::AssertionFailure() << "no QuietUninstallString";
        }
        const CRun run = RunToTheEnd(command + options, kSetupTimeoutMs);
        if (!run.m_bStarted || !run.m_bEnded || run.m_nExitCode != 0) {
            return ::testing::AssertionFailure()
                   << command << options << (run.m_bStarted ? "" : " does not start")
                   << (run.m_bEnded ? "" : " does not end") << " (exit code " << run.m_nExitCode
                   << ")" << (run.m_stillRunning.empty() ? "" : ", still running:")
                   << Joined(run.m_stillRunning);
        }
        const Lines copy = {TempFolder() + "\\" + NewTempEntry(),
                            "file operations pending for the next restart"};
        if (Leftovers(m_start) != copy || !SamePath(NewTempEntry().substr(0, 4), "~nsu")) {
            return ::testing::AssertionFailure()
                   << "before the restart, more or less than the uninstaller's copy is left:"
                   << Joined(Leftovers(m_start));
        }
        if (!DoRestartFileOperations()) {
            return ::testing::AssertionFailure() << "the restart's file operations do not end";
        }
        return ::testing::AssertionSuccess();
    }

    // The one entry of the temporary folder that was not there at the start;
    // empty when there are none or several.
    std::string NewTempEntry() const {
        const Lines names = NewTempEntries(m_start);
        return names.size() == 1 ? names.front() : std::string();
    }

    // The installed Vettor the service started; 0 when none runs in time.
    static DWORD RunningVettor() {
        return WaitForProcessWithImage(ProgramFile("Vettor.exe"), kStartTimeoutMs);
    }

    CStartState m_start;
    sx_e2e::CSulvantixProcess m_app;
};

TEST_F(SetupE2e, SilentSetupInstallsAWorkingSulvantixAndSilentUninstallTakesItAway) {
    // The user's own proxies from an earlier installation.
    ASSERT_TRUE(WriteWholeFile(SystemFile("Userproxy.txt"), kOwnProxies));
    CDebugOutputCapture traces(CDebugOutputCapture::kAnyProcess);
    ASSERT_TRUE(traces.IsListening());
    ASSERT_TRUE(Install());
    // The folder's access list, set before the files went in. Wine keeps no
    // list on files (one set reads back as Wine's own), so the list is the one
    // the service program reports it set.
    EXPECT_EQ(TracesLike(traces, "RODerevAva: protected ", ProgramFolder()),
              Lines{": O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)"});

    // This tree's programs and help, byte for byte, beside the uninstaller.
    const std::string stage = standins_env::WinePath(Tree() + "/tools/installer/stage/");
    std::uint64_t bytes = 0;
    for (const char* name : kInstalledFiles) {
        const std::string installed = ReadWholeFile(ProgramFile(name));
        EXPECT_FALSE(installed.empty()) << name << " is not installed";
        EXPECT_TRUE(installed == ReadWholeFile(stage + name)) << name << " is not this tree's";
        bytes += installed.size();
    }
    const std::string uninstaller = ReadWholeFile(ProgramFile("Uninstall.exe"));
    EXPECT_FALSE(uninstaller.empty()) << "no Uninstall.exe";
    bytes += uninstaller.size();
    const DWORD updateAttributes = ::GetFileAttributesA(ProgramFile("Update").c_str());
    EXPECT_TRUE(updateAttributes != INVALID_FILE_ATTRIBUTES &&
                (updateAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        << "no Update folder";
#ifdef _WIN64
    EXPECT_TRUE(SamePath(ProgramFolder(), "C:\\Program Files\\Sulvantix")) << ProgramFolder();
#endif

    std::string target;
    std::string working;
    ASSERT_TRUE(ReadShellLink(StartMenuFolder() + "\\Sulvantix.lnk", &target, &working))
        << "no Start-menu entry";
    EXPECT_TRUE(SamePath(target, ProgramFile("Sulvantix.exe"))) << "the entry starts " << target;
    std::string helpTarget;
    std::string helpWorking;
    EXPECT_TRUE(
        ReadShellLink(StartMenuFolder() + "\\Sulvantix Help.lnk", &helpTarget, &helpWorking))
        << "no Start-menu entry for the help";
    EXPECT_TRUE(SamePath(helpTarget, ProgramFile("Sulvantix.chm"))) << helpTarget;

    // The entry in this bitness's view only, where the system has two.
    if (HasTwoRegistryViews()) {
        EXPECT_FALSE(KeyExists(kUninstallKey, kOwnView == kView64 ? kView32 : kView64));
    }
    std::string text;
    EXPECT_TRUE(ReadString(kUninstallKey, "DisplayName", kOwnView, &text));
#ifdef _WIN64
    EXPECT_EQ(text, "Sulvantix (x64)");
#else
    EXPECT_EQ(text, "Sulvantix (x86)");
#endif
    EXPECT_TRUE(ReadString(kUninstallKey, "Publisher", kOwnView, &text));
    EXPECT_EQ(text, "Sulvantix");
    EXPECT_TRUE(ReadString(kUninstallKey, "DisplayVersion", kOwnView, &text));
    EXPECT_EQ(text, "1.0." SULVANTIX_BUILD_NUMBER_TEXT ".0");
    EXPECT_TRUE(ReadString(kUninstallKey, "DisplayIcon", kOwnView, &text));
    EXPECT_TRUE(SamePath(text, ProgramFile("Sulvantix.exe") + ",0")) << text;
    EXPECT_TRUE(ReadString(kUninstallKey, "InstallLocation", kOwnView, &text));
    EXPECT_TRUE(SamePath(text, ProgramFolder())) << text;
    EXPECT_TRUE(ReadString(kUninstallKey, "UninstallString", kOwnView, &text));
    EXPECT_TRUE(SamePath(text, "\"" + ProgramFile("Uninstall.exe") + "\"")) << text;
    EXPECT_TRUE(ReadString(kUninstallKey, "QuietUninstallString", kOwnView, &text));
    EXPECT_TRUE(SamePath(text, "\"" + ProgramFile("Uninstall.exe") + "\" /S")) << text;
    // In KiB: what the installed files take, give or take a rounding per file.
    DWORD size = 0;
    EXPECT_TRUE(ReadDword(kUninstallKey, "EstimatedSize", kOwnView, &size));
    EXPECT_GT(size, 0u);
    EXPECT_LE(size, bytes / 1024 + 6);
    EXPECT_GE(size + 6, bytes / 1024);

    const CServiceFacts service = QueryService(kServiceName);
    ASSERT_TRUE(service.m_bRegistered) << "no service " << kServiceName;
    EXPECT_EQ(service.m_nStartType, static_cast<DWORD>(SERVICE_AUTO_START));
    EXPECT_TRUE(SamePath(service.m_strBinaryPath, "\"" + ProgramFile("RODerevAva.exe") + "\""))
        << service.m_strBinaryPath;
    EXPECT_EQ(service.m_strAccount, "LocalSystem");
    ASSERT_EQ(service.m_nState, static_cast<DWORD>(SERVICE_RUNNING));
    const std::vector<DWORD> servicePrograms = ProcessesWithImage(ProgramFile("RODerevAva.exe"));
    EXPECT_NE(std::find(servicePrograms.begin(), servicePrograms.end(), service.m_nProcessId),
              servicePrograms.end())
        << "the service's process " << service.m_nProcessId << " is not the installed program";
    const UniqueHandle serviceProcess(::OpenProcess(SYNCHRONIZE, FALSE, service.m_nProcessId));
    const UniqueHandle vettor(::OpenProcess(SYNCHRONIZE, FALSE, RunningVettor()));
    ASSERT_TRUE(serviceProcess);
    ASSERT_TRUE(vettor) << "the service started no installed Vettor";

    // The service's Vettor checks the user's own proxies at its start, with
    // no download to check yet, and publishes the live ones for Sulvantix.
    EXPECT_TRUE(PumpMessagesUntil(
        [] { return Entries(ReadWholeFile(SystemFile("Proxylist.txt"))) == Lines{kOwnLive}; },
        kCheckTimeoutMs))
        << "the installed Vettor published no list";
    EXPECT_EQ(Entries(ReadWholeFile(ProgramFile("proxylist.txt"))), Lines{kOwnLive});
    EXPECT_EQ(Entries(ReadWholeFile(ProgramFile("Invalidproxylist.txt"))), Lines{kOwnDead});
    EXPECT_FALSE(FileExists(ProgramFile("Vettorlist.txt")));

    // The installed program, started as its Start-menu entry does: its
    // start-up update fetches the stand-in server's list into its folder and
    // the checker's, and shows it with the user's own, without a word.
    ASSERT_TRUE(m_app.Start(target, working.empty() ? ProgramFolder() : working));
    HWND main = m_app.WaitForMainWindow(kStartTimeoutMs);
    ASSERT_NE(main, nullptr) << "no main window shown";
    const std::string served = ReadWholeFile(standins_env::StatePath("www/Proxylist.txt"));
    ASSERT_FALSE(served.empty());
    EXPECT_EQ(ReadWholeFile(ProgramFile("Update\\Proxylist.txt")), served);
    EXPECT_EQ(ReadWholeFile(ProgramFile("Vettorlist.txt")), served);
    EXPECT_EQ(ReadWholeFile(SystemFile("Proxylist.txt")), served);
    const Lines listed = Entries(served + kOwnProxies);
    Lines items = sx_e2e::ListItems(main);
    std::sort(items.begin(), items.end());
    EXPECT_EQ(items, listed);
    HWND box = m_app.WaitForOtherDialog(main, 1500);
    EXPECT_EQ(box, nullptr) << sx_e2e::MessageText(box);

    // F1 opens the installed help in the system's viewer, under its title.
    ASSERT_TRUE(sx_e2e::PressKey(main, VK_F1)) << "the window cannot take the foreground";
    DWORD viewer = 0;
    std::string viewerCommand;
    PumpMessagesUntil(
        [&] {
            for (const DWORD id : sx_e2e::ChildProcesses(m_app.Id(), "hh.exe")) {
                viewer = id;
                viewerCommand = sx_e2e::ProcessCommandLine(id);
            }
            return !viewerCommand.empty();
        },
        20000);
    ASSERT_NE(viewer, 0u) << "F1 started no hh.exe";
    const HWND help = sx_e2e::WaitForWindowTitled(viewer, "Sulvantix Help", 20000);
    sx_e2e::EndChildProcess(m_app.Id(), "hh.exe", viewer);
    EXPECT_TRUE(sx_e2e::NamesFile(viewerCommand, ProgramFile("Sulvantix.chm")))
        << "hh.exe runs as " << viewerCommand;
    EXPECT_NE(help, nullptr) << "hh.exe shows no window titled Sulvantix Help";

    // A session is on when the uninstaller ends the program: the machine
    // must not be left on a public proxy with the recovery program gone.
    const std::string usersProxy = MachineProxyLabel();
    ASSERT_TRUE(sx_e2e::Click(main, sx_e2e::kIdStartStop));
    HWND saved = m_app.WaitForMessageBox(kStartTimeoutMs);
    ASSERT_NE(saved, nullptr) << "Start shows no box";
    EXPECT_EQ(sx_e2e::MessageText(saved), " Current Network settings saved");
    ASSERT_TRUE(sx_e2e::ConfirmMessageBox(saved));
    ASSERT_TRUE(PumpMessagesUntil([&] { return MachineProxyLabel() != usersProxy; }, 10000))
        << "the session applied no proxy";

    // Another product's program of the same name, elsewhere, keeps running.
    const std::string elsewhere = "C:\\SulvantixElsewhere";
    ::CreateDirectoryA(elsewhere.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileA(SystemFile("notepad.exe").c_str(), (elsewhere + "\\Vettor.exe").c_str(),
                            FALSE));
    const CStartedProcess other = StartProcess("\"" + elsewhere + "\\Vettor.exe\"");
    ASSERT_TRUE(other);

    // Away again, the user's own proxies and settings kept as they were.
    traces.Clear();
    ASSERT_TRUE(UninstallAndRestart(""));
    EXPECT_FALSE(m_app.IsRunning());
    EXPECT_EQ(MachineProxyLabel(), usersProxy) << "the session's proxy stayed on";
    // Only the programs running from the install folder were ended, and the
    // service put the user's settings back with the user's own token.
    const bool otherRuns = ::WaitForSingleObject(other.m_hProcess.Get(), 0) == WAIT_TIMEOUT;
    ::TerminateProcess(other.m_hProcess.Get(), 0);
    ::WaitForSingleObject(other.m_hProcess.Get(), 5000);
    ::DeleteFileA((elsewhere + "\\Vettor.exe").c_str());
    ::RemoveDirectoryA(elsewhere.c_str());
    EXPECT_TRUE(otherRuns) << "the uninstaller ended a Vettor.exe of another folder";
    EXPECT_EQ(TracesLike(traces, "RODerevAva: ended ", ProgramFile("Sulvantix.exe")).size(), 1u);
    EXPECT_EQ(TracesLike(traces, "RODerevAva: ended ", ProgramFile("Vettor.exe")).size(), 1u);
    const Lines recovery =
        TracesLike(traces, "RODerevAva: started ", ProgramFile("SulvantixRecover.exe"));
    ASSERT_EQ(recovery.size(), 1u) << ::testing::PrintToString(traces.Texts());
    EXPECT_NE(recovery.front().find(" as the user's token, process "), std::string::npos)
        << recovery.front();
    EXPECT_TRUE(IsEnded(serviceProcess)) << "the service still runs";
    EXPECT_TRUE(IsEnded(vettor)) << "the installed Vettor still runs";
    EXPECT_EQ(Leftovers(m_start), Lines{});
    EXPECT_EQ(ReadWholeFile(SystemFile("Userproxy.txt")), kOwnProxies)
        << "the user's own proxies went";
}

TEST_F(SetupE2e, ReinstallRegistersTheServiceAgainAndUninstallRemovesTheUsersOwnProxiesWhenAsked) {
    ASSERT_TRUE(WriteWholeFile(SystemFile("Userproxy.txt"), kOwnProxies));
    ASSERT_TRUE(Install());
    ASSERT_NE(RunningVettor(), 0u) << "the service started no installed Vettor";
    const DWORD firstService = QueryService(kServiceName).m_nProcessId;

    // Over the running installation: the old registration is gone before the
    // new one is made, and the new one runs.
    ASSERT_TRUE(Install());
    const CServiceFacts again = QueryService(kServiceName);
    ASSERT_TRUE(again.m_bRegistered);
    EXPECT_EQ(again.m_nState, static_cast<DWORD>(SERVICE_RUNNING));
    EXPECT_NE(again.m_nProcessId, firstService);
    ASSERT_TRUE(UninstallAndRestart(" /REMOVEUSERPROXIES"));
    EXPECT_EQ(Leftovers(m_start), Lines{});
    EXPECT_FALSE(FileExists(SystemFile("Userproxy.txt"))) << "the user's own proxies stay";
}

} // namespace
} // namespace sx_setup
