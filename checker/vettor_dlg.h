// The checker's dialog (template 102). It stays open without occupying any
// screen space and validates the lists: at its start, every 30 minutes on
// timer 1000 unless a run is still out, and on every OK command (Enter
// included); timer 1001 checks every 10 s whether the run has completed.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "checker/checker_run_schedule.h"
#include "checker/checker_run_state.h"
#include "framework/dialog.h"

class CRunJudge;
class CSharedLink;

// A test build (VettorFastClock.exe) runs the same dialog on a shorter clock.
#ifndef SULVANTIX_CHECKER_RUN_PERIOD_MS
#define SULVANTIX_CHECKER_RUN_PERIOD_MS 1800000
#endif
#ifndef SULVANTIX_CHECKER_COMPLETE_CHECK_MS
#define SULVANTIX_CHECKER_COMPLETE_CHECK_MS 10000
#endif

constexpr UINT_PTR IDT_RUN = 1000;
constexpr UINT kRunPeriodMs = SULVANTIX_CHECKER_RUN_PERIOD_MS;
constexpr UINT_PTR IDT_RUN_COMPLETE = 1001;
constexpr UINT kRunCompleteCheckMs = SULVANTIX_CHECKER_COMPLETE_CHECK_MS;
// The pause after handing an entry to its worker.
constexpr DWORD kWorkerStaggerMs = 100;

class CVettorDlg : public CDialog {
public:
    // The link (the application's, which outlives the dialog) carries the
    // end of a run to a GUI the window message cannot reach.
    explicit CVettorDlg(const CSharedLink& link, CWnd* parent = nullptr);

    BOOL OnInitDialog() override;
    // The OK command starts a new run; the dialog stays open.
    void OnOK() override;
    void OnTimer(UINT_PTR id) override;
    void OnSysCommand(UINT id, LPARAM lParam) override;
    void OnPaint() override;
    HCURSOR OnQueryDragIcon() override;

    // Starts a validation run, whatever the state of the last one: a worker
    // per entry, 100 ms apart.
    void StartRun();
    // On timer 1001: when every probe has ended, publishes the live list and
    // tells the GUI.
    void CheckRunComplete();

private:
    void StartWorker(const std::string& entry);
    void PublishLiveList() const;

    // Tells the GUI that a run has ended: its window when this desktop
    // has one, otherwise the link's checker-done event.
    void TellGuiRunEnded() const;

    const CSharedLink& m_link;
    HICON m_hIcon;
    // Never assigned: the probe then names the program as its user agent.
    std::string m_strUserAgent;
    // The entry being handed to the next worker (dialog thread only).
    std::string m_strCurrentEntry;
    std::vector<std::string> m_entries;
    std::shared_ptr<CCheckerRunState> m_pRunState;
    // What the current run judges anonymity by; shared with its workers.
    std::shared_ptr<const CRunJudge> m_pJudge;
    CRunSchedule m_schedule;
};
