#include "checker/checker_run_state.h"

#include "checker/checker_files.h"
#include "framework/filefind.h"
#include "framework/trace.h"
#include "shared/list_lines.h"
#include "shared/proxy_class_file.h"
#include "shared/probe_rules.h"

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

CCheckerRunState::~CCheckerRunState() {
    ::DeleteCriticalSection(&m_fileLock);
}

bool CCheckerRunState::WriteToFile(const char* fileName, const std::string& entry) const {
    TraceText("WriteToFile ->" + entry);
    return AppendLine(fileName, entry);
}

bool CCheckerRunState::AppendLine(const char* fileName, const std::string& line) const {
    try {
        const std::string path = ListPath(m_strOwnDirectory, fileName);
        return !path.empty() && AppendListLine(path, line);
    } catch (...) {
        return false;
    }
}

void CCheckerRunState::DeleteResultFile(const char* fileName) const {
    const std::string path = ListPath(m_strOwnDirectory, fileName);
    CFileFind finder;
    if (!path.empty() && finder.FindFile(path.c_str())) {
        finder.Close();
        ::DeleteFileA(path.c_str());
    }
}

void CCheckerRunState::BeginRun(std::size_t entryCount) {
    CLock lock(m_fileLock);
    DeleteResultFile(kLiveListFile);
    DeleteResultFile(kDeadListFile);
    DeleteResultFile(kTransparentListFile);
    DeleteResultFile(kProxyClassFile);
    m_ledger.BeginRun(entryCount);
}

CRunLedger::Ticket CCheckerRunState::StartProbe(const std::string& entry) {
    CLock lock(m_fileLock);
    return m_ledger.StartProbe(entry, ::GetTickCount());
}

void CCheckerRunState::RecordProbe(const CProbeTicket& ticket, const CProbeVerdict& verdict) {
    CLock lock(m_fileLock);
    if (verdict.m_bAlive) {
        TraceText(ticket.Entry());
    }
    if (!m_ledger.FinishProbe(ticket)) {
        return;
    }
    if (!verdict.m_bAlive) {
        WriteToFile(kDeadListFile, ticket.Entry());
        return;
    }
    const bool transparent = verdict.m_anonymity == judge::Anonymity::Transparent;
    if (transparent) {
        TraceText("Gives the user's address away, not published ->" + ticket.Entry());
    }
    WriteToFile(transparent ? kTransparentListFile : kLiveListFile, ticket.Entry());
    if (verdict.m_bJudged) {
        try {
            AppendLine(kProxyClassFile,
                       ProxyClassLine(ticket.Entry(), judge::AnonymityText(verdict.m_anonymity),
                                      verdict.m_nRoundTripMs));
        } catch (...) {
            // Out of memory: the entry goes without its class.
        }
    }
}

void CCheckerRunState::RecordUnstartedProbe(const std::string& entry) {
    CLock lock(m_fileLock);
    m_ledger.FinishUnticketedProbe();
    WriteToFile(kDeadListFile, entry);
}

void CCheckerRunState::ExpireOverdueProbes(DWORD giveUpMs) {
    CLock lock(m_fileLock);
    for (const CRunLedger::Ticket& ticket : m_ledger.ExpireProbes(::GetTickCount(), giveUpMs)) {
        if (!ticket->m_bSendReturned) {
            TraceText(probe::SendFailedTrace(probe::kTimeoutError, ticket->Entry()));
        }
        WriteToFile(kDeadListFile, ticket->Entry());
    }
}

bool CCheckerRunState::IsComplete() {
    CLock lock(m_fileLock);
    return m_ledger.IsComplete();
}
