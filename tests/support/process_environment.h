// Another process's command line and environment, read from its process
// parameters.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The command line; empty when it cannot be read.
std::string ProcessCommandLine(DWORD processId);

// The "NAME=value" lines of the process's environment; empty when it cannot
// be read (a process just made may not have its parameters in place yet).
std::vector<std::string> ProcessEnvironment(DWORD processId);
