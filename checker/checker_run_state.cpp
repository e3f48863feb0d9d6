#include "checker_run_state.h"

#include "checker_files.h"
#include "framework/filefind.h"
#include "framework/trace.h"
#include "list_lines.h"

class CCheckerRunState::CLock {
public:
    explicit CLock(CRITICAL_SECTION& section) : m_section(section) {
        ::EnterCriticalSection(&m_section);
    }
    ~CLock() { ::LeaveCriticalSection(&m_section); }
    CLock(const CLock&) = delete;
    CLock& operator=(const CLock&) = delete;

private:
    CRITICAL_SECTION& m_section;
};

CCheckerRunState::CCheckerRunState(std::string ownDirectory)
    : m_strOwnDirectory(std::move(ownDirectory)) {
    ::InitializeCriticalSection(&m_fileLock);
}

CCheckerRunState::~CCheckerRunState() { ::DeleteCriticalSection(&m_fileLock); }

bool CCheckerRunState::WriteToFile(const char* fileName, const std::string& entry) const {
    TraceText("WriteToFile ->" + entry);
    try {
        return AppendListLine(m_strOwnDirectory + fileName, entry);
    } catch (...) {
        return false;
    }
}

void CCheckerRunState::DeleteResultFile(const char* fileName) const {
    const std::string path = m_strOwnDirectory + fileName;
    CFileFind finder;
    if (finder.FindFile(path.c_str())) {
        finder.Close();
        ::DeleteFileA(path.c_str());
    }
}

CRunLedger::RunId CCheckerRunState::BeginRun(std::size_t entryCount) {
    CLock lock(m_fileLock);
    DeleteResultFile(kLiveListFile);
    DeleteResultFile(kDeadListFile);
    return m_ledger.BeginRun(entryCount);
}

void CCheckerRunState::RecordProbe(CRunLedger::RunId run, const std::string& entry, bool alive) {
    CLock lock(m_fileLock);
    if (alive) {
        TraceText(entry);
    }
    if (!m_ledger.IsCurrent(run)) {
        return;
    }
    WriteToFile(alive ? kLiveListFile : kDeadListFile, entry);
    m_ledger.FinishProbe(run);
}

std::size_t CCheckerRunState::EntryCount() {
    CLock lock(m_fileLock);
    return m_ledger.EntryCount();
}

bool CCheckerRunState::IsComplete() {
    CLock lock(m_fileLock);
    return m_ledger.IsComplete();
}
