#include "tests/support/process_memory.h"

#include <psapi.h>

CProcessMemory ProcessMemory(HANDLE process) {
    CProcessMemory memory;
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    if (::GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                               sizeof counters)) {
        // Wine answers PrivateUsage with 0 but keeps the process's private
        // commit in PagefileUsage, which Windows reports with the same value.
        memory.m_nPrivateBytes =
            counters.PrivateUsage != 0 ? counters.PrivateUsage : counters.PagefileUsage;
        memory.m_nResidentBytes = counters.WorkingSetSize;
        memory.m_nPeakResidentBytes = counters.PeakWorkingSetSize;
    }
    return memory;
}
