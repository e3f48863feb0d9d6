#include "service/launch_service.h"

#include <cstring>
#include <utility>
#include <vector>

#include "framework/module_paths.h"
#include "framework/trace.h"
#include "service/install_folder.h"
#include "service/session_launcher.h"
#include "service/trusted_accounts.h"

namespace {

constexpr DWORD kNoSession = 0xFFFFFFFF;
// Below the 30 s the control manager gives a control handler.
constexpr DWORD kRecoveryWaitMs = 20000;

std::string Beside(const char* fileName) {
    const std::string folder = GetProgramDirectory();
    return folder.empty() ? std::string() : folder + fileName;
}

void Trace(const std::string& text) {
    TraceText("RODerevAva: " + text);
}

} // namespace

CLaunchService::CLaunchService()
    : m_hLogonEvent(::CreateEventA(nullptr, FALSE, FALSE, nullptr)),
      m_strVettorPath(Beside("Vettor.exe")), m_strRecoverPath(Beside("SulvantixRecover.exe")) {}

bool CLaunchService::OpenObjects() {
    m_guiObjects.Open(CSharedLink::Role::Gui);
    m_checkerObjects.Open(CSharedLink::Role::Checker);
    const bool viewsMapped =
        m_guiObjects.GetSharedView() != nullptr && m_checkerObjects.GetMessageView() != nullptr;
    // Each held object's owner is read through a handle of its own, opened by
    // name while the link holds the object: the link opens an existing block
    // with the mapping rights only.
    enum class Kind { Mutex, Event, Mapping };
    struct CHeldObject {
        const char* name;
        Kind kind;
        HANDLE held;
    };
    const CHeldObject objects[] = {
        {shared_link::kMutexName, Kind::Mutex, m_guiObjects.GetMutex()},
        {shared_link::kSharedBlockName, Kind::Mapping,
         viewsMapped ? m_guiObjects.GetSharedMapping() : nullptr},
        {shared_link::kLaunchEventName, Kind::Event, m_guiObjects.GetLaunchEvent()},
        {shared_link::kUpdateEventName, Kind::Event, m_guiObjects.GetUpdateEvent()},
        {shared_link::kWaitUpdateEventName, Kind::Event, m_guiObjects.GetWaitUpdateEvent()},
        {shared_link::kMessageBlockName, Kind::Mapping,
         viewsMapped ? m_checkerObjects.GetMessageMapping() : nullptr},
        {shared_link::kMessageEventName, Kind::Event, m_checkerObjects.GetMessageEvent()},
        {shared_link::kCheckerDoneEventName, Kind::Event, m_guiObjects.GetCheckerDoneEvent()},
    };
    const auto openForOwner = [](const CHeldObject& object) {
        switch (object.kind) {
        case Kind::Mutex:
            return UniqueHandle(::OpenMutexA(READ_CONTROL, FALSE, object.name));
        case Kind::Event:
            return UniqueHandle(::OpenEventA(READ_CONTROL, FALSE, object.name));
        case Kind::Mapping:
            break;
        }
        return UniqueHandle(::OpenFileMappingA(READ_CONTROL, FALSE, object.name));
    };
    const CTrustedAccounts owners;
    for (const CHeldObject& object : objects) {
        std::string owner = "an owner it cannot read";
        std::string refusal;
        if (object.held == nullptr) {
            refusal = "is missing or of another kind";
        } else if (const UniqueHandle readable = openForOwner(object);
                   !readable || !owners.OwnsObject(readable.Get(), owner)) {
            refusal = "was made by another account (" + owner + ")";
        }
        if (!refusal.empty()) {
            Trace(std::string("refused to start: \"") + object.name + "\" " + refusal);
            return false;
        }
    }
    return true;
}

bool CLaunchService::CheckInstallFolder() const {
    std::string folder = GetProgramDirectory();
    if (folder.size() > 3 && folder.back() == '\\') {
        folder.pop_back();
    }
    const std::string changeable = FindChangeableInstallPath(folder, CTrustedAccounts().SidTexts());
    if (!changeable.empty()) {
        Trace("refused to start: " + changeable);
        return false;
    }
    return true;
}

DWORD CLaunchService::RecoverActiveUser() {
    const DWORD session = ::WTSGetActiveConsoleSessionId();
    if (session == kNoSession || m_strRecoverPath.empty()) {
        return ERROR_NO_TOKEN;
    }
    const std::lock_guard<std::mutex> lock(m_recoveryMutex);
    const UniqueHandle recovery = StartInSession(session, m_strRecoverPath, LaunchPurpose::AsUser);
    if (!recovery) {
        return ERROR_NO_TOKEN;
    }
    return ::WaitForSingleObject(recovery.Get(), kRecoveryWaitMs) == WAIT_OBJECT_0
               ? NO_ERROR
               : ERROR_SERVICE_REQUEST_TIMEOUT;
}

