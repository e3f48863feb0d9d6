// The engine under test: a dialog made from the real template 102 with a
// window side that records what the user would see, a recorder around the
// machine's real Internet options, scratch folders for the list files, and
// the machine's own settings put back after each test.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "framework/dialog.h"
#include "gui/app/dialog_engine_window.h"
#include "gui/app/sulvantix_dlg.h"
#include "gui/app/sulvantix_engine_window.h"
#include "gui/engine/proxy_engine.h"
#include "shared/proxy_options.h"
#include "shared/shared_link.h"
#include "tests/support/machine_proxy.h"
#include "tests/support/scratch_dir.h"

// One option of a recorded per-connection list.
struct CRecordedOption {
    DWORD m_nId = 0;
    DWORD m_nNumber = 0;
    bool m_bHasText = false;
    std::string m_strText;
};

struct CRecordedCall {
    enum class Kind { Query, Set, Connected };
    Kind m_kind = Kind::Set;
    DWORD m_nOption = 0;
    std::vector<CRecordedOption> m_options; // of a per-connection list
    bool m_bResult = false;
    DWORD m_nThreadId = 0;
};

// Passes every call to WinINet and records it. Sets whose proxy server is in
// m_failServers fail without reaching the library; m_nOnline overrides the
// connected state (-1: the library's answer).
class CRecordingOptions : public IInternetOptions {
public:
    BOOL QueryOption(HINTERNET handle, DWORD option, void* buffer, DWORD* length) override;
    BOOL SetOption(HINTERNET handle, DWORD option, void* buffer, DWORD length) override;
    BOOL GetConnectedState(DWORD* flags) override;

    std::vector<CRecordedCall> Calls() const;
    // The server texts of the applies that went through, in order.
    std::vector<std::string> AppliedServers() const;
    void Clear();

    std::set<std::string> m_failServers;
    std::atomic<int> m_nOnline{-1};
    std::atomic<bool> m_bFailQueries{false};
    // Writes of a saved list of seven (a restore) fail without reaching the library.
    std::atomic<bool> m_bFailRestores{false};

private:
    void Record(CRecordedCall call);

    mutable std::mutex m_mutex;
    std::vector<CRecordedCall> m_calls;
};

// Records messages, looks, timers and the quit paths instead of acting on the
// process (a real quit would end the test's own loop). The notification area
// is fed as in the program.
class CRecordingWindow : public CSulvantixEngineWindow {
public:
    using CSulvantixEngineWindow::CSulvantixEngineWindow;

    void Quit(int exitCode, bool closeWindow) override;
    bool ArmTimer(unsigned id, unsigned periodMs) override;

    std::vector<std::string> m_messages; // the window's thread only
    std::vector<std::string> m_standardMessages;
    std::vector<bool> m_looks; // true: the Stop look
    std::vector<unsigned> m_rotationPeriods;
    int m_nQuits = 0;
    int m_nCloses = 0;
    int m_nFlashes = 0;
    // Called (on the window's thread) as each message is shown.
    std::function<void(const std::string&)> m_onMessage;

protected:
    void ShowMessageBox(const std::string& text) override;
    void ShowStandardMessageBox(const std::string& text) override;
    void SetStartStopLook(bool stopLook) override;
    void FlashStartStop() override;
};

// The machine's per-connection options as they stand.
CCurrentProxyQuery MachineProxy();

// Pumps this thread's messages until `done` or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs);
void PumpFor(DWORD ms);

// The real main window, its engine side recording, over scratch folders: a
// system directory, a program directory with its "Update" folder, and the
// crash record's folder. The window's own start-up runs (start-up update,
// first load); the harness then empties the folders, the list and what was
// recorded, so each test starts from nothing. The machine's settings are
// saved first and written back at the end.
class CEngineHarness {
public:
    explicit CEngineHarness(const std::string& updateBaseUrl = std::string(),
                            unsigned rotationMsPerSecond = 50);
    ~CEngineHarness();
    CEngineHarness(const CEngineHarness&) = delete;
    CEngineHarness& operator=(const CEngineHarness&) = delete;

    bool Ready() const { return m_bReady; }
    CProxyEngine& Engine() { return *m_dialog.Engine(); }
    CSulvantixDlg& Dialog() { return m_dialog; }
    CRecordingWindow& Window() { return *m_pWindow; }
    // What the window's own start-up showed, before the harness forgot it.
    const std::vector<std::string>& StartUpMessages() const { return m_startUpMessages; }
    CRecordingOptions& Options() { return m_options; }
    HWND Item(int id) const { return ::GetDlgItem(m_dialog.GetSafeHwnd(), id); }

    std::string SystemFile(const std::string& name) const { return m_system.File(name); }
    std::string ProgramFile(const std::string& name) const { return m_program.File(name); }
    std::string RecordFolder() const { return m_record.Path(); }
    void WriteSystemFile(const std::string& name, const std::string& bytes) const {
        m_system.Write(name, bytes);
    }
    void WriteProgramFile(const std::string& name, const std::string& bytes) const {
        m_program.Write(name, bytes);
    }
    static std::string Read(const std::string& path) { return CScratchDir::Read(path); }

    std::vector<std::string> ListItems() const;
    void SelectTimer(int index) const;
    void Click(int id) const;
    // Typed into the address and port fields.
    void TypeProxy(BYTE a, BYTE b, BYTE c, BYTE d, const char* port) const;

    // The update event the engine sets ("Global\ZK_SULVA_UPDATE_EVENT").
    HANDLE UpdateEvent() const { return m_link.GetUpdateEvent(); }

private:
    CMainWindowSetup Setup(const std::string& updateBaseUrl, unsigned rotationMsPerSecond);
    void ForgetStartUp();

    CScratchDir m_system;
    CScratchDir m_program;
    CScratchDir m_record;
    CSavedProxyOptions m_machineBefore;
    CRecordingOptions m_options;
    CSulvantixDlg m_dialog;
    std::shared_ptr<CRecordingWindow> m_pWindow;
    CSharedLink m_link;
    std::vector<std::string> m_startUpMessages;
    bool m_bReady = false;
};
