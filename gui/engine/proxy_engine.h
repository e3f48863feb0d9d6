// The proxy engine of the main window: the anonymizing session and its
// rotation, the proxy list update, the user's own proxies, and the machine's
// proxy settings around them. Its operations keep the names the main window
// gives them; the window calls them from its handlers and the engine talks
// back only through IEngineWindow. The engine holds the list, the entry in
// force and the period; the window shows them.
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

#include "gui/engine/engine_window.h"
#include "gui/engine/proxy_list.h"
#include "gui/engine/proxy_watch_rules.h"
#include "gui/engine/window_thread_calls.h"
#include "shared/session_record_store.h"
#include "shared/proxy_options.h"

// Timers of the main window.
inline constexpr unsigned IDT_ROTATE = 101;
inline constexpr unsigned IDT_NO_LIVE_PROXY = 9999;

// The start/stop state texts.
inline constexpr char kStartAnonymizing[] = "Start Anonymizing";
inline constexpr char kStopAnonymizing[] = "Stop Anonymizing";

// The fields of a proxy of the user's own as the window read them when the
// user clicked: the IP address control's four fields (blank ones 0), how
// many are not blank, and the port edit's text.
struct CTypedProxy {
    std::uint8_t m_fields[4] = {};
    int m_nNonBlank = 0;
    std::string m_strPort;
};

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
    // When the watch probes the proxy in force during a session.
    CWatchTiming m_watchTiming;
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

    // The user's choices, reported by the window as they happen.
    void OnListSelection(int index);
    void OnPeriodChosen(const std::string& itemText);

    // Lists.
    int LoadProxyLists();
    void RemoveProxyFromFiles(const std::string& entry);

    // Settings of the machine, the window's saved copy.
    bool SaveProxyOptions();
    bool RestoreProxyOptions();
    bool ApplyEntry(const std::string& address, int port);
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
    void OnCheckerDone();

    // The user's own proxies.
    int TestUserProxy(const CTypedProxy& typed);
    void AddUserProxy(const CTypedProxy& typed);
    void RemoveSelectedProxy();
    void OnVettor(const CTypedProxy& typed);

    // State the window shows or tests look at.
    std::string StartStopState() const;
    bool IsAnonymizing() const { return m_bAnonymizing; }
    bool HasWorker() const { return m_pWorkerThread != nullptr; }
    CWindowThreadCalls& WindowThreadCalls() { return *m_pCalls; }
    // The entry the rotation is on, and the port last parsed for the
    // rotation or for Add.
    int CurrentProxy() const { return m_nCurrentProxy; }
    int CurrentPort() const { return m_nCurrentPort; }

    std::atomic<bool> m_bAnonymizing{false};
    std::atomic<bool> m_bStopChangeIP{false};
    std::atomic<bool> m_bClosing{false};
    std::atomic<bool> m_bQuietCheck{false};

private:
    CProxyEngine(std::shared_ptr<IEngineWindow> window, IInternetOptions& api,
                 std::function<void()> signalUpdate, CEngineSettings settings);

    // What the window shows, each run on the window's thread from any thread.
    void Show(const std::function<void(IEngineWindow&)>& show);
    void ShowMessage(const std::string& text);
    void SetBusy(bool busy);
    void SetStopLook(bool stopLook, bool repaintAll = false);
    void RefreshButtons(bool flashStartStop = false);
    // Selects `index` of the list, or nothing when it is not an entry; the
    // window's thread.
    void Select(int index);
    // The list files read into the list and shown; the window's thread.
    int LoadAndShowList();

    void SetStartStopState(const char* state);
    void EndSessionOnWindowThread(const char* message, const CWorkerTicket* caller);
    void StopAnonymizingFor(const CWorkerTicket* caller);
    void StopRecordedWorker(bool closing, const CWorkerTicket* caller);
    bool StopRequested() const;
    bool ApplyOnWindowThread(const std::string& address, int port);
    void WriteSessionRecord(const std::string& appliedEntry);
    std::string ListPath(const char* name) const;
    std::string UpdateDownloadPath() const;
    bool StartWorker(std::function<void()> body, bool record);

    // The watch on the proxy in force (engine_watch.cpp): a worker of the
    // session that probes it, and the window-thread half that moves on.
    void StartWatch();
    void StopWatch();
    void WatchProxyInForce(HANDLE stopEvent);
    void OnWatchProbe(const std::string& entry, WatchProbe result, std::uint64_t startedMs);

    const CEngineSettings m_settings;
    const std::shared_ptr<CWindowThreadCalls> m_pCalls;
    const std::shared_ptr<IEngineWindow> m_pWindow; // the window's thread only
    IInternetOptions& m_api;
    const std::function<void()> m_signalUpdate;

    // The window's thread only.
    CProxyList m_list;
    int m_nSelected = -1;
    CEngineButtons m_buttons;
    CSavedProxyOptions m_SavedProxyOptions;
    std::unique_ptr<CEngineWorker> m_pWorkerThread;
    std::unique_ptr<CSessionRecordStore> m_pRecordStore;
    // The entry this session applied last; empty before its first apply.
    std::string m_strAppliedEntry;
    CProxyWatchRules m_watch;
    std::unique_ptr<CEngineWorker> m_pWatchWorker;
    // Set to end the watch's worker, which holds its own reference.
    std::shared_ptr<void> m_pWatchStop;
    // The window's thread is inside a call of the watch's worker.
    bool m_bInWatchProbe = false;

    // Read by the first rotation step's worker.
    std::atomic<int> m_nCurrentProxy{0};
    std::atomic<int> m_nCurrentPort{0};
    std::atomic<unsigned> m_nPeriodMs{0};

    mutable std::mutex m_stateMutex;
    std::string m_strStartStopState;
    // Sessions started so far: a check that saved the settings before a
    // session began must not write them back over the session's proxy.
    std::atomic<unsigned> m_nSessionsStarted{0};
};