void CLaunchService::QueueLogon(DWORD sessionId) {
    {
        const std::lock_guard<std::mutex> lock(m_logonMutex);
        m_pendingLogons.push_back(sessionId);
    }
    ::SetEvent(m_hLogonEvent.Get());
}

DWORD CLaunchService::Run(HANDLE stopEvent) {
    const DWORD active = ::WTSGetActiveConsoleSessionId();
    if (active != kNoSession) {
        StartSessionWork(active);
    }
    // The stop event comes first: when several are set it wins. Requests are
    // served only with both the block and its event.
    HANDLE events[3] = {stopEvent, m_hLogonEvent.Get(), m_guiObjects.GetLaunchEvent()};
    const DWORD count = m_guiObjects.GetSharedView() != nullptr && events[2] != nullptr ? 3 : 2;
    for (;;) {
        const DWORD signalled = ::WaitForMultipleObjects(count, events, FALSE, INFINITE);
        const DWORD error = ::GetLastError();
        if (signalled == WAIT_OBJECT_0) {
            return NO_ERROR;
        }
        if (signalled != WAIT_OBJECT_0 + 1 && signalled != WAIT_OBJECT_0 + 2) {
            Trace("wait failed, error " + std::to_string(error));
            return error != NO_ERROR ? error : ERROR_INVALID_HANDLE;
        }
        try {
            if (signalled == WAIT_OBJECT_0 + 1) {
                OnLogons();
            } else {
                OnLaunchRequest();
            }
        } catch (...) {
            // One bad turn must not end the service; the next event is served.
            m_installedVettor.Release();
            Trace("an event was dropped by an exception");
        }
    }
}

void CLaunchService::OnLogons() {
    std::vector<DWORD> sessions;
    {
        const std::lock_guard<std::mutex> lock(m_logonMutex);
        sessions.swap(m_pendingLogons);
    }
    for (const DWORD session : sessions) {
        StartSessionWork(session);
    }
}

void CLaunchService::OnLaunchRequest() {
    // One copy, judged and used: a writer changing the block meanwhile
    // changes nothing of what was decided.
    unsigned char record[shared_link::kSharedBlockSize];
    std::memcpy(record, m_guiObjects.GetSharedView(), sizeof record);

    const Refusal refusal = m_gate.Decide(record, sizeof record, ::GetTickCount64(), *this);
    if (refusal != Refusal::None) {
        m_installedVettor.Release();
        TraceText(RefusalTrace(refusal));
        return;
    }
    // The installed file stays held through the start: what was compared is
    // what runs.
    UniqueHandle vettor =
        StartInSession(m_nRequestSession, m_strVettorPath, LaunchPurpose::Elevated);
    m_installedVettor.Release();
    m_vettors.Remember(m_nRequestSession, std::move(vettor));
}

FileMatch CLaunchService::MatchInstalled(const std::string& programPath) {
    if (m_strVettorPath.empty() || !m_installedVettor.Hold(m_strVettorPath)) {
        return FileMatch::InstalledMissing;
    }
    CFileIdentity requested;
    if (!IdentifyFile(programPath, requested)) {
        return FileMatch::CannotOpen;
    }
    return requested == m_installedVettor.Identity() ? FileMatch::Installed : FileMatch::OtherFile;
}

SessionState CLaunchService::ActiveSession() {
    m_nRequestSession = ::WTSGetActiveConsoleSessionId();
    if (m_nRequestSession == kNoSession) {
        return SessionState::NoSession;
    }
    return m_vettors.IsRunning(m_nRequestSession) ? SessionState::VettorRunning
                                                  : SessionState::Free;
}

void CLaunchService::StartSessionWork(DWORD sessionId) {
    if (!m_strRecoverPath.empty()) {
        // Not waited for: Vettor does not touch the proxy settings.
        const std::lock_guard<std::mutex> lock(m_recoveryMutex);
        StartInSession(sessionId, m_strRecoverPath, LaunchPurpose::AsUser);
    }
    StartVettor(sessionId);
}

void CLaunchService::StartVettor(DWORD sessionId) {
    if (m_vettors.IsRunning(sessionId)) {
        Trace("Vettor already running in session " + std::to_string(sessionId));
        return;
    }
    CHeldProgram installed;
    if (m_strVettorPath.empty() || !installed.Hold(m_strVettorPath)) {
        Trace("installed Vettor.exe cannot be opened");
        return;
    }
    m_vettors.Remember(sessionId,
                       StartInSession(sessionId, m_strVettorPath, LaunchPurpose::Elevated));
}
