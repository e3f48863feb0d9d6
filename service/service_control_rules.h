// What the service does on a control from the service control manager.
// Portable: the control and event numbers are Windows' own, checked against
// the headers where they are used.
#pragma once

namespace service_control {
constexpr unsigned long kStop = 1;           // SERVICE_CONTROL_STOP
constexpr unsigned long kInterrogate = 4;    // SERVICE_CONTROL_INTERROGATE
constexpr unsigned long kSessionChange = 14; // SERVICE_CONTROL_SESSIONCHANGE
constexpr unsigned long kSessionLogon = 5;   // WTS_SESSION_LOGON
} // namespace service_control

enum class ControlAction {
    Stop,        // report stop pending, set the stop event
    Logon,       // queue the session for its Vettor and recovery
    Acknowledge, // answer NO_ERROR, nothing to do (interrogate, other session events)
    NotHandled,  // answer ERROR_CALL_NOT_IMPLEMENTED
};

// A logon needs its session number: a session change without event data is
// acknowledged and otherwise ignored.
ControlAction ClassifyControl(unsigned long control, unsigned long eventType, bool hasEventData);
