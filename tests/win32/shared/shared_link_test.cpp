// CSharedLink against the real kernel objects: which objects each role makes,
// of which kind and size, under which access list; the existing-block rule
// within one process and across two; the launch request; the service query;
// and that Close lets every object go.
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "framework/handle.h"
#include "shared/shared_link.h"
#include "tests/support/process_start.h"

namespace {

// The names as the other programs and the launch service know them; spelled
// out here so a changed constant in the link shows up as a failure.
const char* const kMutex = "Global\\ZK_MUTEX";
const char* const kSharedBlock = "Global\\ZK_SM";
const char* const kMessageBlock = "Global\\ZK_MSG";
const char* const kLaunchEvent = "Global\\ZK_LAUNCH_BOOSTER_EVENT";
const char* const kMessageEvent = "Global\\ZK_MESSAGE_EVENT";
const char* const kUpdateEvent = "Global\\ZK_SULVA_UPDATE_EVENT";
const char* const kWaitUpdateEvent = "Global\\ZK_WAIT_SULVA_UPDATE_EVENT";
const char* const kCheckerDoneEvent = "Global\\ZK_CHECKER_DONE_EVENT";

constexpr DWORD kEventRights = SYNCHRONIZE | EVENT_MODIFY_STATE | READ_CONTROL;

UniqueHandle OpenEventByName(const char* name) {
    return UniqueHandle(::OpenEventA(kEventRights, FALSE, name));
}
UniqueHandle OpenMappingByName(const char* name) {
    return UniqueHandle(::OpenFileMappingA(FILE_MAP_READ | READ_CONTROL, FALSE, name));
}
UniqueHandle OpenMutexByName(const char* name) {
    return UniqueHandle(::OpenMutexA(SYNCHRONIZE | READ_CONTROL, FALSE, name));
}

// True when a view of the given size can be mapped: a section refuses a view
// larger than itself. Wine rounds a section up to its 4096-byte page, so there
// a view one byte past 520 still fits; the checks stop at the page.
constexpr SIZE_T kPage = 4096;
bool ViewFits(HANDLE mapping, SIZE_T size) {
    void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, size);
    if (view == nullptr) {
        return false;
    }
    ::UnmapViewOfFile(view);
    return true;
}

bool IsSignalled(HANDLE h) {
    return ::WaitForSingleObject(h, 0) == WAIT_OBJECT_0;
}

std::string ModulePath(HMODULE module = nullptr) {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetModuleFileNameA(module, path, MAX_PATH);
    return std::string(path, length < MAX_PATH ? length : 0);
}

std::string TextAt(const unsigned char* view, std::size_t offset) {
    return std::string(reinterpret_cast<const char*>(view + offset));
}

// Every name of the system, so a test can say which must and must not exist.
const std::vector<const char*> kEveryEvent = {kLaunchEvent, kMessageEvent, kUpdateEvent,
                                              kWaitUpdateEvent, kCheckerDoneEvent};

void ExpectNoObjectLeft() {
    for (const char* name : kEveryEvent) {
        EXPECT_FALSE(OpenEventByName(name)) << name;
    }
    EXPECT_FALSE(OpenMappingByName(kSharedBlock));
    EXPECT_FALSE(OpenMappingByName(kMessageBlock));
    EXPECT_FALSE(OpenMutexByName(kMutex));
}

// Each test starts from a prefix where no earlier test left an object behind.
class SharedLinkTest : public ::testing::Test {
protected:
    void SetUp() override { ExpectNoObjectLeft(); }
};

// --- Objects of each role -------------------------------------------------

using SharedLinkRoles = SharedLinkTest;

