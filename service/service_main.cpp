// RODerevAva.exe: the launch service's program. The service control manager
// starts it; the setup runs it with one of its verbs; started any other way,
// the dispatcher call fails and it ends.
#include <windows.h>

#include <cstdlib>

#include "framework/trace.h"
#include "service/service_host.h"
#include "service/setup_verbs.h"

namespace {

// An own-process service: the table's name is not compared, and ServiceMain
// is handed the name the service was registered under (tests use another).
char g_szServiceName[] = "RODerevAva";

void WINAPI ServiceMain(DWORD argc, LPSTR* argv) {
    try {
        // Static: the manager may still call the handler with it while the
        // status goes to stopped, after ServiceMain has returned.
        static CServiceHost host;
        host.Run(argc > 0 && argv != nullptr && argv[0] != nullptr ? argv[0] : g_szServiceName);
    } catch (...) {
        TraceText("RODerevAva: ServiceMain ended by an exception");
    }
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    try {
        int verbExit = 0;
        if (RunSetupVerb(__argc, __argv, verbExit)) {
            return verbExit;
        }
        const SERVICE_TABLE_ENTRYA table[] = {{g_szServiceName, ServiceMain}, {nullptr, nullptr}};
        if (!::StartServiceCtrlDispatcherA(table)) {
            const DWORD error = ::GetLastError();
            TraceText("RODerevAva: not started as a service, error " + std::to_string(error));
            return 1;
        }
        return 0;
    } catch (...) {
        return 1;
    }
}
