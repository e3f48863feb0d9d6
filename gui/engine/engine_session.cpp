// The anonymizing session: Start/Stop, the rotation through the list on the
// chosen interval, and the ways a session ends.
#include "gui/engine/proxy_engine.h"

#include "framework/trace.h"
#include "shared/probe_rules.h"
#include "shared/proxy_entry.h"

namespace {

const char kNoProxyInList[] = " No Proxy in the Proxy list.";
const char kCheckNetwork[] = " Please check your Network connection";
const char kSettingsSaved[] = " Current Network settings saved";
const char kSettingOriginal[] = " Setting Original Proxy Settings ";
const char kNoLiveProxy[] =
    "No live proxy avaliable in the list, Plese click on Update to get live proxies!!";
const char kReturnCause[] = "Return Cause m_bStopChangeIP is true ";

} // namespace

void CProxyEngine::OnStartStop() {
    const std::string oldState = StartStopState();
    const bool wasIdle = oldState == kStartAnonymizing;
    if (wasIdle) {
        if (m_list.Empty()) {
            SetStartStopState(kStartAnonymizing);
            SetStopLook(false);
            RefreshButtons(true);
            ShowMessage(kNoProxyInList);
            return;
        }
        SetStopLook(true);
        SetStartStopState(kStopAnonymizing);
    } else {
        SetStartStopState(kStartAnonymizing);
        SetStopLook(false);
    }
    if (oldState == kStopAnonymizing && m_bAnonymizing) {
        StopAnonymizing();
    }
    if (wasIdle) {
        if (!IsNetworkAvailable()) {
            ShowMessage(kCheckNetwork);
            m_pWindow->Quit(0, true);
            return;
        }
        m_bAnonymizing = true;
        ShowMessage(kSettingsSaved);
        StartRotation();
    }
}

void CProxyEngine::StartRotation() {
    ++m_nSessionsStarted;
    if (!SaveProxyOptions()) {
        // The program is quitting; nothing was applied, so nothing is owed back.
        m_bAnonymizing = false;
        return;
    }
    m_strAppliedEntry.clear();
    SetBusy(true);
    m_bStopChangeIP = false;
    m_bClosing = false;
    StartWorker([this] { ChangeIP(); }, true);
    StartWatch();
}

void CProxyEngine::EndSessionOnWindowThread(const char* message, const CWorkerTicket* caller) {
    m_pWindow->ShowMessage(message);
    StopAnonymizingFor(caller);
    SetStartStopState(kStartAnonymizing);
    SetStopLook(false, true);
}

void CProxyEngine::ChangeIP() {
    const CWorkerTicket* self = CWindowThreadCalls::CurrentTicket();
    // An entry that cannot be applied sends the step round again from its
    // start, the entry after it selected.
    for (;;) {
        TraceText("In ChangeIP()");
        m_nCurrentProxy = 0;
        PumpPendingMessages();
        if (StopRequested()) {
            TraceText(kReturnCause);
            return;
        }
        int selected = -1;
        std::size_t count = 0;
        if (!m_pCalls->Run([&] {
                selected = m_nSelected;
                count = m_list.Count();
            })) {
            return; // let go: nothing of it may reach the window
        }
        m_nCurrentProxy = selected;

        DWORD connection = 0;
        if (!m_api.GetConnectedState(&connection)) {
            // The session ends here: on the window's thread, and without
            // waiting for this very worker.
            m_pCalls->Run([&] { EndSessionOnWindowThread(kCheckNetwork, self); });
            return;
        }
        if (count == 0) {
            // Both list files went during the session: nothing left to rotate.
            m_pCalls->Run([&] { EndSessionOnWindowThread(kNoProxyInList, self); });
            return;
        }
        std::string entry;
        m_pCalls->Run([&] {
            if (m_nCurrentProxy < 0) {
                m_nCurrentProxy = 0;
                Select(0);
            }
            if (static_cast<std::size_t>(m_nCurrentProxy) < m_list.Count()) {
                entry = m_list.Entry(static_cast<std::size_t>(m_nCurrentProxy.load()));
            }
        });
        const CProxyEntryParts parts = SplitProxyEntry(entry);
        m_nCurrentPort = parts.m_nPort;

        PumpPendingMessages();
        if (StopRequested()) {
            return;
        }
        TraceText(" Calling CheckIfOnline(proxy , port, true)");
        if (ApplyEntry(parts.m_strAddress, m_nCurrentPort)) {
            TraceText("CheckIfOnline Fine ");
            const unsigned periodMs = m_nPeriodMs;
            PumpPendingMessages();
            if (StopRequested()) {
                TraceText(kReturnCause);
                return;
            }
            const std::string inForce = probe::ProxyText(parts.m_strAddress, m_nCurrentPort);
            Show([&](IEngineWindow& window) {
                window.ArmTimer(IDT_ROTATE, periodMs);
                m_watch.OnSwitch(::GetTickCount64());
                window.ShowProxyInForce(inForce, periodMs);
            });
            return;
        }

        PumpPendingMessages();
        if (StopRequested()) {
            return;
        }
        TraceText("CheckIfOnline Error : Check For Next ");
        m_pCalls->Run([&] {
            if (static_cast<std::size_t>(m_nCurrentProxy) + 1 == m_list.Count()) {
                LoadAndShowList();
                Select(0);
            } else {
                Select(m_nCurrentProxy + 1);
            }
        });
    }
}

