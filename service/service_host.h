// The service's side of the service control manager: status reports, the
// control handler and the stop event around CLaunchService. One per process.
#pragma once

#include <windows.h>

#include <mutex>

#include "framework/handle.h"
#include "service/launch_service.h"

class CServiceHost {
public:
    CServiceHost() = default;
    CServiceHost(const CServiceHost&) = delete;
    CServiceHost& operator=(const CServiceHost&) = delete;

    // The body of ServiceMain: registers the handler, reports start pending,
    // opens the objects, reports running, serves until stopped, reports
    // stopped. Lets nothing escape.
    void Run(const char* serviceName);

private:
    static DWORD WINAPI OnControl(DWORD control, DWORD eventType, LPVOID eventData, LPVOID context);
    DWORD HandleControl(DWORD control, DWORD eventType, LPVOID eventData);
    void Report(DWORD state, DWORD exitCode = NO_ERROR, DWORD waitHintMs = 0);

    std::mutex m_statusMutex;
    SERVICE_STATUS_HANDLE m_hStatus = nullptr; // under m_statusMutex; never closed
    DWORD m_nCheckPoint = 0;                   // under m_statusMutex
    UniqueHandle m_hStopEvent;
    CLaunchService m_service;
};