TEST_F(SharedLinkRoles, GuiRoleMakesItsSixObjectsAndNotTheCheckersTwo) {
    CSharedLink link;
    link.Open(CSharedLink::Role::Gui);

    EXPECT_TRUE(OpenMutexByName(kMutex));
    UniqueHandle block = OpenMappingByName(kSharedBlock);
    ASSERT_TRUE(block);
    EXPECT_TRUE(ViewFits(block.Get(), 520));
    EXPECT_FALSE(ViewFits(block.Get(), kPage + 1));
    EXPECT_TRUE(OpenEventByName(kLaunchEvent));
    EXPECT_TRUE(OpenEventByName(kUpdateEvent));
    EXPECT_TRUE(OpenEventByName(kWaitUpdateEvent));
    EXPECT_TRUE(OpenEventByName(kCheckerDoneEvent));

    EXPECT_FALSE(OpenMappingByName(kMessageBlock));
    EXPECT_FALSE(OpenEventByName(kMessageEvent));
    EXPECT_EQ(link.GetMessageView(), nullptr);
    EXPECT_EQ(link.GetMessageMapping(), nullptr);
    EXPECT_EQ(link.GetMessageEvent(), nullptr);
    EXPECT_NE(link.GetSharedView(), nullptr);
}

TEST_F(SharedLinkRoles, CheckerRoleMakesItsSixObjectsAndNoUpdateEvents) {
    CSharedLink link;
    link.Open(CSharedLink::Role::Checker);

    EXPECT_TRUE(OpenMutexByName(kMutex));
    UniqueHandle block = OpenMappingByName(kSharedBlock);
    ASSERT_TRUE(block);
    EXPECT_TRUE(ViewFits(block.Get(), 520));
    EXPECT_FALSE(ViewFits(block.Get(), kPage + 1));
    UniqueHandle message = OpenMappingByName(kMessageBlock);
    ASSERT_TRUE(message);
    EXPECT_TRUE(ViewFits(message.Get(), 284));
    EXPECT_FALSE(ViewFits(message.Get(), kPage + 1));
    EXPECT_TRUE(OpenEventByName(kLaunchEvent));
    EXPECT_TRUE(OpenEventByName(kMessageEvent));
    EXPECT_TRUE(OpenEventByName(kCheckerDoneEvent));

    EXPECT_FALSE(OpenEventByName(kUpdateEvent));
    EXPECT_FALSE(OpenEventByName(kWaitUpdateEvent));
    EXPECT_EQ(link.GetUpdateEvent(), nullptr);
    EXPECT_EQ(link.GetWaitUpdateEvent(), nullptr);
    EXPECT_FALSE(link.SignalUpdate());

    // The first creator gets a zero-filled message block.
    const unsigned char* view = link.GetMessageView();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(std::vector<unsigned char>(view, view + 284), std::vector<unsigned char>(284, 0));
}

TEST_F(SharedLinkRoles, EachNameIsOfItsKind) {
    CSharedLink link;
    link.Open(CSharedLink::Role::Checker);
    // Opening a name as another kind fails with the "wrong type" error.
    ::SetLastError(ERROR_SUCCESS);
    EXPECT_FALSE(OpenEventByName(kMutex));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(OpenEventByName(kSharedBlock));
    EXPECT_FALSE(OpenMutexByName(kLaunchEvent));
    EXPECT_FALSE(OpenMappingByName(kMessageEvent));
}

TEST_F(SharedLinkRoles, EventsAreAutoResetAndStartNotSignalled) {
    CSharedLink gui;
    gui.Open(CSharedLink::Role::Gui);
    CSharedLink checker;
    checker.Open(CSharedLink::Role::Checker);
    for (const char* name : kEveryEvent) {
        UniqueHandle event = OpenEventByName(name);
        ASSERT_TRUE(event) << name;
        EXPECT_FALSE(IsSignalled(event.Get())) << name;
        ASSERT_TRUE(::SetEvent(event.Get()));
        EXPECT_TRUE(IsSignalled(event.Get())) << name;
        // One wait took the signal: an auto-reset event.
        EXPECT_FALSE(IsSignalled(event.Get())) << name;
    }
}

DWORD WINAPI TakeAndReleaseMutex(LPVOID param) {
    HANDLE mutex = static_cast<HANDLE>(param);
    if (::WaitForSingleObject(mutex, 0) != WAIT_OBJECT_0) {
        return 1;
    }
    ::ReleaseMutex(mutex);
    return 0;
}

