#include "shared/shared_link.h"

#include <aclapi.h>

#include <utility>

#include "framework/module_paths.h"
#include "shared/launch_request.h"

namespace {

// The block InitializeSecurityDescriptor writes: the absolute layout, 20
// bytes on 32-bit Windows and 40 on 64-bit.
constexpr SIZE_T kDescriptorBytes = SECURITY_DESCRIPTOR_MIN_LENGTH;
#ifndef _WIN64
static_assert(kDescriptorBytes == 20, "the 32-bit absolute descriptor is 20 bytes");
#endif
static_assert(shared_link::kSharedBlockSize == launch_request::kRecordSize,
              "the shared block is exactly one launch-request record");

EXPLICIT_ACCESS_A AllowEntry(DWORD rights, TRUSTEE_TYPE type, PSID sid) {
    EXPLICIT_ACCESS_A entry = {};
    entry.grfAccessPermissions = rights;
    entry.grfAccessMode = SET_ACCESS;
    entry.grfInheritance = NO_INHERITANCE;
    entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
    entry.Trustee.TrusteeType = type;
    entry.Trustee.ptstrName = static_cast<LPSTR>(sid);
    return entry;
}

} // namespace

CSharedLink::CSharedLink() : m_sa{} {
    BuildSecurity();
}

CSharedLink::~CSharedLink() {
    Close();
}

void CSharedLink::BuildSecurity() {
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (!::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0,
                                    &everyone)) {
        FreeSecurity();
        return;
    }
    m_pEveryoneSid.Reset(everyone);

    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0,
                                    0, 0, 0, 0, 0, &administrators)) {
        FreeSecurity();
        return;
    }
    m_pAdministratorsSid.Reset(administrators);

    EXPLICIT_ACCESS_A entries[2] = {
        AllowEntry(shared_link::kEveryoneRights, TRUSTEE_IS_WELL_KNOWN_GROUP, everyone),
        AllowEntry(shared_link::kAdministratorsRights, TRUSTEE_IS_GROUP, administrators),
    };
    PACL acl = nullptr;
    const DWORD aclResult = ::SetEntriesInAclA(2, entries, nullptr, &acl);
    m_pAcl.Reset(acl);
    if (aclResult != ERROR_SUCCESS || acl == nullptr) {
        FreeSecurity();
        return;
    }

    m_pSecurityDescriptor.Reset(::LocalAlloc(LPTR, kDescriptorBytes));
    PSECURITY_DESCRIPTOR descriptor = m_pSecurityDescriptor.Get();
    if (descriptor == nullptr ||
        !::InitializeSecurityDescriptor(descriptor, SECURITY_DESCRIPTOR_REVISION) ||
        !::SetSecurityDescriptorDacl(descriptor, TRUE, acl, FALSE)) {
        FreeSecurity();
        return;
    }

    m_sa.nLength = sizeof(SECURITY_ATTRIBUTES);
    m_sa.lpSecurityDescriptor = descriptor;
    m_sa.bInheritHandle = FALSE;
}

void CSharedLink::FreeSecurity() {
    // The attributes go first: once the descriptor is freed they must not
    // point at it, so later objects get default security instead.
    m_sa = SECURITY_ATTRIBUTES{};
    m_pEveryoneSid.Reset();
    m_pAdministratorsSid.Reset();
    m_pAcl.Reset();
    m_pSecurityDescriptor.Reset();
}

void CSharedLink::ReleaseObjects() {
    m_hMutex.Reset();
    m_pSharedView.Reset();
    m_hLaunchEvent.Reset();
    m_pMessageView.Reset();
    m_hMessageEvent.Reset();
    m_hSharedMapping.Reset();
    m_hMessageMapping.Reset();
    m_hUpdateEvent.Reset();
    m_hWaitUpdateEvent.Reset();
    m_hCheckerDoneEvent.Reset();
}

void CSharedLink::Close() {
    ReleaseObjects();
    FreeSecurity();
}

bool CSharedLink::QueryServiceRunning(const char* serviceName) {
    if (serviceName == nullptr) {
        return false;
    }
    UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, GENERIC_READ));
    if (!manager) {
        return false;
    }
    UniqueServiceHandle service(::OpenServiceA(manager.Get(), serviceName, GENERIC_READ));
    if (!service) {
        return false;
    }
    SERVICE_STATUS status = {};
    if (!::QueryServiceStatus(service.Get(), &status)) {
        return false;
    }
    return status.dwCurrentState == SERVICE_RUNNING;
}

