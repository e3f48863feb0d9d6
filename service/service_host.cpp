#include "service/service_host.h"

#include <wtsapi32.h>

#include "framework/trace.h"
#include "service/service_control_rules.h"

static_assert(service_control::kStop == SERVICE_CONTROL_STOP, "stop control");
static_assert(service_control::kInterrogate == SERVICE_CONTROL_INTERROGATE, "interrogate");
static_assert(service_control::kSessionChange == SERVICE_CONTROL_SESSIONCHANGE, "session change");
static_assert(service_control::kSessionLogon == WTS_SESSION_LOGON, "logon event");

namespace {
constexpr DWORD kPendingWaitHintMs = 10000;
} // namespace

void CServiceHost::Report(DWORD state, DWORD exitCode, DWORD waitHintMs) {
    const std::lock_guard<std::mutex> lock(m_statusMutex);
    if (m_hStatus == nullptr) {
        return;
    }
    const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
    m_nCheckPoint = pending ? m_nCheckPoint + 1 : 0;
    SERVICE_STATUS status = {};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted =
        state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SESSIONCHANGE : 0;
    status.dwWin32ExitCode = exitCode;
    status.dwCheckPoint = m_nCheckPoint;
    status.dwWaitHint = waitHintMs;
    ::SetServiceStatus(m_hStatus, &status);
}

DWORD WINAPI CServiceHost::OnControl(DWORD control, DWORD eventType, LPVOID eventData,
                                     LPVOID context) {
    try {
        return static_cast<CServiceHost*>(context)->HandleControl(control, eventType, eventData);
    } catch (...) {
        return NO_ERROR;
    }
}

DWORD CServiceHost::HandleControl(DWORD control, DWORD eventType, LPVOID eventData) {
    switch (ClassifyControl(control, eventType, eventData != nullptr)) {
    case ControlAction::Stop:
        Report(SERVICE_STOP_PENDING, NO_ERROR, kPendingWaitHintMs);
        ::SetEvent(m_hStopEvent.Get());
        return NO_ERROR;
    case ControlAction::Logon:
        m_service.QueueLogon(static_cast<const WTSSESSION_NOTIFICATION*>(eventData)->dwSessionId);
        return NO_ERROR;
    case ControlAction::RecoverUser:
        return m_service.RecoverActiveUser();
    case ControlAction::Acknowledge:
        return NO_ERROR;
    case ControlAction::NotHandled:
        break;
    }
    return ERROR_CALL_NOT_IMPLEMENTED;
}

void CServiceHost::Run(const char* serviceName) {
    try {
        m_hStopEvent.Reset(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
        const SERVICE_STATUS_HANDLE status =
            ::RegisterServiceCtrlHandlerExA(serviceName, OnControl, this);
        const DWORD error = ::GetLastError();
        {
            const std::lock_guard<std::mutex> lock(m_statusMutex);
            m_hStatus = status;
        }
        if (status == nullptr) {
            TraceText("RODerevAva: no control handler, error " + std::to_string(error));
            return;
        }
        if (!m_hStopEvent) {
            Report(SERVICE_STOPPED, ERROR_NOT_ENOUGH_MEMORY);
            return;
        }
        Report(SERVICE_START_PENDING, NO_ERROR, kPendingWaitHintMs);
        if (!m_service.CheckInstallFolder()) {
            // An ordinary account could change what LocalSystem runs.
            Report(SERVICE_STOPPED, ERROR_INVALID_OWNER);
            return;
        }
        if (!m_service.OpenObjects()) {
            // Another account's object under one of the names: the service
            // serves nothing through it, and its restart action tries again.
            Report(SERVICE_STOPPED, ERROR_ALREADY_EXISTS);
            return;
        }
        Report(SERVICE_RUNNING);
        Report(SERVICE_STOPPED, m_service.Run(m_hStopEvent.Get()));
    } catch (...) {
        TraceText("RODerevAva: stopped by an exception");
        Report(SERVICE_STOPPED, ERROR_EXCEPTION_IN_SERVICE);
    }
}