TEST_F(SharedLinkRoles, TheMutexIsNotOwnedByTheCreator) {
    CSharedLink link;
    link.Open(CSharedLink::Role::Gui);
    ASSERT_NE(link.GetMutex(), nullptr);
    UniqueHandle thread(
        ::CreateThread(nullptr, 0, TakeAndReleaseMutex, link.GetMutex(), 0, nullptr));
    ASSERT_TRUE(thread);
    ASSERT_EQ(::WaitForSingleObject(thread.Get(), 5000), WAIT_OBJECT_0);
    DWORD code = 99;
    ASSERT_TRUE(::GetExitCodeThread(thread.Get(), &code));
    EXPECT_EQ(code, 0u) << "another thread could not take the mutex";
}

TEST_F(SharedLinkRoles, HandlesAreNotInheritable) {
    CSharedLink link;
    link.Open(CSharedLink::Role::Gui);
    for (HANDLE h : {link.GetMutex(), link.GetSharedMapping(), link.GetLaunchEvent(),
                     link.GetUpdateEvent(), link.GetWaitUpdateEvent()}) {
        ASSERT_NE(h, nullptr);
        DWORD flags = HANDLE_FLAG_INHERIT;
        ASSERT_TRUE(::GetHandleInformation(h, &flags));
        EXPECT_EQ(flags & HANDLE_FLAG_INHERIT, 0u);
    }
}

// --- Access list ----------------------------------------------------------

using SharedLinkSecurity = SharedLinkTest;

std::vector<unsigned char> WellKnownSid(WELL_KNOWN_SID_TYPE type) {
    std::vector<unsigned char> sid(SECURITY_MAX_SID_SIZE);
    DWORD size = static_cast<DWORD>(sid.size());
    if (!::CreateWellKnownSid(type, nullptr, sid.data(), &size)) {
        return {};
    }
    sid.resize(size);
    return sid;
}

struct AllowEntry {
    BYTE type = 0;
    BYTE flags = 0;
    ACCESS_MASK mask = 0;
    std::vector<unsigned char> sid;
};

// The entries of the object's DACL as GetSecurityInfo reads it back; false
// when it cannot be read.
bool ReadDacl(HANDLE h, std::vector<AllowEntry>& entries) {
    PACL dacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetSecurityInfo(h, SE_KERNEL_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                          nullptr, &descriptor) != ERROR_SUCCESS) {
        return false;
    }
    bool ok = dacl != nullptr;
    for (DWORD i = 0; ok && i < dacl->AceCount; ++i) {
        void* ace = nullptr;
        if (!::GetAce(dacl, i, &ace)) {
            ok = false;
            break;
        }
        const auto* header = static_cast<const ACE_HEADER*>(ace);
        AllowEntry entry;
        entry.type = header->AceType;
        entry.flags = header->AceFlags;
        if (header->AceType == ACCESS_ALLOWED_ACE_TYPE) {
            const auto* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(ace);
            entry.mask = allowed->Mask;
            PSID sid = const_cast<DWORD*>(&allowed->SidStart);
            const auto* bytes = static_cast<const unsigned char*>(sid);
            entry.sid.assign(bytes, bytes + ::GetLengthSid(sid));
        }
        entries.push_back(entry);
    }
    ::LocalFree(descriptor);
    return ok;
}

void ExpectTheTwoEntries(HANDLE h, const char* what) {
    SCOPED_TRACE(what);
    std::vector<AllowEntry> entries;
    ASSERT_TRUE(ReadDacl(h, entries));
    ASSERT_EQ(entries.size(), 2u);
    const auto everyone = WellKnownSid(WinWorldSid);
    const auto administrators = WellKnownSid(WinBuiltinAdministratorsSid);
    ASSERT_FALSE(everyone.empty());
    ASSERT_FALSE(administrators.empty());
    bool sawEveryone = false;
    bool sawAdministrators = false;
    for (const auto& entry : entries) {
        EXPECT_EQ(entry.type, ACCESS_ALLOWED_ACE_TYPE);
        EXPECT_EQ(entry.flags, 0) << "no inheritance flags";
        if (entry.sid == everyone) {
            sawEveryone = true;
            // Wait, map for reading and writing, take the mutex, set an event;
            // no deleting, no reading or rewriting the list, no taking over.
            EXPECT_EQ(entry.mask, 0x00100007u);
        } else if (entry.sid == administrators) {
            sawAdministrators = true;
            EXPECT_EQ(entry.mask, 0x001F003Fu);
        } else {
            ADD_FAILURE() << "an entry for another account";
        }
    }
    EXPECT_TRUE(sawEveryone);
    EXPECT_TRUE(sawAdministrators);
}

