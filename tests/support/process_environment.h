// Another process's environment, read from its process parameters.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The "NAME=value" lines of the process's environment; empty when it cannot
// be read.
std::vector<std::string> ProcessEnvironment(DWORD processId);
