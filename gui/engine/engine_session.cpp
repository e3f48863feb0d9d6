// The anonymizing session: Start/Stop, the rotation through the list on the
// chosen interval, and the ways a session ends.
#include "proxy_engine.h"

#include "framework/trace.h"
#include "rotation_interval.h"
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
    m_pWindow->UpdateData(true);
    const std::string oldState = StartStopState();
    const bool wasIdle = oldState == kStartAnonymizing;
    if (wasIdle) {
        if (m_pWindow->ListCount() == 0) {
            SetStartStopState(kStartAnonymizing);
            m_pWindow->SetStartStopLook(false);
            m_pWindow->FlashStartStop();
            m_pWindow->ShowMessage(kNoProxyInList);
            return;
        }
        m_pWindow->SetStartStopLook(true);
        SetStartStopState(kStopAnonymizing);
    } else {
        SetStartStopState(kStartAnonymizing);
        m_pWindow->SetStartStopLook(false);
    }
    if (oldState == kStopAnonymizing && m_bAnonymizing) {
        StopAnonymizing();
    }
    if (wasIdle) {
        if (!IsNetworkAvailable()) {
            m_pWindow->ShowMessage(kCheckNetwork);
            m_pWindow->CloseAndQuit(0);
            return;
        }
        m_bAnonymizing = true;
        m_pWindow->ShowMessage(kSettingsSaved);
        StartRotation();
    }
    m_pWindow->UpdateData(false);
}

void CProxyEngine::StartRotation() {
    ++m_nSessionsStarted;
    if (!SaveProxyOptions()) {
        // The program is quitting; nothing was applied, so nothing is owed back.
        m_bAnonymizing = false;
        return;
    }
    m_strAppliedEntry.clear();
    m_pWindow->EnableControlGroup(2, true);
    m_bStopChangeIP = false;
    m_bClosing = false;
    StartWorker(&CProxyEngine::ChangeIP, true);
}

void CProxyEngine::EndSessionOnWindowThread(const char* message) {
    m_pWindow->ShowMessage(message);
    StopAnonymizingFor(nullptr);
    SetStartStopState(kStartAnonymizing);
    m_pWindow->SetStartStopLook(false);
    m_pWindow->InvalidateAll();
}

void CProxyEngine::ChangeIP() {
    const CWorkerTicket* self = CWindowThreadCalls::CurrentTicket();
    // An entry that cannot be applied sends the step round again from its
    // start, the entry after it selected.
    for (;;) {
        TraceText("In ChangeIP()");
        g_nCurrentProxy = 0;
        PumpPendingMessages();
        if (StopRequested()) {
            TraceText(kReturnCause);
            return;
        }
        g_nCurrentProxy = m_pWindow->ListCurSel();

        DWORD connection = 0;
        if (!m_api.GetConnectedState(&connection)) {
            // The session ends here: on the window's thread, and without
            // waiting for this very worker.
            m_pCalls->Run([&] {
                m_pWindow->ShowMessage(kCheckNetwork);
                StopAnonymizingFor(self);
                SetStartStopState(kStartAnonymizing);
                m_pWindow->SetStartStopLook(false);
                m_pWindow->InvalidateAll();
            });
            return;
        }
        if (m_pWindow->ListCount() == 0) {
            // Both list files went during the session: nothing left to rotate.
            m_pCalls->Run([&] {
                m_pWindow->ShowMessage(kNoProxyInList);
                StopAnonymizingFor(self);
                SetStartStopState(kStartAnonymizing);
                m_pWindow->SetStartStopLook(false);
                m_pWindow->InvalidateAll();
            });
            return;
        }
        if (g_nCurrentProxy < 0) {
            g_nCurrentProxy = 0;
            m_pWindow->ListSetSel(0, true);
            m_pWindow->ListSetCurSel(0);
        }
        const CProxyEntryParts parts = SplitProxyEntry(m_pWindow->ListText(g_nCurrentProxy));
        g_nCurrentPort = parts.m_nPort;

        PumpPendingMessages();
        if (StopRequested()) {
            return;
        }
        TraceText(" Calling CheckIfOnline(proxy , port, true)");
        if (CheckIfOnline(parts.m_strAddress, g_nCurrentPort, true)) {
            TraceText("CheckIfOnline Fine ");
            const unsigned periodMs = RotationPeriodMs(m_pWindow->TimerSelectionText(),
                                                       m_settings.m_nRotationMsPerSecond);
            PumpPendingMessages();
            if (StopRequested()) {
                TraceText(kReturnCause);
                return;
            }
            m_pCalls->Run([&] { m_nRotateTimer = m_pWindow->SetTimer(IDT_ROTATE, periodMs); });
            return;
        }

        PumpPendingMessages();
        if (StopRequested()) {
            return;
        }
        TraceText("CheckIfOnline Error : Check For Next ");
        if (g_nCurrentProxy == m_pWindow->ListCount() - 1) {
            LoadProxyLists();
            m_pWindow->ListSetCurSel(0);
        } else {
            m_pWindow->ListSetCurSel(g_nCurrentProxy + 1);
        }
    }
}

void CProxyEngine::OnTimer(unsigned id) {
    if (id == IDT_ROTATE) {
        m_pWindow->KillTimer(IDT_ROTATE);
        int next = g_nCurrentProxy + 1;
        if (next == m_pWindow->ListCount()) {
            LoadProxyLists();
            next = 0;
        }
        m_pWindow->ListSetCurSel(next);
        ChangeIP();
    } else if (id == IDT_NO_LIVE_PROXY) {
        m_pWindow->KillTimer(IDT_NO_LIVE_PROXY);
        m_pWindow->ShowMessage(kNoLiveProxy);
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
    StopRecordedWorker(false, caller);
    m_pWindow->EnableControlGroup(2, false);
    RestoreProxyOptions();
    m_bAnonymizing = false;
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
    StopRecordedWorker(true, nullptr);
    RestoreProxyOptions();
    m_bAnonymizing = false;
}

void CProxyEngine::OnClose() {
    if (m_bAnonymizing) {
        StopAnonymizing();
    }
}
