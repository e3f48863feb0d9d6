// Names, sizes and rights of the named kernel objects both programs share, and
// of the launch service. Portable: no Windows header.
#pragma once

#include <cstddef>

namespace shared_link {

// Every object lives in the global namespace so services and every logon
// session see the same one.
constexpr const char* kMutexName = "Global\\ZK_MUTEX";
constexpr const char* kSharedBlockName = "Global\\ZK_SM";
constexpr const char* kMessageBlockName = "Global\\ZK_MSG";
constexpr const char* kLaunchEventName = "Global\\ZK_LAUNCH_BOOSTER_EVENT";
constexpr const char* kMessageEventName = "Global\\ZK_MESSAGE_EVENT";
constexpr const char* kUpdateEventName = "Global\\ZK_SULVA_UPDATE_EVENT";
constexpr const char* kWaitUpdateEventName = "Global\\ZK_WAIT_SULVA_UPDATE_EVENT";
// Set by the checker at the end of a run when its window message found no
// main window: the checker may run where no user's window is (a standard
// user's checker runs in the services' session), and the GUI waits on this.
constexpr const char* kCheckerDoneEventName = "Global\\ZK_CHECKER_DONE_EVENT";

constexpr const char* kLaunchServiceName = "RODerevAva";

constexpr std::size_t kSharedBlockSize = 520;
constexpr std::size_t kMessageBlockSize = 284;

// Rights granted by the objects' access list. Every account may do what the
// programs do: wait (SYNCHRONIZE) and the first three rights of each kind,
// which map a block for reading and writing, take and release the mutex, and
// set an event. Deleting the object, reading or rewriting its access list and
// taking it over stay with the administrators, so no account can shut the
// others out.
constexpr unsigned long kEveryoneRights = 0x00100007ul;
constexpr unsigned long kAdministratorsRights = 0x001F003Ful;

// The pause between writing a launch request and signalling it: the only
// ordering the launch service gets, as nobody takes the mutex.
constexpr unsigned long kLaunchRequestPauseMs = 1000;

} // namespace shared_link
