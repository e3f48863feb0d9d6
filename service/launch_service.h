// The work of the launch service "RODerevAva", on its one worker thread: it
// holds every named object of the link, starts the installed Vettor.exe with
// administrator rights (at its start, at each logon and on a request in
// "Global\ZK_SM"), and runs the recovery program as the user at the same
// moments. Only the installed programs beside the service are ever started.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

#include "framework/handle.h"
#include "service/program_file.h"
#include "service/request_gate.h"
#include "service/session_programs.h"
#include "shared/shared_link.h"

class CLaunchService : private IRequestSystem {
public:
    CLaunchService();

    // Creates or opens the link's objects under the link's access list, so a
    // standard user's Vettor, which may not create global objects, finds
    // them. False, with the reason traced, when one is missing or of another
    // kind, or was made by an account other than the service's own,
    // LocalSystem or the administrators: someone took its name while the
    // service was stopped, to shut the programs out or to listen in.
    bool OpenObjects();

    // False, with the reason traced, when an account other than the
    // trusted ones could change the install folder or anything directly in
    // it: LocalSystem would then run what that account put there.
    bool CheckInstallFolder() const;

    // From the control handler's thread: runs the recovery as the active
    // session's user and waits for it (up to 20 s). NO_ERROR once it ran,
    // otherwise why not. Starts of the recovery are one at a time.
    DWORD RecoverActiveUser();

    // Starts the session work of the active session, then serves logons and
    // requests until the stop event is set: NO_ERROR then, otherwise the
    // error of a wait that failed.
    DWORD Run(HANDLE stopEvent);

    // From the control handler's thread: a user logged on to the session.
    void QueueLogon(DWORD sessionId);

private:
    void OnLaunchRequest();
    void OnLogons();
    // The recovery as the user, then Vettor unless the session has one.
    void StartSessionWork(DWORD sessionId);
    void StartVettor(DWORD sessionId);

    // IRequestSystem. MatchInstalled holds the installed Vettor.exe until the
    // request is settled; ActiveSession notes the session it judged.
    const std::string& InstalledPath() const override { return m_strVettorPath; }
    FileMatch MatchInstalled(const std::string& programPath) override;
    SessionState ActiveSession() override;

    // Two roles between them make every object of the link.
    CSharedLink m_guiObjects;
    CSharedLink m_checkerObjects;
    UniqueHandle m_hLogonEvent;

    // Held through each run of the recovery, from either thread.
    std::mutex m_recoveryMutex;
    std::mutex m_logonMutex;
    std::vector<DWORD> m_pendingLogons; // under m_logonMutex

    CRequestGate m_gate;
    CSessionPrograms m_vettors;
    CHeldProgram m_installedVettor;
    // The session ActiveSession judged, where the request's Vettor starts.
    DWORD m_nRequestSession = 0;
    const std::string m_strVettorPath;
    const std::string m_strRecoverPath;
};
