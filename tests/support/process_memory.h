// A process's memory as the benchmarks report it.
#pragma once

#include <windows.h>

#include <cstddef>

struct CProcessMemory {
    std::size_t m_nPrivateBytes = 0;
    std::size_t m_nResidentBytes = 0;
    std::size_t m_nPeakResidentBytes = 0;
};

// Zeros when the process's counters cannot be read.
CProcessMemory ProcessMemory(HANDLE process = ::GetCurrentProcess());