TEST_F(SharedLinkSecurity, EveryObjectOfBothRolesCarriesTheTwoEntryList) {
    CSharedLink gui;
    gui.Open(CSharedLink::Role::Gui);
    ExpectTheTwoEntries(gui.GetMutex(), "mutex");
    ExpectTheTwoEntries(gui.GetSharedMapping(), "shared block");
    ExpectTheTwoEntries(gui.GetLaunchEvent(), "launch event");
    ExpectTheTwoEntries(gui.GetUpdateEvent(), "update event");
    ExpectTheTwoEntries(gui.GetWaitUpdateEvent(), "wait-update event");
    ExpectTheTwoEntries(gui.GetCheckerDoneEvent(), "checker-done event");

    CSharedLink checker;
    checker.Open(CSharedLink::Role::Checker);
    ExpectTheTwoEntries(checker.GetMessageMapping(), "message block");
    ExpectTheTwoEntries(checker.GetMessageEvent(), "message event");
    // Opened by name from outside the link, too.
    UniqueHandle block = OpenMappingByName(kSharedBlock);
    ASSERT_TRUE(block);
    ExpectTheTwoEntries(block.Get(), "shared block opened by name");
}

// Objects another account made first (here owned by LocalSystem, as the
// service's are) grant this one only the rights every account has: the link
// still opens each of them, and each works.
TEST_F(SharedLinkSecurity, ObjectsAnotherAccountMadeAreOpenedWithTheRightsInUse) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "O:SYD:(A;;0x00100007;;;WD)", SDDL_REVISION_1, &descriptor, nullptr));
    SECURITY_ATTRIBUTES everyoneOnly = {sizeof everyoneOnly, descriptor, FALSE};
    std::vector<UniqueHandle> theirs;
    theirs.emplace_back(::CreateMutexA(&everyoneOnly, FALSE, kMutex));
    for (const char* name : kEveryEvent) {
        theirs.emplace_back(::CreateEventA(&everyoneOnly, FALSE, FALSE, name));
    }
    for (const auto& [name, size] : {std::pair{kSharedBlock, 520}, {kMessageBlock, 284}}) {
        theirs.emplace_back(::CreateFileMappingA(INVALID_HANDLE_VALUE, &everyoneOnly,
                                                 PAGE_READWRITE, 0, size, name));
    }
    ::LocalFree(descriptor);
    for (const UniqueHandle& h : theirs) {
        ASSERT_TRUE(h);
    }
    // Asking for every right of such an object is refused.
    ASSERT_FALSE(UniqueHandle(::OpenEventA(EVENT_ALL_ACCESS, FALSE, kLaunchEvent)));

    CSharedLink gui;
    gui.Open(CSharedLink::Role::Gui);
    CSharedLink checker;
    checker.Open(CSharedLink::Role::Checker);
    ASSERT_NE(gui.GetSharedView(), nullptr);
    ASSERT_NE(checker.GetMessageView(), nullptr);
    checker.GetSharedView()[0] = 'V';
    EXPECT_EQ(gui.GetSharedView()[0], 'V') << "both views are of the one block";
    ASSERT_EQ(::WaitForSingleObject(gui.GetMutex(), 0), WAIT_OBJECT_0);
    EXPECT_TRUE(::ReleaseMutex(gui.GetMutex()));
    EXPECT_TRUE(gui.SignalUpdate());
    EXPECT_TRUE(IsSignalled(gui.GetUpdateEvent()));
    for (HANDLE event : {gui.GetLaunchEvent(), gui.GetWaitUpdateEvent(), checker.GetLaunchEvent(),
                         checker.GetMessageEvent()}) {
        ASSERT_NE(event, nullptr);
        EXPECT_TRUE(::SetEvent(event));
        EXPECT_TRUE(IsSignalled(event));
    }
}

