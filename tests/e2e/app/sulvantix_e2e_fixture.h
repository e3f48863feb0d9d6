// What every scenario of the real program needs: the programs installed in a
// scratch folder, the user's own proxy settings (the loopback relay), clean
// list files and no crash record, and everything it changes in the prefix
// and in the stand-ins put back afterwards, also when it fails half-way.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/e2e/app/sulvantix_driver.h"
#include "tests/support/machine_proxy.h"

namespace sx_e2e {

// The user's own proxy: the farm's relay to loopback origins, so the
// program's fetches through the user's settings reach the update server.
extern const char kUserProxy[];
extern const char kNoLiveProxy[];
extern const char kSettingsSaved[];
extern const char kSettingOriginal[];

// "127.0.0.1:<port>".
std::string Entry(int port);
// Lines of a list file, without line ends and blank lines.
Lines FileLines(const std::string& path);
Lines Sorted(Lines lines);
// "127.0.0.1:<port>"s as served: each line ended by CR LF.
std::string ListBytes(const Lines& entries);
// Requests logged by a stand-in port whose request line holds `text`.
std::size_t LoggedRequestsWith(int port, const std::string& text);

// A file as the test found it (its bytes or its absence), put back at the end.
class CFileKeeper {
public:
    // `removeNow`: the scenario starts without the file.
    CFileKeeper(std::string path, bool removeNow);
    ~CFileKeeper();
    CFileKeeper(const CFileKeeper&) = delete;
    CFileKeeper& operator=(const CFileKeeper&) = delete;

private:
    std::string m_strPath;
    bool m_bExisted;
    std::string m_strBytes;
};

class SulvantixE2e : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The update server's list from now on; the bytes it serves.
    std::string Serve(const Lines& entries);
    // "ok", "error" or "down" for the update server on its own port.
    void SetUpdateServerMode(const char* mode);
    static std::string SystemFile(const char* name);
    static std::string CrashRecordPath();

    // Starts Sulvantix.exe from the scratch folder; its main window once shown.
    HWND StartProgram(CSulvantixProcess& process);
    // Starts Sulvantix.exe and waits for the first message box; its window or null.
    HWND StartProgramToBox(CSulvantixProcess& process);
    // Waits for the next box, checks its text and presses its OK.
    ::testing::AssertionResult Acknowledge(const CSulvantixProcess& process,
                                           const std::string& text, DWORD timeoutMs = 20000);
    // Start, its box confirmed, and the machine on `entry`.
    ::testing::AssertionResult StartSession(HWND main, const std::string& entry);
    // No dialog of the process but its main window shows for the time.
    ::testing::AssertionResult NoBoxFor(const CSulvantixProcess& process, DWORD ms);
    // Posts WM_CLOSE and expects the process to end with exit code 0 without
    // any box on the way.
    ::testing::AssertionResult CloseQuietly(CSulvantixProcess& process, HWND main);

    // The pair of programs the scenarios install; the build's own by default.
    virtual std::unique_ptr<CSulvantixInstall> MakeInstall() const {
        return std::make_unique<CSulvantixInstall>();
    }

    CSulvantixInstall& Install() { return *m_pInstall; }
    CSulvantixProcess m_app;

private:
    std::unique_ptr<CMachineProxyGuard> m_pMachine;
    std::vector<std::unique_ptr<CFileKeeper>> m_files;
    bool m_bRecordFolderExisted = false;
    std::unique_ptr<CSulvantixInstall> m_pInstall;
};

} // namespace sx_e2e
