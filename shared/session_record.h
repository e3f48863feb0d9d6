// The on-disk record of a running session: the user's seven saved
// per-connection proxy options and the entry last applied. It outlives a kill
// or a power cut, so that the next start can put the user's settings back.
// Plain values only; the file itself is handled by CSessionRecordStore.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// One saved option. A text option with m_bHasText false is a null text, which
// differs from an empty one. Fields that do not belong to the option's kind
// stay at their defaults.
struct CSavedProxyOption {
    unsigned long m_nOption = 0;
    bool m_bIsText = false;
    unsigned long m_nNumber = 0;
    bool m_bHasText = false;
    std::string m_strText;
};

struct CSessionRecord {
    std::vector<CSavedProxyOption> m_options;
    std::string m_strAppliedEntry; // "address:port", as it was applied
};

// The seven options a record holds, in this order, each once.
struct CSessionRecordSlot {
    unsigned long m_nOption;
    bool m_bIsText;
};
constexpr CSessionRecordSlot kSessionRecordSlots[] = {
    {5, false}, // INTERNET_PER_CONN_AUTODISCOVERY_FLAGS
    {4, true},  // INTERNET_PER_CONN_AUTOCONFIG_URL
    {1, false}, // INTERNET_PER_CONN_FLAGS
    {3, true},  // INTERNET_PER_CONN_PROXY_BYPASS
    {2, true},  // INTERNET_PER_CONN_PROXY_SERVER
    {6, true},  // INTERNET_PER_CONN_AUTOCONFIG_SECONDARY_URL
    {7, false}, // INTERNET_PER_CONN_AUTOCONFIG_RELOAD_DELAY_MINS
};

// No record, written or accepted, is longer than this.
constexpr std::size_t kMaxSessionRecordBytes = 64 * 1024;

// The record's bytes, or empty text when the record cannot be written so that
// ParseSessionRecord gives it back unchanged: not the seven slots in order, a
// number above 32 bits, a stray field of the wrong kind, or too long.
std::string FormatSessionRecord(const CSessionRecord& record);

// True only for bytes FormatSessionRecord writes; anything else (torn,
// flipped, unknown version, trailing bytes, too long) answers false and leaves
// the record untouched.
bool ParseSessionRecord(std::string_view bytes, CSessionRecord& record);

// What the machine's per-connection options say now.
struct CCurrentProxySettings {
    unsigned long m_nFlags = 0;
    bool m_bHasServer = false;
    std::string m_strServer;
};

enum class RecoveryAction { RestoreSaved, LeaveCurrent };

// RestoreSaved exactly when the proxy is still on (PROXY_TYPE_PROXY in the
// flags) and its server is the entry last applied, byte for byte. Anything
// else means the user changed the settings since, and they are left alone.
RecoveryAction DecideRecovery(const CSessionRecord& record, const CCurrentProxySettings& current);
