// The processes and threads running now, read from a system snapshot.
#pragma once

#include <windows.h>

#include <tlhelp32.h>

#include <functional>
#include <vector>

// Ids of the processes whose snapshot entry `match` accepts, in snapshot order.
std::vector<DWORD> ProcessIds(const std::function<bool(const PROCESSENTRY32&)>& match);

// How many threads the process has; 0 when no snapshot can be taken.
unsigned ThreadCount(DWORD processId = ::GetCurrentProcessId());