TEST_F(SharedLinkSecurity, AttributesHoldTheDescriptorWithoutInheritance) {
    CSharedLink link;
    const SECURITY_ATTRIBUTES& sa = link.GetSecurityAttributes();
    EXPECT_EQ(sa.nLength, sizeof(SECURITY_ATTRIBUTES));
#ifndef _WIN64
    EXPECT_EQ(sa.nLength, 12u);
#endif
    EXPECT_NE(sa.lpSecurityDescriptor, nullptr);
    EXPECT_FALSE(sa.bInheritHandle);
    ASSERT_TRUE(link.HasSecurityDescriptor());
    ASSERT_TRUE(::IsValidSecurityDescriptor(sa.lpSecurityDescriptor));
    BOOL present = FALSE;
    BOOL defaulted = TRUE;
    PACL dacl = nullptr;
    ASSERT_TRUE(::GetSecurityDescriptorDacl(sa.lpSecurityDescriptor, &present, &dacl, &defaulted));
    EXPECT_TRUE(present);
    EXPECT_FALSE(defaulted);
    ASSERT_NE(dacl, nullptr);
    EXPECT_EQ(dacl->AceCount, 2u);
    // Construction alone creates nothing named.
    ExpectNoObjectLeft();
}

TEST_F(SharedLinkSecurity, AfterCloseTheAttributesNoLongerPointAtTheFreedDescriptor) {
    CSharedLink link;
    link.Close();
    const SECURITY_ATTRIBUTES& sa = link.GetSecurityAttributes();
    EXPECT_EQ(sa.nLength, 0u);
    EXPECT_EQ(sa.lpSecurityDescriptor, nullptr);
    EXPECT_FALSE(link.HasSecurityDescriptor());
    // A later Open makes the objects with default security instead.
    link.Open(CSharedLink::Role::Gui);
    EXPECT_NE(link.GetSharedView(), nullptr);
    EXPECT_TRUE(OpenEventByName(kUpdateEvent));
}

// --- The existing block ---------------------------------------------------

using SharedLinkExistingBlock = SharedLinkTest;

TEST_F(SharedLinkExistingBlock, ASecondLinkSeesTheSameBytesBothWays) {
    CSharedLink gui;
    gui.Open(CSharedLink::Role::Gui);
    CSharedLink checker;
    checker.Open(CSharedLink::Role::Checker);
    unsigned char* first = gui.GetSharedView();
    unsigned char* second = checker.GetSharedView();
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(first, second) << "two views of one block";
    std::memcpy(first, "from the gui", 13);
    EXPECT_EQ(TextAt(second, 0), "from the gui");
    std::memcpy(second + 519, "z", 1);
    EXPECT_EQ(first[519], 'z');
}

TEST_F(SharedLinkExistingBlock, ABlockMadeElsewhereIsUsedAndKeepsItsOwnSecurity) {
    // Made first, with a one-entry list of its own: everyone, all access.
    PSECURITY_DESCRIPTOR own = nullptr;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorA(
        "D:(A;;GA;;;WD)", SDDL_REVISION_1, &own, nullptr));
    SECURITY_ATTRIBUTES ownAttributes = {sizeof(ownAttributes), own, FALSE};
    UniqueHandle mine(::CreateFileMappingA(INVALID_HANDLE_VALUE, &ownAttributes, PAGE_READWRITE, 0,
                                           520, kSharedBlock));
    ::LocalFree(own);
    ASSERT_TRUE(mine);
    void* raw = ::MapViewOfFile(mine.Get(), FILE_MAP_WRITE, 0, 0, 520);
    ASSERT_NE(raw, nullptr);
    std::memcpy(raw, "made before", 12);

    std::vector<AllowEntry> before;
    ASSERT_TRUE(ReadDacl(mine.Get(), before));
    ASSERT_EQ(before.size(), 1u);
    {
        CSharedLink link;
        link.Open(CSharedLink::Role::Checker);
        ASSERT_NE(link.GetSharedView(), nullptr);
        EXPECT_EQ(TextAt(link.GetSharedView(), 0), "made before");
        link.GetSharedView()[100] = 'L';
        EXPECT_EQ(static_cast<unsigned char*>(raw)[100], 'L');
    }
    std::vector<AllowEntry> after;
    ASSERT_TRUE(ReadDacl(mine.Get(), after));
    EXPECT_EQ(after.size(), 1u) << "the first creator's descriptor stays";
    ::UnmapViewOfFile(raw);
}

