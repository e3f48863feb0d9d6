#include "shared/session_record_options.h"

#include "framework/trace.h"

CSessionRecord SessionRecordOf(const CSavedProxyOptions& saved, const std::string& appliedEntry) {
    CSessionRecord record;
    for (const INTERNET_PER_CONN_OPTIONA& option : saved.m_options) {
        CSavedProxyOption value;
        value.m_nOption = option.dwOption;
        value.m_bIsText = IsTextOption(option.dwOption);
        if (value.m_bIsText) {
            value.m_bHasText = option.Value.pszValue != nullptr;
            if (value.m_bHasText) {
                value.m_strText = option.Value.pszValue;
            }
        } else {
            value.m_nNumber = option.Value.dwValue;
        }
        record.m_options.push_back(value);
    }
    record.m_strAppliedEntry = appliedEntry;
    return record;
}

bool SavedOptionsOf(const CSessionRecord& record, CSavedProxyOptions& saved) {
    saved.Prepare();
    if (record.m_options.size() != kSavedOptionCount) {
        return false;
    }
    for (int i = 0; i < kSavedOptionCount; ++i) {
        const CSavedProxyOption& value = record.m_options[i];
        if (value.m_nOption != saved.m_options[i].dwOption) {
            return false;
        }
        if (IsTextOption(value.m_nOption)) {
            if (!saved.SetText(i, value.m_bHasText ? value.m_strText.c_str() : nullptr)) {
                return false;
            }
        } else {
            saved.m_options[i].Value.dwValue = static_cast<DWORD>(value.m_nNumber);
        }
    }
    saved.m_bSaved = true;
    return true;
}

RecoveryOutcome RecoverProxySettings(IInternetOptions& api, CSessionRecordStore& store) {
    try {
        CSessionRecord record;
        switch (store.Read(record)) {
        case CSessionRecordStore::ReadResult::None:
            return RecoveryOutcome::NoRecord;
        case CSessionRecordStore::ReadResult::Corrupt:
            TraceText("Saved proxy settings record unreadable, set aside");
            store.SetAside();
            return RecoveryOutcome::SetAside;
        case CSessionRecordStore::ReadResult::Valid:
            break;
        }
        const CCurrentProxyQuery now = QueryCurrentProxy(api);
        if (!now.m_bRead) {
            return RecoveryOutcome::NotRestored;
        }
        CCurrentProxySettings current;
        current.m_nFlags = now.m_dwFlags;
        current.m_bHasServer = now.m_bHasServer;
        current.m_strServer = now.m_strServer;
        if (DecideRecovery(record, current) == RecoveryAction::LeaveCurrent) {
            store.Remove();
            return RecoveryOutcome::UserChanged;
        }
        CSavedProxyOptions saved;
        if (!SavedOptionsOf(record, saved) || !RestoreProxyOptions(api, saved)) {
            return RecoveryOutcome::NotRestored;
        }
        TraceText("Saved proxy settings restored after an unfinished session");
        store.Remove();
        return RecoveryOutcome::Restored;
    } catch (...) {
        return RecoveryOutcome::NotRestored;
    }
}
