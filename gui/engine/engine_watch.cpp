// The watch on the proxy in force: while a session is on, a worker probes the
// entry applied last, with the checker's probe and test file, and the window's
// thread moves the session on when the proxy has stopped answering.
#include <windows.h>

#include "framework/trace.h"
#include "gui/engine/proxy_engine.h"
#include "shared/proxy_address_data.h"

namespace {

const char kStoppedAnswering[] = " Proxy in force stopped answering, moving to the next ";
// The worker looks again at least this often: a switch may bring the next
// probe forward, and a stop must not wait out a long rest.
constexpr std::uint64_t kLookAgainMs = 1000;

struct EventCloser {
    void operator()(void* event) const { ::CloseHandle(event); }
};

} // namespace

void CProxyEngine::StartWatch() {
    StopWatch();
    std::shared_ptr<void> stop(::CreateEventA(nullptr, TRUE, FALSE, nullptr), EventCloser());
    if (stop.get() == nullptr) {
        return;
    }
    std::shared_ptr<CProxyEngine> self = shared_from_this();
    // The worker holds the engine and the stop event: it outlives neither.
    m_pWatchWorker = CEngineWorker::Start(
        [self, stop] { self->WatchProxyInForce(static_cast<HANDLE>(stop.get())); });
    if (m_pWatchWorker) {
        m_pWatchStop = std::move(stop);
    }
}

void CProxyEngine::StopWatch() {
    m_watch.OnSessionEnd();
    if (!m_pWatchWorker) {
        return;
    }
    ::SetEvent(static_cast<HANDLE>(m_pWatchStop.get()));
    // A probe under way ends by its bound; the worker then finds its calls
    // dropped and ends by itself. Never waited for from inside its own call.
    if (m_bInWatchProbe || !m_pWatchWorker->WaitToEnd(m_settings.m_nWorkerStopWaitMs)) {
        m_pWatchWorker->ReleaseTicket();
    }
    m_pWatchWorker.reset();
    m_pWatchStop.reset();
}

void CProxyEngine::WatchProxyInForce(HANDLE stopEvent) {
    CProxyAddressData probe;
    probe.m_nProbeBoundMs = m_settings.m_watchTiming.m_nProbeBoundMs;
    for (;;) {
        std::uint64_t waitMs = CProxyWatchRules::kNever;
        std::string entry;
        if (!m_pCalls->Run([&] {
                waitMs = m_watch.MsToNextProbe(::GetTickCount64());
                entry = m_strAppliedEntry;
            })) {
            return;
        }
        if (waitMs > 0 || entry.empty()) {
            const DWORD pause = static_cast<DWORD>(waitMs < kLookAgainMs ? waitMs : kLookAgainMs);
            if (::WaitForSingleObject(stopEvent, pause) != WAIT_TIMEOUT) {
                return;
            }
            continue;
        }
        const std::uint64_t started = ::GetTickCount64();
        probe::FailureWeight weight = probe::FailureWeight::kPassing;
        const bool alive = probe.ProbeProxyStringOnThisThread(entry, nullptr, &weight) == 1;
        if (::WaitForSingleObject(stopEvent, 0) != WAIT_TIMEOUT) {
            return;
        }
        const WatchProbe result = alive                                    ? WatchProbe::Alive
                                  : weight == probe::FailureWeight::kFinal ? WatchProbe::FailedFinal
                                                                           : WatchProbe::Failed;
        if (!m_pCalls->Run([&] { OnWatchProbe(entry, result, started); })) {
            return;
        }
    }
}

void CProxyEngine::OnWatchProbe(const std::string& entry, WatchProbe result,
                                std::uint64_t startedMs) {
    // A switch or a stop while the probe was out: its answer is of the past.
    if (!m_bAnonymizing || entry != m_strAppliedEntry) {
        return;
    }
    const WatchStep step =
        m_watch.OnProbe(result, startedMs, ::GetTickCount64(), m_list.Count(), m_nPeriodMs);
    if (step == WatchStep::MoveOn) {
        TraceText(kStoppedAnswering);
        // The period's own step: the next entry (the list reloaded at the
        // wrap), applied, and the period armed anew from this switch.
        m_bInWatchProbe = true;
        OnTimer(IDT_ROTATE);
        m_bInWatchProbe = false;
    }
}