TEST_F(SharedLinkExistingBlock, OpeningTheExistingBlockLeaksNoHandle) {
    {
        CSharedLink first;
        first.Open(CSharedLink::Role::Gui);
        CSharedLink second;
        second.Open(CSharedLink::Role::Checker);
        ASSERT_NE(second.GetSharedView(), nullptr);
    }
    // A creation handle kept by the second link would keep the block alive.
    ExpectNoObjectLeft();
}

TEST_F(SharedLinkExistingBlock, AnObjectOfAnotherKindUnderTheNameLeavesNoView) {
    UniqueHandle squatter(::CreateMutexA(nullptr, FALSE, kSharedBlock));
    ASSERT_TRUE(squatter);
    CSharedLink link;
    link.Open(CSharedLink::Role::Checker);
    EXPECT_EQ(link.GetSharedView(), nullptr);
    EXPECT_EQ(link.GetSharedMapping(), nullptr);
    // The rest of the role is still made.
    EXPECT_NE(link.GetMessageView(), nullptr);
    EXPECT_NE(link.GetLaunchEvent(), nullptr);
    EXPECT_NE(link.GetMessageEvent(), nullptr);
}

std::string PeerPath() {
    std::string path = ModulePath();
    const std::size_t slash = path.find_last_of("\\/");
    return path.substr(0, slash + 1) + "link_peer.exe";
}

// Runs the peer and answers its exit code, or -1 when it could not run.
int RunPeer(const std::string& argument) {
    const CRunOutcome run = RunToExit("\"" + PeerPath() + "\" \"" + argument + "\"", 30000);
    return run.m_bEnded ? static_cast<int>(run.m_nExitCode) : -1;
}

TEST_F(SharedLinkExistingBlock, AnotherProcessSeesTheBlockAndItsRequestComesBack) {
    CSharedLink gui;
    gui.Open(CSharedLink::Role::Gui);
    unsigned char* view = gui.GetSharedView();
    ASSERT_NE(view, nullptr);
    std::memset(view, 'o', 520);
    const std::string marker = "marker " + std::to_string(::GetCurrentProcessId()) + " " +
                               std::to_string(::GetTickCount());
    std::memcpy(view, marker.c_str(), marker.size() + 1);
    UniqueHandle launch = OpenEventByName(kLaunchEvent);
    ASSERT_TRUE(launch);

    ASSERT_EQ(RunPeer(marker), 0) << "the peer did not see the marker (2: no view, 3: other "
                                     "bytes, 4: request failed)";

    EXPECT_EQ(::lstrcmpiA(TextAt(view, 0).c_str(), PeerPath().c_str()), 0) << TextAt(view, 0);
    EXPECT_EQ(view[260], 0);
    EXPECT_TRUE(IsSignalled(launch.Get()));
    // The peer's objects went with it; the GUI's own stay.
    EXPECT_FALSE(OpenMappingByName(kMessageBlock));
    EXPECT_TRUE(OpenMappingByName(kSharedBlock));
}

TEST_F(SharedLinkExistingBlock, AnotherProcessDoesNotSeeOtherBytes) {
    CSharedLink gui;
    gui.Open(CSharedLink::Role::Gui);
    ASSERT_NE(gui.GetSharedView(), nullptr);
    std::memcpy(gui.GetSharedView(), "something else", 15);
    EXPECT_EQ(RunPeer("the marker"), 3);
}

// --- Launch request -------------------------------------------------------

using SharedLinkLaunchRequest = SharedLinkTest;

