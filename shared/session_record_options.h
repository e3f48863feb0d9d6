// Between the saved option list the library fills and the record that
// outlives a crash; and the recovery at start-up that uses the record.
#pragma once

#include <string>

#include "shared/proxy_options.h"
#include "shared/session_record.h"
#include "shared/session_record_store.h"

CSessionRecord SessionRecordOf(const CSavedProxyOptions& saved, const std::string& appliedEntry);
// Fills `saved` (its texts our own copies) from a parsed record; false when
// out of memory.
bool SavedOptionsOf(const CSessionRecord& record, CSavedProxyOptions& saved);

enum class RecoveryOutcome {
    NoRecord,    // nothing to do: the last session ended well
    Restored,    // the user's settings are back, the record is gone
    UserChanged, // the settings changed since; left alone, the record is gone
    SetAside,    // the record was torn or garbage; renamed, nothing changed
    NotRestored, // the settings could not be read or written; the record stays
};

// At start-up: a record left by a session that did not end puts the user's
// settings back when the machine still uses the entry applied last.
RecoveryOutcome RecoverProxySettings(IInternetOptions& api, CSessionRecordStore& store);
