// The Vettor the service started in each session, so a session gets a new
// one only when the previous has ended. Used on the service's one worker
// thread only.
#pragma once

#include <windows.h>

#include <map>

#include "framework/handle.h"

class CSessionPrograms {
public:
    // True while the process last started in the session still runs.
    bool IsRunning(DWORD sessionId) const;
    // Keeps the process of a new start; an ended one of the session goes.
    void Remember(DWORD sessionId, UniqueHandle process);

private:
    std::map<DWORD, UniqueHandle> m_processes;
};