TEST_F(SharedLinkLaunchRequest, WritesOwnPathEmptiesTheArgumentOverOldTextAndSignals) {
    CSharedLink link;
    link.Open(CSharedLink::Role::Checker);
    unsigned char* view = link.GetSharedView();
    ASSERT_NE(view, nullptr);
    std::memset(view, 'x', 520);
    UniqueHandle launch = OpenEventByName(kLaunchEvent);
    ASSERT_TRUE(launch);

    ASSERT_TRUE(link.WriteLaunchRequest(0));

    const std::string own = ModulePath();
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(TextAt(view, 0), own);
    EXPECT_EQ(view[260], 0);
    EXPECT_EQ(view[261], 'x') << "only the empty string is written at 260";
    EXPECT_TRUE(IsSignalled(launch.Get()));
}

TEST_F(SharedLinkLaunchRequest, PausesASecondBeforeTheSignalByDefault) {
    CSharedLink link;
    link.Open(CSharedLink::Role::Checker);
    UniqueHandle launch = OpenEventByName(kLaunchEvent);
    ASSERT_TRUE(launch);
    const ULONGLONG start = ::GetTickCount64();
    ASSERT_TRUE(link.WriteLaunchRequest());
    const ULONGLONG elapsed = ::GetTickCount64() - start;
    EXPECT_GE(elapsed, 980u);
    EXPECT_LT(elapsed, 5000u);
    EXPECT_TRUE(IsSignalled(launch.Get()));
}

TEST_F(SharedLinkLaunchRequest, ANullViewWritesNothingAndSetsNoEvent) {
    UniqueHandle squatter(::CreateMutexA(nullptr, FALSE, kSharedBlock));
    ASSERT_TRUE(squatter);
    CSharedLink link;
    link.Open(CSharedLink::Role::Checker);
    ASSERT_EQ(link.GetSharedView(), nullptr);
    ASSERT_NE(link.GetLaunchEvent(), nullptr);
    UniqueHandle launch = OpenEventByName(kLaunchEvent);
    ASSERT_TRUE(launch);

    EXPECT_FALSE(link.WriteLaunchRequest(0));
    EXPECT_FALSE(link.WriteLaunchRequestFor("C:\\Vettor.exe", 0));
    EXPECT_FALSE(IsSignalled(launch.Get()));
}

TEST_F(SharedLinkLaunchRequest, AnUnopenedLinkWritesNothing) {
    CSharedLink link;
    EXPECT_FALSE(link.WriteLaunchRequest(0));
    ExpectNoObjectLeft();
}

TEST_F(SharedLinkLaunchRequest, APathThatWouldBeCutIsNotSent) {
    CSharedLink link;
    link.Open(CSharedLink::Role::Checker);
    unsigned char* view = link.GetSharedView();
    ASSERT_NE(view, nullptr);
    std::memset(view, 'x', 520);
    UniqueHandle launch = OpenEventByName(kLaunchEvent);
    ASSERT_TRUE(launch);

    const std::string tooLong(260, 'p');
    EXPECT_FALSE(link.WriteLaunchRequestFor(tooLong.c_str(), 0));
    EXPECT_EQ(std::vector<unsigned char>(view, view + 520), std::vector<unsigned char>(520, 'x'));
    EXPECT_FALSE(IsSignalled(launch.Get()));
}

TEST_F(SharedLinkLaunchRequest, TheGuiSignalsItsUpdateEventAndTheCheckerItsDoneEvent) {
    CSharedLink link;
    link.Open(CSharedLink::Role::Gui);
    UniqueHandle update = OpenEventByName(kUpdateEvent);
    UniqueHandle wait = OpenEventByName(kWaitUpdateEvent);
    UniqueHandle done = OpenEventByName(kCheckerDoneEvent);
    ASSERT_TRUE(update);
    ASSERT_TRUE(wait);
    ASSERT_TRUE(done);
    EXPECT_TRUE(link.SignalUpdate());
    EXPECT_TRUE(IsSignalled(update.Get()));
    EXPECT_FALSE(IsSignalled(wait.Get()));
    EXPECT_FALSE(IsSignalled(done.Get()));

    // The checker's end of a run reaches the GUI's own handle of the event.
    CSharedLink checker;
    checker.Open(CSharedLink::Role::Checker);
    EXPECT_TRUE(checker.SignalCheckerDone());
    EXPECT_TRUE(IsSignalled(link.GetCheckerDoneEvent()));
}

