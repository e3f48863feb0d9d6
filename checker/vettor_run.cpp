// The validation run of the checker's dialog: every entry of the two input
// lists is probed on a worker of its own; the workers sort the entries into
// the live and dead files; the completion check publishes the live list.
#include <memory>
#include <string>

#include "build_config.h"
#include "checker/checker_files.h"
#include "checker/checker_run_schedule.h"
#include "checker/checker_trace_stamp.h"
#include "checker/judge_fetch.h"
#include "checker/run_judge.h"
#include "checker/vettor_dlg.h"
#include "framework/module_paths.h"
#include "framework/thread.h"
#include "framework/trace.h"
#include "shared/checker_done_message.h"
#include "shared/proxy_address_data.h"
#include "shared/shared_link.h"

namespace {

// One entry's work, owned by its worker thread.
struct CProbeWorkItem {
    std::string m_strEntry;
    std::string m_strUserAgent;
    CRunLedger::Ticket m_pTicket;
    std::shared_ptr<CCheckerRunState> m_pState;
    std::shared_ptr<const CRunJudge> m_pJudge; // null when the run judges nothing
};

// The judge's answer through a live proxy is awaited for what is left of the
// probe's bound since the worker began, so judging never holds a run longer
// than probing could.
judge::Anonymity JudgeLiveProxy(const CProbeWorkItem& item, CJudgeExchange& exchange,
                                DWORD workerMs) {
    const DWORD bound = SULVANTIX_PROBE_BOUND_MS;
    if (!item.m_pJudge || workerMs >= bound) {
        return judge::Anonymity::Unknown;
    }
    return item.m_pJudge->Judge(exchange, item.m_strEntry, bound - workerMs);
}

UINT ProbeWorker(LPVOID param) {
    const std::unique_ptr<CProbeWorkItem> item(static_cast<CProbeWorkItem*>(param));
    TraceText(item->m_strEntry);
    CProbeVerdict verdict;
    try {
        const DWORD began = ::GetTickCount();
        // The judge's request goes out first and is answered beside the
        // probe, so a slow proxy makes the run wait once.
        CJudgeExchange exchange;
        if (item->m_pJudge) {
            item->m_pJudge->Ask(exchange, item->m_strEntry);
        }
        CProxyAddressData probe;
        probe.m_strUserAgent = item->m_strUserAgent;
        const DWORD probing = ::GetTickCount();
        // Ended by the library's time-outs, not by a second thread per
        // entry; the completion check gives up what they cannot end.
        verdict.m_bAlive = probe.ProbeProxyStringOnThisThread(
                               item->m_strEntry, &item->m_pTicket->m_bSendReturned) == 1;
        verdict.m_nRoundTripMs = ::GetTickCount() - probing;
        verdict.m_bJudged = item->m_pJudge && item->m_pJudge->Judging();
        if (verdict.m_bAlive) {
            verdict.m_anonymity = JudgeLiveProxy(*item, exchange, ::GetTickCount() - began);
        }
    } catch (...) {
        verdict.m_bAlive = false;
    }
    item->m_pState->RecordProbe(*item->m_pTicket, verdict);
    return 0;
}

} // namespace

void CVettorDlg::StartRun() {
    std::string stamp;
    try {
        stamp = CurrentTraceStamp();
        m_entries.clear();
        // Without its own directory the run could write its results nowhere.
        const std::string& own = m_pRunState->OwnDirectory();
        if (!own.empty()) {
            LoadRunEntries(ListPath(own, kVettorListFile),
                           ListPath(GetSystemDirectoryPath(), kUserProxyFile), m_entries);
        }
    } catch (...) {
        // Out of memory: the run goes on with what was loaded.
    }
    // The old run's files go and its workers stop counting.
    m_pRunState->BeginRun(m_entries.size());
    try {
        m_pJudge = CRunJudge::Learn();
    } catch (...) {
        // Out of memory: this run judges nothing.
        m_pJudge.reset();
    }

    m_schedule.LaunchBegan();
    for (const std::string& entry : m_entries) {
        StartWorker(entry);
        ::Sleep(kWorkerStaggerMs);
    }
    m_schedule.LaunchEnded();

    try {
        stamp += CurrentRunStampEnd();
    } catch (...) {
    }
    SetTimer(IDT_RUN_COMPLETE, kRunCompleteCheckMs);
    TraceText(stamp);
}

void CVettorDlg::StartWorker(const std::string& entry) {
    CRunLedger::Ticket ticket;
    try {
        m_strCurrentEntry = entry;
        TraceText("ok -> " + m_strCurrentEntry);
        ticket = m_pRunState->StartProbe(m_strCurrentEntry);
        auto item = std::make_unique<CProbeWorkItem>(
            CProbeWorkItem{m_strCurrentEntry, m_strUserAgent, ticket, m_pRunState, m_pJudge});
        if (AfxBeginThread(ProbeWorker, item.get())) {
            // The worker owns and frees it now.
            item.release();
            return;
        }
    } catch (...) {
    }
    // A worker that cannot run counts as a dead probe, so the run completes.
    if (ticket) {
        m_pRunState->RecordProbe(*ticket, CProbeVerdict());
    } else {
        m_pRunState->RecordUnstartedProbe(entry);
    }
}

void CVettorDlg::CheckRunComplete() {
    m_pRunState->ExpireOverdueProbes(ProbeGiveUpMs(SULVANTIX_PROBE_BOUND_MS));
    TraceText("Total count upto :" + std::to_string(m_entries.size()));
    if (!m_pRunState->IsComplete()) {
        return;
    }
    TraceText("Copy File to system 32");
    KillTimer(IDT_RUN_COMPLETE);
    PublishLiveList();
    // Before the message: the GUI's answer may take a while, and the run is
    // over whatever it does.
    m_schedule.RunEnded();
    TellGuiRunEnded();
    TraceText(CurrentTraceStamp());
}

void CVettorDlg::TellGuiRunEnded() const {
    if (HWND gui = ::FindWindowA(kSulvantixWindowClass, kSulvantixWindowCaption)) {
        ::SendMessageA(gui, WM_CHECKER_DONE, 0, 0);
        return;
    }
    // No main window on this desktop: the GUI may run in another session
    // (this checker in the services' one) and waits on the event there.
    m_link.SignalCheckerDone();
}

void CVettorDlg::PublishLiveList() const {
    // With no live entry there is no file, the copy fails and the system
    // directory keeps its list.
    const std::string from = ListPath(m_pRunState->OwnDirectory(), kLiveListFile);
    const std::string to = ListPath(GetSystemDirectoryPath(), kLiveListFile);
    if (!from.empty() && !to.empty()) {
        ::CopyFileA(from.c_str(), to.c_str(), FALSE);
    }
}
