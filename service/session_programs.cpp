#include "service/session_programs.h"

#include <utility>

bool CSessionPrograms::IsRunning(DWORD sessionId) const {
    const auto found = m_processes.find(sessionId);
    return found != m_processes.end() &&
           ::WaitForSingleObject(found->second.Get(), 0) == WAIT_TIMEOUT;
}

void CSessionPrograms::Remember(DWORD sessionId, UniqueHandle process) {
    if (process) {
        m_processes[sessionId] = std::move(process);
    }
}