// --- Launch service -------------------------------------------------------

using SharedLinkService = SharedLinkTest;

TEST_F(SharedLinkService, AMissingLaunchServiceReadsNotRunningAndEverythingIsMade) {
    EXPECT_FALSE(CSharedLink::QueryServiceRunning("RODerevAva"));
    CSharedLink link;
    link.Open(CSharedLink::Role::Checker);
    EXPECT_FALSE(link.IsServiceRunning());
    EXPECT_NE(link.GetSharedView(), nullptr);
    EXPECT_NE(link.GetMutex(), nullptr);
    EXPECT_NE(link.GetMessageView(), nullptr);
    EXPECT_NE(link.GetLaunchEvent(), nullptr);
    EXPECT_NE(link.GetMessageEvent(), nullptr);
}

TEST_F(SharedLinkService, TheQueryTellsARunningServiceFromAStoppedOne) {
    // Wine's own services stand in. The plug-and-play service starts with the
    // prefix, but may still be starting when the test begins: give it 10 s.
    bool running = false;
    for (int i = 0; i < 100 && !running; ++i) {
        running = CSharedLink::QueryServiceRunning("PlugPlay");
        if (!running) {
            ::Sleep(100);
        }
    }
    EXPECT_TRUE(running);
    // Installed but disabled in Wine's prefix: found, and stopped.
    EXPECT_FALSE(CSharedLink::QueryServiceRunning("LanmanServer"));
    EXPECT_FALSE(CSharedLink::QueryServiceRunning(nullptr));
}

// --- Close ----------------------------------------------------------------

using SharedLinkClose = SharedLinkTest;

TEST_F(SharedLinkClose, ClearsEveryMemberAndASecondCloseDoesNothing) {
    CSharedLink link;
    link.Open(CSharedLink::Role::Checker);
    link.Close();
    EXPECT_EQ(link.GetSharedView(), nullptr);
    EXPECT_EQ(link.GetSharedMapping(), nullptr);
    EXPECT_EQ(link.GetMutex(), nullptr);
    EXPECT_EQ(link.GetMessageView(), nullptr);
    EXPECT_EQ(link.GetMessageMapping(), nullptr);
    EXPECT_EQ(link.GetLaunchEvent(), nullptr);
    EXPECT_EQ(link.GetMessageEvent(), nullptr);
    EXPECT_FALSE(link.HasSecurityDescriptor());
    link.Close();
    EXPECT_FALSE(link.WriteLaunchRequest(0));
}

TEST_F(SharedLinkClose, ObjectsVanishWhenTheLastHolderCloses) {
    CSharedLink gui;
    gui.Open(CSharedLink::Role::Gui);
    CSharedLink checker;
    checker.Open(CSharedLink::Role::Checker);
    gui.Close();
    // The checker still holds the shared objects, the GUI's own are gone.
    EXPECT_TRUE(OpenEventByName(kLaunchEvent));
    EXPECT_TRUE(OpenMappingByName(kSharedBlock));
    EXPECT_FALSE(OpenEventByName(kUpdateEvent));
    EXPECT_FALSE(OpenEventByName(kWaitUpdateEvent));
    checker.Close();
    ExpectNoObjectLeft();
}

TEST_F(SharedLinkClose, ASecondOpenLetsGoOfTheFirstsObjects) {
    CSharedLink link;
    link.Open(CSharedLink::Role::Gui);
    link.Open(CSharedLink::Role::Checker);
    EXPECT_FALSE(OpenEventByName(kUpdateEvent)) << "kept from the first Open";
    EXPECT_TRUE(OpenEventByName(kMessageEvent));
    link.Close();
    ExpectNoObjectLeft();
}

TEST_F(SharedLinkClose, TheDestructorCloses) {
    {
        CSharedLink link;
        link.Open(CSharedLink::Role::Gui);
        ASSERT_TRUE(OpenEventByName(kUpdateEvent));
    }
    ExpectNoObjectLeft();
}

} // namespace
