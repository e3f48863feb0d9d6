// What a validation run shares between the checker's dialog thread and its
// probe workers: the file lock, the run ledger and the result files. Workers
// hold it by shared ownership, so one that is still probing when the dialog
// goes touches nothing freed.
#pragma once

#include <windows.h>

#include <string>

#include "run_ledger.h"

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
    CRunLedger::RunId BeginRun(std::size_t entryCount);

    // Under the file lock: a probe of `run` ended. When the run is current its
    // entry goes to the live or dead file and counts; otherwise it is dropped.
    void RecordProbe(CRunLedger::RunId run, const std::string& entry, bool alive);

    // Under the file lock: the number of entries of the current run, and
    // whether all of its probes have ended.
    std::size_t EntryCount();
    bool IsComplete();

private:
    class CLock;

    void DeleteResultFile(const char* fileName) const;

    const std::string m_strOwnDirectory;
    CRITICAL_SECTION m_fileLock;
    CRunLedger m_ledger;
};
