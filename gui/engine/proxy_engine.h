// The proxy engine of the main window: the anonymizing session and its
// rotation, the proxy list update, the user's own proxies, and the machine's
// proxy settings around them. Its operations keep the names the main window
// gives them; the window calls them from its handlers and the engine talks
// back only through IEngineWindow.
//
// Threads: the operations are called on the window's thread. The engine
// starts short-lived workers (the first rotation step, the check of a typed
// proxy, the list update); whatever a worker does to the window, the
// settings or the list files runs on the window's thread through
// CWindowThreadCalls (window_thread_calls.h), which also drops every effect
// of a worker that was let go. Flags and counters shared with workers are
// atomic; the rest is touched on the window's thread only.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "engine_window.h"
#include "shared/session_record_store.h"
#include "shared/proxy_options.h"
#include "window_thread_calls.h"

// Timers of the main window.
inline constexpr unsigned IDT_ROTATE = 101;
inline constexpr unsigned IDT_NO_LIVE_PROXY = 9999;

// The start/stop state texts.
inline constexpr char kStartAnonymizing[] = "Start Anonymizing";
inline constexpr char kStopAnonymizing[] = "Stop Anonymizing";

// The index of the entry the rotation is on, and the port last parsed for
// the rotation or for Add.
extern std::atomic<int> g_nCurrentProxy;
extern std::atomic<int> g_nCurrentPort;

struct CEngineSettings {
    CEngineSettings();

    std::string m_strTestUrl;          // the probe's and the connectivity check's test file
    std::string m_strUpdateBaseUrl;    // the update server, without a trailing "/"
    std::string m_strProgramDirectory; // with its closing "\"
    std::string m_strSystemDirectory;  // without
    // Where the crash-safe record of a session's saved settings lives; empty:
    // no record is kept.
    std::string m_strRecordFolder;
    // Milliseconds the rotation counts to a second of the timer choice.
    unsigned m_nRotationMsPerSecond = 1000;
    // How long a stop waits for a worker before letting it go.
    unsigned m_nWorkerStopWaitMs = 500;
};

class CProxyEngine : public std::enable_shared_from_this<CProxyEngine> {
public:
    // Made on the window's thread. `api` is the machine's Internet options
    // (tests pass a recorder around the real ones); `signalUpdate` sets the
    // checker link's update event.
    static std::shared_ptr<CProxyEngine> Create(std::shared_ptr<IEngineWindow> window,
                                                IInternetOptions& api,
                                                std::function<void()> signalUpdate,
                                                CEngineSettings settings = CEngineSettings());
    ~CProxyEngine();
    CProxyEngine(const CProxyEngine&) = delete;
    CProxyEngine& operator=(const CProxyEngine&) = delete;

    // The window is going: every worker is asked to stop and let go, and no
    // later call of any worker reaches the window, the settings or the files.
    void Shutdown();

    // Lists.
    int LoadProxyLists();
    void RemoveProxyFromFiles(const std::string& entry);

    // Settings of the machine, the window's saved copy.
    bool SaveProxyOptions();
    bool RestoreProxyOptions();
    bool CheckIfOnline(const std::string& address, int port, bool applyHere);
    bool IsNetworkAvailable();

    // The session.
    void OnStartStop();
    void StartRotation();
    void ChangeIP();
    void OnTimer(unsigned id);
    void StopAnonymizing();
    // The exit path's engine half (the window then ends its modal run and
    // posts the quit message). False: the command is ignored (Escape is down).
    bool OnCancel();
    // WM_CLOSE's engine half: the session ends before the default close.
    void OnClose();
    // Windows is ending the logon: a session on gives the user's settings
    // back, as Stop would, but shows nothing (no box may hold the logoff).
    void OnEndSession();
    // At start-up: puts the user's settings back from the record of a session
    // whose program died, unless the user changed them since.
    void RecoverCrashedSession();
    static void PumpPendingMessages();

    // The list update.
    int UpdateProxyList(bool startup);
    void OnUpdate();
    void UpdateThread();
    void OnCheckerDone();

    // The user's own proxies.
    void ReadProxyFields(std::string& address, std::string& port);
    int TestUserProxy();
    void AddUserProxy();
    void RemoveSelectedProxy();
    void OnVettor();

    // State the window shows or tests look at.
    std::string StartStopState() const;
    bool IsAnonymizing() const { return m_bAnonymizing; }
    bool HasWorker() const { return m_pWorkerThread != nullptr; }
    CWindowThreadCalls& WindowThreadCalls() { return *m_pCalls; }

    std::atomic<bool> m_bAnonymizing{false};
    std::atomic<bool> m_bStopChangeIP{false};
    std::atomic<bool> m_bClosing{false};
    std::atomic<bool> m_bQuietCheck{false};

private:
    CProxyEngine(std::shared_ptr<IEngineWindow> window, IInternetOptions& api,
                 std::function<void()> signalUpdate, CEngineSettings settings);

    void SetStartStopState(const char* state);
    void EndSessionOnWindowThread(const char* message);
    void StopAnonymizingFor(const CWorkerTicket* caller);
    void StopRecordedWorker(bool closing, const CWorkerTicket* caller);
    bool StopRequested() const;
    bool ApplyOnWindowThread(const std::string& address, int port, bool applyHere);
    void WriteSessionRecord(const std::string& appliedEntry);
    std::string ListPath(const char* name) const;
    std::string UpdateDownloadPath() const;
    template <class Body> bool StartWorker(Body body, bool record);

    const CEngineSettings m_settings;
    const std::shared_ptr<CWindowThreadCalls> m_pCalls;
    const std::shared_ptr<IEngineWindow> m_pWindow; // marshalled: safe on any thread
    IInternetOptions& m_api;
    const std::shared_ptr<IInternetOptions> m_pWorkerApi; // marshalled
    const std::function<void()> m_signalUpdate;

    // The window's thread only.
    std::vector<std::string> m_staging;
    CSavedProxyOptions m_SavedProxyOptions;
    std::unique_ptr<CEngineWorker> m_pWorkerThread;
    std::unique_ptr<CSessionRecordStore> m_pRecordStore;
    std::uintptr_t m_nRotateTimer = 0;
    // The entry this session applied last; empty before its first apply.
    std::string m_strAppliedEntry;

    mutable std::mutex m_stateMutex;
    std::string m_strStartStopState;
    // Sessions started so far: a check that saved the settings before a
    // session began must not write them back over the session's proxy.
    std::atomic<unsigned> m_nSessionsStarted{0};
};
