// What a validation run shares between the checker's dialog thread and its
// probe workers: the file lock, the run ledger and the result files. Workers
// hold it by shared ownership, so one that is still probing when the dialog
// goes touches nothing freed.
//
// A worker's probe ends by the library's time-outs at the bound, so a proxy
// that never answers costs its thread and socket for the bound only; the
// dialog's completion check gives up a probe still out a little after that
// (one whose proxy trickles its answer), so the run completes all the same.
#pragma once

#include <windows.h>

#include <string>

#include "checker/checker_judge_rules.h"
#include "checker/checker_run_ledger.h"

// What one probe found out about its entry.
struct CProbeVerdict {
    bool m_bAlive = false;
    // Whether the run judges anonymity; a live entry then gets a class line.
    bool m_bJudged = false;
    judge::Anonymity m_anonymity = judge::Anonymity::Unknown;
    DWORD m_nRoundTripMs = 0;
};

class CCheckerRunState {
public:
    explicit CCheckerRunState(std::string ownDirectory);
    ~CCheckerRunState();
    CCheckerRunState(const CCheckerRunState&) = delete;
    CCheckerRunState& operator=(const CCheckerRunState&) = delete;

    const std::string& OwnDirectory() const { return m_strOwnDirectory; }

    // Appends the entry and a line end to a file of the own directory,
    // creating it when missing. False when it cannot be written.
    bool WriteToFile(const char* fileName, const std::string& entry) const;

    // Under the file lock: deletes the result files of the last run and starts
    // a new one, so no worker of the old run writes into the new files.
    void BeginRun(std::size_t entryCount);

    // Under the file lock: a probe of the current run starts now.
    CRunLedger::Ticket StartProbe(const std::string& entry);

    // Under the file lock: a probe ended. When it still counts, its entry
    // goes to the live, transparent or dead file, and a judged live one to
    // the class file; a late or stale answer is dropped.
    void RecordProbe(const CProbeTicket& ticket, const CProbeVerdict& verdict);

    // Under the file lock: a probe whose worker could not be set up at all
    // ended dead.
    void RecordUnstartedProbe(const std::string& entry);

    // Under the file lock: gives up the probes out for `giveUpMs` or more,
    // writing them as dead (with the send's time-out trace when the request
    // had not been sent).
    void ExpireOverdueProbes(DWORD giveUpMs);

    // Under the file lock: whether every probe of the current run has ended.
    bool IsComplete();

private:
    class CLock;

    void DeleteResultFile(const char* fileName) const;
    // WriteToFile without its trace.
    bool AppendLine(const char* fileName, const std::string& line) const;

    const std::string m_strOwnDirectory;
    CRITICAL_SECTION m_fileLock;
    CRunLedger m_ledger;
};
