// What the service does on a control from the service control manager.
// Portable: the control and event numbers are Windows' own, checked against
// the headers where they are used.
#pragma once

namespace service_control {
constexpr unsigned long kStop = 1;           // SERVICE_CONTROL_STOP
constexpr unsigned long kInterrogate = 4;    // SERVICE_CONTROL_INTERROGATE
constexpr unsigned long kSessionChange = 14; // SERVICE_CONTROL_SESSIONCHANGE
constexpr unsigned long kSessionLogon = 5;   // WTS_SESSION_LOGON
// The service's own control (the range 128 to 255 is the service's): run the
// recovery as the active session's user now and wait for it. The uninstaller
// sends it, since it runs elevated and would otherwise restore the
// administrator's settings rather than the user's.
constexpr unsigned long kRecoverUser = 128;
} // namespace service_control

enum class ControlAction {
    Stop,        // report stop pending, set the stop event
    Logon,       // queue the session for its Vettor and recovery
    RecoverUser, // run the recovery as the active session's user, waited for
    Acknowledge, // answer NO_ERROR, nothing to do (interrogate, other session events)
    NotHandled,  // answer ERROR_CALL_NOT_IMPLEMENTED
};

// A logon needs its session number: a session change without event data is
// acknowledged and otherwise ignored.
ControlAction ClassifyControl(unsigned long control, unsigned long eventType, bool hasEventData);
