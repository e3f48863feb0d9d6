// The named objects of one single-instance guard and, in the first instance,
// the thread that waits for later starts.
//
// Threads: Create sets every member the wait thread reads before it starts the
// thread, and the destructor frees nothing until that thread has ended, so the
// two never touch a member at the same time. The slot itself is shared with
// other processes under its named mutex (CSingleInstanceData).
#pragma once

#include <windows.h>

#include <memory>

#include "framework/handle.h"
#include "framework/thread.h"
#include "gui/app/single_instance_data.h"

class CSingleInstance;

class CSingleInstanceImpl {
public:
    explicit CSingleInstanceImpl(CSingleInstance* owner) : m_pOwner(owner) {}
    // Stops the wait thread and waits for its end. Never called from the
    // owner's WakeUp: that runs on the very thread it would wait for.
    virtual ~CSingleInstanceImpl();
    CSingleInstanceImpl(const CSingleInstanceImpl&) = delete;
    CSingleInstanceImpl& operator=(const CSingleInstanceImpl&) = delete;

    // TRUE in the first instance, whose wait thread then runs. A later
    // instance hands over its command line, wakes the first and answers FALSE,
    // as does a failure to make the events. Runs once; later calls answer FALSE.
    BOOL Create(const char* identifier);

private:
    static UINT WaitThreadProc(LPVOID param);
    void WaitForWakes();
    void OnWake();

    // Destroyed in reverse: the thread's owner, then both events, then the data.
    std::unique_ptr<CSingleInstanceData> m_pData;
    UniqueHandle m_hWakeEvent;
    // Manual-reset and set, never pulsed: a stop that comes while the thread is
    // inside WakeUp is still there at its next wait.
    UniqueHandle m_hStopEvent;
    CSingleInstance* const m_pOwner;
    std::unique_ptr<CWinThread> m_pThread;
    bool m_bCreateCalled = false;
};
