#include "gui/app/single_instance_impl.h"

#include <new>
#include <string>

#include "framework/trace.h"
#include "gui/app/single_instance.h"

CSingleInstanceImpl::~CSingleInstanceImpl() {
    if (!m_hWakeEvent || !m_hStopEvent) {
        return;
    }
    if (!::SetEvent(m_hStopEvent.Get())) {
        TraceText("CSingleInstanceImpl: the stop event could not be set");
    }
    if (m_pThread) {
        // The thread's own end rather than its acknowledgement on the wake
        // event: a later start's pulse on that event would look the same.
        m_pThread->WaitToEnd(INFINITE);
    }
}

BOOL CSingleInstanceImpl::Create(const char* identifier) {
    if (m_bCreateCalled || identifier == nullptr) {
        return FALSE;
    }
    m_bCreateCalled = true;
    try {
        const std::string id(identifier);
        // Without the data object the event alone decides; there is just no
        // command line to hand over.
        m_pData.reset(new (std::nothrow) CSingleInstanceData(id));

        HANDLE wake = ::CreateEventA(nullptr, FALSE, FALSE, (id + "-Event").c_str());
        const DWORD error = ::GetLastError();
        m_hWakeEvent.Reset(wake);
        if (!m_hWakeEvent) {
            return FALSE;
        }
        if (error == ERROR_ALREADY_EXISTS) {
            if (m_pData) {
                m_pData->SetValue(::GetCommandLineA());
            }
            if (::PulseEvent(m_hWakeEvent.Get())) {
                m_hWakeEvent.Reset();
            }
            return FALSE;
        }

        m_hStopEvent.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
        if (!m_hStopEvent) {
            return FALSE;
        }
        m_pThread = AfxBeginThread(WaitThreadProc, this);
        if (!m_pThread) {
            // Still the first instance: the program runs, later starts just
            // do not bring it forward.
            TraceText("CSingleInstanceImpl: the wait thread could not be started");
        }
        return TRUE;
    } catch (...) {
        TraceText("Exception caught in CSingleInstanceImpl::Create");
    }
    return FALSE;
}

UINT CSingleInstanceImpl::WaitThreadProc(LPVOID param) {
    static_cast<CSingleInstanceImpl*>(param)->WaitForWakes();
    return 0;
}

void CSingleInstanceImpl::WaitForWakes() {
    // The wake event first: when both are signalled a pending wake is served
    // before the stop.
    const HANDLE events[2] = {m_hWakeEvent.Get(), m_hStopEvent.Get()};
    for (;;) {
        const DWORD result = ::WaitForMultipleObjects(2, events, FALSE, INFINITE);
        if (result == WAIT_OBJECT_0) {
            OnWake();
        } else if (result == WAIT_OBJECT_0 + 1) {
            break;
        } else if (result == WAIT_FAILED) {
            // It would fail again at once; waiting again would only spin.
            TraceText("CSingleInstanceImpl: waiting for a wake failed");
            break;
        }
    }
    // The acknowledgement that this thread is done with the guard.
    ::SetEvent(m_hWakeEvent.Get());
}

void CSingleInstanceImpl::OnWake() {
    if (m_pOwner == nullptr) {
        return;
    }
    try {
        const std::string commandLine = m_pData ? m_pData->GetValue() : std::string();
        m_pOwner->WakeUp(commandLine.c_str());
    } catch (...) {
        // One failed wake-up must not end the thread: later starts still come.
        TraceText("Exception caught in CSingleInstanceImpl::WaitThreadProc");
    }
}
