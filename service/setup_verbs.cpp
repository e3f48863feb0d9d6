#include "service/setup_verbs.h"

#include <windows.h>
#include <tlhelp32.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/handle.h"
#include "framework/trace.h"
#include "service/install_folder.h"
#include "service/program_path_rules.h"
#include "service/service_control_rules.h"
#include "shared/shared_link_names.h"

namespace {

constexpr DWORD kEndWaitMs = 10000;
const char* const kOurPrograms[] = {"Sulvantix.exe", "Vettor.exe", "SulvantixRecover.exe"};

void Trace(const std::string& text) {
    TraceText("RODerevAva: " + text);
}

std::string WithoutTrailingSlash(std::string folder) {
    while (folder.size() > 3 && folder.back() == '\\') {
        folder.pop_back();
    }
    return folder;
}

int Protect(const std::string& folder) {
    std::string setText;
    const DWORD error = ProtectInstallFolder(folder, setText);
    if (error != ERROR_SUCCESS) {
        Trace("cannot protect " + folder + ", error " + std::to_string(error));
        return static_cast<int>(error);
    }
    Trace("protected " + folder + ": " + setText);
    return 0;
}

std::string ImageOf(HANDLE process) {
    char path[MAX_PATH * 2] = {};
    DWORD size = sizeof path;
    return ::QueryFullProcessImageNameA(process, 0, path, &size) ? std::string(path, size)
                                                                 : std::string();
}

// Ours and running from the folder: a same-named program of another folder
// (another user's copy, another product) is none of the setup's business.
bool IsOursInFolder(const std::string& image, const std::string& folder) {
    for (const char* name : kOurPrograms) {
        if (IsInstalledProgramPath(image, folder + "\\" + name)) {
            return true;
        }
    }
    return false;
}

int EndPrograms(const std::string& folder) {
    const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return 1;
    }
    std::vector<UniqueHandle> ending;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot.Get(), &entry); more;
         more = ::Process32Next(snapshot.Get(), &entry)) {
        if (entry.th32ProcessID == ::GetCurrentProcessId()) {
            continue;
        }
        UniqueHandle process(
            ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE | SYNCHRONIZE,
                          FALSE, entry.th32ProcessID));
        if (!process) {
            continue;
        }
        const std::string image = ImageOf(process.Get());
        if (!IsOursInFolder(image, folder)) {
            continue;
        }
        // Its files must go; a session it leaves open is put right by the
        // recovery, which the uninstaller runs next.
        if (::TerminateProcess(process.Get(), 1)) {
            Trace("ended " + image + ", process " + std::to_string(entry.th32ProcessID));
            ending.push_back(std::move(process));
        }
    }
    int running = 0;
    for (const UniqueHandle& process : ending) {
        running += ::WaitForSingleObject(process.Get(), kEndWaitMs) == WAIT_OBJECT_0 ? 0 : 1;
    }
    return running;
}

int RecoverUser(const char* serviceName) {
    const UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    const UniqueServiceHandle service(
        manager ? ::OpenServiceA(manager.Get(), serviceName, SERVICE_USER_DEFINED_CONTROL)
                : nullptr);
    SERVICE_STATUS status = {};
    if (!service || !::ControlService(service.Get(), service_control::kRecoverUser, &status)) {
        const DWORD error = ::GetLastError();
        Trace(std::string("the recovery as the user was not run by ") + serviceName + ", error " +
              std::to_string(error));
        return static_cast<int>(error != 0 ? error : ERROR_GEN_FAILURE);
    }
    Trace(std::string("the recovery ran as the user, by ") + serviceName);
    return 0;
}

} // namespace

bool RunSetupVerb(int argc, char** argv, int& exitCode) {
    if (argc < 2 || argv == nullptr || argv[1] == nullptr) {
        return false;
    }
    const std::string verb = argv[1];
    const std::string operand = argc > 2 && argv[2] != nullptr ? argv[2] : "";
    if (verb == "/protect-install-folder" && !operand.empty()) {
        exitCode = Protect(WithoutTrailingSlash(operand));
        return true;
    }
    if (verb == "/end-programs" && !operand.empty()) {
        exitCode = EndPrograms(WithoutTrailingSlash(operand));
        return true;
    }
    if (verb == "/recover-user") {
        exitCode = RecoverUser(operand.empty() ? shared_link::kLaunchServiceName : operand.c_str());
        return true;
    }
    return false;
}
