// CSharedLink: the named kernel objects both programs share, under an access
// list every account may use but only administrators may change, and the
// launch service's status.
//
// Usage (one link per process, opened and closed on the main thread):
//     CSharedLink link;                       // builds the security descriptor only
//     link.Open(CSharedLink::Role::Checker);  // Vettor; Sulvantix uses Role::Gui
//     if (!link.IsServiceRunning()) { ... }   // "RODerevAva" status from that Open
//     link.WriteLaunchRequest();              // Vettor, relaunch mode: own path, 1 s, event
//     link.SignalUpdate();                    // Sulvantix, after a user-requested update
//     link.Close();                           // also done by the destructor
// Failures are never reported: a missing object leaves its accessor null, a
// null shared view skips the launch request, a null event makes a signal a
// no-op.
#pragma once

#include <windows.h>

#include "framework/handle.h"
#include "shared/shared_link_names.h"

class CSharedLink {
public:
    // The GUI holds the update events; the checker the message block and event.
    enum class Role { Gui, Checker };

    CSharedLink();
    ~CSharedLink();

    // The attributes point at the descriptor this link owns, and there is one
    // link per process: neither copied nor moved.
    CSharedLink(const CSharedLink&) = delete;
    CSharedLink& operator=(const CSharedLink&) = delete;
    CSharedLink(CSharedLink&&) = delete;
    CSharedLink& operator=(CSharedLink&&) = delete;

    // Queries the launch service, then creates or opens the objects of the
    // role. A second Open first lets go of the objects of the first.
    void Open(Role role);
    // Releases every object, then the SIDs, access list and descriptor; later
    // objects get default security. A second Close does nothing.
    void Close();

    // Whether "RODerevAva" was running at the last Open.
    bool IsServiceRunning() const { return m_bServiceRunning; }

    // Writes the program's own full path at offset 0 and an empty argument
    // text at offset 260 of the shared block, waits pauseMs, then sets the
    // launch event. With no shared view, or a path that cannot be had whole,
    // nothing is written and nothing is set. True when the record was written
    // and the event set.
    bool WriteLaunchRequest(DWORD pauseMs = shared_link::kLaunchRequestPauseMs);
    // The same with a path of the caller's choosing.
    bool WriteLaunchRequestFor(const char* programPath,
                               DWORD pauseMs = shared_link::kLaunchRequestPauseMs);

    // Sets "Global\ZK_SULVA_UPDATE_EVENT"; false (and no effect) without it.
    bool SignalUpdate() const;
    // Sets "Global\ZK_CHECKER_DONE_EVENT"; false (and no effect) without it.
    bool SignalCheckerDone() const;

    // The 520 bytes of "Global\ZK_SM", or null.
    unsigned char* GetSharedView() const {
        return static_cast<unsigned char*>(m_pSharedView.Get());
    }
    // The 284 bytes of "Global\ZK_MSG" (checker role), or null.
    unsigned char* GetMessageView() const {
        return static_cast<unsigned char*>(m_pMessageView.Get());
    }
    // Borrowed handles, null when absent; the link keeps ownership.
    HANDLE GetSharedMapping() const { return m_hSharedMapping.Get(); }
    HANDLE GetMutex() const { return m_hMutex.Get(); }
    HANDLE GetMessageMapping() const { return m_hMessageMapping.Get(); }
    HANDLE GetUpdateEvent() const { return m_hUpdateEvent.Get(); }
    HANDLE GetWaitUpdateEvent() const { return m_hWaitUpdateEvent.Get(); }
    HANDLE GetLaunchEvent() const { return m_hLaunchEvent.Get(); }
    HANDLE GetMessageEvent() const { return m_hMessageEvent.Get(); }
    // Both roles: the checker sets it, the GUI waits on it.
    HANDLE GetCheckerDoneEvent() const { return m_hCheckerDoneEvent.Get(); }

    // The attributes every object is created with; all zero when the
    // descriptor could not be built (or after Close).
    const SECURITY_ATTRIBUTES& GetSecurityAttributes() const { return m_sa; }
    bool HasSecurityDescriptor() const { return m_pSecurityDescriptor.IsValid(); }

    // Asks the service control manager whether a service is running; every
    // failure reads as not running.
    static bool QueryServiceRunning(const char* serviceName);

private:
    struct ViewTraits {
        using Handle = void*;
        static bool IsEmpty(void* p) { return p == nullptr; }
        static void* Empty() { return nullptr; }
        static void Close(void* p) { ::UnmapViewOfFile(p); }
    };
    struct SidTraits {
        using Handle = PSID;
        static bool IsEmpty(PSID p) { return p == nullptr; }
        static PSID Empty() { return nullptr; }
        static void Close(PSID p) { ::FreeSid(p); }
    };
    struct LocalTraits {
        using Handle = void*;
        static bool IsEmpty(void* p) { return p == nullptr; }
        static void* Empty() { return nullptr; }
        static void Close(void* p) { ::LocalFree(p); }
    };
    using UniqueView = CUniqueResource<ViewTraits>;
    using UniqueSid = CUniqueResource<SidTraits>;
    using UniqueLocal = CUniqueResource<LocalTraits>;

    void BuildSecurity();
    void FreeSecurity();
    void ReleaseObjects();
    // Creates the mapping, or opens it when it already exists, and maps it.
    void OpenBlock(const char* name, DWORD size, UniqueHandle& mapping, UniqueView& view);
    // Create the object, or open one that exists with the rights in use.
    UniqueHandle CreateAutoResetEvent(const char* name);
    UniqueHandle CreateSharedMutex(const char* name);

    UniqueView m_pSharedView;
    UniqueHandle m_hSharedMapping;
    UniqueHandle m_hMutex;
    UniqueView m_pMessageView;
    UniqueHandle m_hMessageMapping;
    UniqueHandle m_hUpdateEvent;
    UniqueHandle m_hWaitUpdateEvent;
    UniqueHandle m_hLaunchEvent;
    UniqueHandle m_hMessageEvent;
    UniqueHandle m_hCheckerDoneEvent;
    UniqueSid m_pEveryoneSid;
    UniqueSid m_pAdministratorsSid;
    UniqueLocal m_pAcl;
    UniqueLocal m_pSecurityDescriptor;
    SECURITY_ATTRIBUTES m_sa;
    bool m_bServiceRunning = false;
};