void CProxyEngine::OnTimer(unsigned id) {
    if (id == IDT_ROTATE) {
        m_pWindow->KillTimer(IDT_ROTATE);
        int next = m_nCurrentProxy + 1;
        if (static_cast<std::size_t>(next) == m_list.Count()) {
            LoadAndShowList();
            next = 0;
        }
        Select(next);
        ChangeIP();
    } else if (id == IDT_NO_LIVE_PROXY) {
        m_pWindow->KillTimer(IDT_NO_LIVE_PROXY);
        ShowMessage(kNoLiveProxy);
    }
}

void CProxyEngine::StopRecordedWorker(bool closing, const CWorkerTicket* caller) {
    if (!m_pWorkerThread) {
        return;
    }
    m_bStopChangeIP = true;
    m_bClosing = closing;
    // Never waited for by itself: the offline path of the first rotation step
    // ends the session on the worker's behalf.
    const bool byItself = m_pWorkerThread->IsCurrentThread() ||
                          (caller != nullptr && caller == m_pWorkerThread->Ticket());
    if (!byItself) {
        // Asked to stop; one still busy after the wait (a probe, a message on
        // its way) finishes by itself with every effect dropped.
        if (!m_pWorkerThread->WaitToEnd(m_settings.m_nWorkerStopWaitMs)) {
            m_pWorkerThread->ReleaseTicket();
        }
    }
    m_pWorkerThread.reset();
}

void CProxyEngine::StopAnonymizingFor(const CWorkerTicket* caller) {
    m_pWindow->KillTimer(IDT_ROTATE);
    StopWatch();
    StopRecordedWorker(false, caller);
    SetBusy(false);
    RestoreProxyOptions();
    m_bAnonymizing = false;
    m_pWindow->ShowProxyInForce(std::string(), 0);
    m_pWindow->ShowMessage(kSettingOriginal);
}

void CProxyEngine::StopAnonymizing() {
    const CWorkerTicket* caller = CWindowThreadCalls::CurrentTicket();
    m_pCalls->Run([&] { StopAnonymizingFor(caller); });
}

bool CProxyEngine::OnCancel() {
    if (::GetKeyState(VK_ESCAPE) < 0) {
        return false;
    }
    if (m_bAnonymizing) {
        StopAnonymizing();
    }
    StopRecordedWorker(true, nullptr);
    return true;
}

void CProxyEngine::OnEndSession() {
    if (!m_bAnonymizing) {
        return;
    }
    m_pWindow->KillTimer(IDT_ROTATE);
    StopWatch();
    StopRecordedWorker(true, nullptr);
    RestoreProxyOptions();
    m_bAnonymizing = false;
}

void CProxyEngine::OnClose() {
    if (m_bAnonymizing) {
        StopAnonymizing();
    }
}
