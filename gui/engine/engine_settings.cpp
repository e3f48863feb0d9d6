// The machine's proxy settings as the main window handles them: the user's
// options saved at a session's start and written back at its end, one entry
// applied at each rotation step, and the record that survives a crash.
#include "gui/engine/proxy_engine.h"

#include "framework/trace.h"
#include "gui/engine/url_fetch.h"
#include "shared/session_record_options.h"
#include "shared/probe_rules.h"

bool CProxyEngine::SaveProxyOptions() {
    bool saved = false;
    m_pCalls->Run([&] {
        saved = ::SaveProxyOptions(m_api, m_SavedProxyOptions);
        if (!saved) {
            m_pWindow->ShowMessage("Error1 ", EEngineMessage::Standard);
            m_pWindow->Quit(0, false);
        }
    });
    return saved;
}

bool CProxyEngine::RestoreProxyOptions() {
    bool restored = false;
    m_pCalls->Run([&] {
        restored = ::RestoreProxyOptions(m_api, m_SavedProxyOptions);
        if (!restored) {
            m_pWindow->Quit(0, false);
            return;
        }
        // The settings are the user's again: the crash record has done its job.
        if (m_pRecordStore) {
            m_pRecordStore->Remove();
        }
    });
    return restored;
}

void CProxyEngine::WriteSessionRecord(const std::string& appliedEntry) {
    if (!m_pRecordStore || !m_SavedProxyOptions.IsSaved()) {
        return;
    }
    // Applied all the same when the record cannot be written: the restore at
    // the session's end does not depend on it.
    if (!m_pRecordStore->Write(SessionRecordOf(m_SavedProxyOptions, appliedEntry))) {
        TraceText("Saved proxy settings could not be recorded");
    }
}

bool CProxyEngine::ApplyOnWindowThread(const std::string& address, int port) {
    // Recorded before it is applied, so a crash in between still finds it.
    const std::string entry = probe::ProxyText(address, port);
    WriteSessionRecord(entry);
    const bool applied = ::ApplyProxy(m_api, address, port);
    if (applied) {
        m_strAppliedEntry = entry;
    } else {
        // The entry in force is still the one applied before (or none).
        WriteSessionRecord(m_strAppliedEntry);
    }
    return applied;
}

bool CProxyEngine::ApplyEntry(const std::string& address, int port) {
    bool applied = false;
    m_pCalls->Run([&] { applied = ApplyOnWindowThread(address, port); });
    return applied;
}

void CProxyEngine::RecoverCrashedSession() {
    if (m_pRecordStore) {
        RecoverProxySettings(m_api, *m_pRecordStore);
    }
}

bool CProxyEngine::IsNetworkAvailable() {
    if (::lstrcmpiA(FetchUrl(m_settings.m_strTestUrl, std::string(), false).c_str(), "YES") == 0) {
        return false;
    }
    DWORD flags = 0;
    return m_api.GetConnectedState(&flags) != FALSE;
}
