#include "service/service_control_rules.h"

ControlAction ClassifyControl(unsigned long control, unsigned long eventType, bool hasEventData) {
    switch (control) {
    case service_control::kStop:
        return ControlAction::Stop;
    case service_control::kInterrogate:
        return ControlAction::Acknowledge;
    case service_control::kSessionChange:
        return eventType == service_control::kSessionLogon && hasEventData
                   ? ControlAction::Logon
                   : ControlAction::Acknowledge;
    case service_control::kRecoverUser:
        return ControlAction::RecoverUser;
    default:
        return ControlAction::NotHandled;
    }
}