void CSharedLink::OpenBlock(const char* name, DWORD size, UniqueHandle& mapping, UniqueView& view) {
    ::SetLastError(ERROR_SUCCESS);
    UniqueHandle handle(
        ::CreateFileMappingA(INVALID_HANDLE_VALUE, &m_sa, PAGE_READWRITE, 0, size, name));
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS || error == ERROR_ACCESS_DENIED) {
        // The creation call also answered a handle to the existing block (or,
        // asking for every right of one that grants fewer, none); the opened
        // one replaces it, and Reset closes it rather than leak it.
        handle.Reset(::OpenFileMappingA(FILE_MAP_WRITE, FALSE, name));
    }
    if (handle) {
        view.Reset(::MapViewOfFile(handle.Get(), FILE_MAP_WRITE, 0, 0, size));
    }
    mapping = std::move(handle);
}

// Creating an object that exists asks for all its rights; where the object
// grants this account fewer (one made by another account), it is opened with
// the rights the programs use.
UniqueHandle CSharedLink::CreateAutoResetEvent(const char* name) {
    HANDLE event = ::CreateEventA(&m_sa, FALSE, FALSE, name);
    if (event == nullptr && ::GetLastError() == ERROR_ACCESS_DENIED) {
        event = ::OpenEventA(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, name);
    }
    return UniqueHandle(event);
}

UniqueHandle CSharedLink::CreateSharedMutex(const char* name) {
    HANDLE mutex = ::CreateMutexA(&m_sa, FALSE, name);
    if (mutex == nullptr && ::GetLastError() == ERROR_ACCESS_DENIED) {
        mutex = ::OpenMutexA(SYNCHRONIZE | MUTEX_MODIFY_STATE, FALSE, name);
    }
    return UniqueHandle(mutex);
}

void CSharedLink::Open(Role role) {
    // A second Open would otherwise leak every handle and view of the first.
    ReleaseObjects();
    m_bServiceRunning = QueryServiceRunning(shared_link::kLaunchServiceName);
    m_hMutex = CreateSharedMutex(shared_link::kMutexName);
    OpenBlock(shared_link::kSharedBlockName, shared_link::kSharedBlockSize, m_hSharedMapping,
              m_pSharedView);
    if (role == Role::Checker) {
        OpenBlock(shared_link::kMessageBlockName, shared_link::kMessageBlockSize, m_hMessageMapping,
                  m_pMessageView);
        m_hLaunchEvent = CreateAutoResetEvent(shared_link::kLaunchEventName);
        m_hMessageEvent = CreateAutoResetEvent(shared_link::kMessageEventName);
    } else {
        m_hLaunchEvent = CreateAutoResetEvent(shared_link::kLaunchEventName);
        m_hUpdateEvent = CreateAutoResetEvent(shared_link::kUpdateEventName);
        m_hWaitUpdateEvent = CreateAutoResetEvent(shared_link::kWaitUpdateEventName);
    }
    m_hCheckerDoneEvent = CreateAutoResetEvent(shared_link::kCheckerDoneEventName);
}

bool CSharedLink::WriteLaunchRequest(DWORD pauseMs) {
    if (!m_pSharedView) {
        return false;
    }
    // The record's path field holds 260 bytes with the terminator; a longer
    // path cannot be written, and a cut one would name some other program.
    const std::string path = GetModuleFilePath();
    if (path.empty() || path.size() >= MAX_PATH) {
        return false;
    }
    return WriteLaunchRequestFor(path.c_str(), pauseMs);
}

bool CSharedLink::WriteLaunchRequestFor(const char* programPath, DWORD pauseMs) {
    if (!m_pSharedView || programPath == nullptr) {
        return false;
    }
    if (!launch_request::WriteRecord(GetSharedView(), shared_link::kSharedBlockSize, programPath)) {
        return false;
    }
    // No lock: the pause is the only ordering between the record and the signal.
    ::Sleep(pauseMs);
    return m_hLaunchEvent && ::SetEvent(m_hLaunchEvent.Get()) != FALSE;
}

bool CSharedLink::SignalUpdate() const {
    return m_hUpdateEvent && ::SetEvent(m_hUpdateEvent.Get()) != FALSE;
}

bool CSharedLink::SignalCheckerDone() const {
    return m_hCheckerDoneEvent && ::SetEvent(m_hCheckerDoneEvent.Get()) != FALSE;
}
