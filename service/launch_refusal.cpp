#include "service/launch_refusal.h"

const char* RefusalText(Refusal refusal) {
    switch (refusal) {
    case Refusal::None:
        return "nothing";
    case Refusal::RecordTooShort:
        return "record too short";
    case Refusal::PathUnterminated:
        return "program path not terminated";
    case Refusal::ArgumentUnterminated:
        return "argument text not terminated";
    case Refusal::ArgumentNotEmpty:
        return "argument text not empty";
    case Refusal::PathEmpty:
        return "program path empty";
    case Refusal::UncPath:
        return "UNC path";
    case Refusal::DevicePath:
        return "device path";
    case Refusal::NotFullPath:
        return "not a full path";
    case Refusal::InvalidCharacters:
        return "invalid characters in program path";
    case Refusal::NotCanonical:
        return "program path not canonical";
    case Refusal::CannotOpen:
        return "program cannot be opened";
    case Refusal::NotInstalledVettor:
        return "not the installed Vettor.exe";
    case Refusal::InstalledVettorMissing:
        return "installed Vettor.exe cannot be opened";
    case Refusal::RateLimited:
        return "one start per 10 seconds";
    case Refusal::NoActiveSession:
        return "no active session";
    case Refusal::AlreadyRunning:
        return "Vettor already running in the session";
    }
    return "unknown";
}

std::string RefusalTrace(Refusal refusal) {
    return std::string("RODerevAva: refused: ") + RefusalText(refusal);
}
