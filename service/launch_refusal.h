// Why the launch service refuses a request, each with the fixed text its trace
// carries. Portable: no Windows header.
#pragma once

#include <string>

enum class Refusal {
    None,
    RecordTooShort,
    PathUnterminated,
    ArgumentUnterminated,
    ArgumentNotEmpty,
    PathEmpty,
    UncPath,
    DevicePath,
    NotFullPath,
    InvalidCharacters,
    NotCanonical,
    CannotOpen,
    NotInstalledVettor,
    InstalledVettorMissing,
    RateLimited,
    NoActiveSession,
    AlreadyRunning,
};

// The reason as a fixed text, e.g. "argument text not empty".
const char* RefusalText(Refusal refusal);

// The whole trace line: "RODerevAva: refused: " and the reason.
std::string RefusalTrace(Refusal refusal);
