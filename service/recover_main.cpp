// SulvantixRecover.exe: run by the launch service in a user's session as
// that user, at logon and at the service's start. When a session of
// Sulvantix was cut off (killed, power lost) while a public proxy was in
// force, it puts the user's own proxy settings back from the record in the
// user's "%LOCALAPPDATA%\Sulvantix", then ends. No window, no arguments.
//
// Exit code: 0 no record, 1 restored, 2 the user changed the settings since
// (left alone), 3 the record was torn and set aside, 4 not restored.
#include <windows.h>

#include "framework/trace.h"
#include "shared/session_record_options.h"

namespace {

int ExitCodeOf(RecoveryOutcome outcome) {
    switch (outcome) {
    case RecoveryOutcome::NoRecord:
        return 0;
    case RecoveryOutcome::Restored:
        return 1;
    case RecoveryOutcome::UserChanged:
        return 2;
    case RecoveryOutcome::SetAside:
        return 3;
    case RecoveryOutcome::NotRestored:
        return 4;
    }
    return 4;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        CSessionRecordStore store(CSessionRecordStore::DefaultFolder());
        const int code = ExitCodeOf(RecoverProxySettings(SystemInternetOptions(), store));
        TraceText("SulvantixRecover: outcome " + std::to_string(code));
        return code;
    } catch (...) {
        return 4;
    }
}
