// The help viewer the program starts through the shell: a help file small
// enough to write here that Wine's viewer (hh.exe) opens and keeps open, and
// the viewer processes found among the program's children.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/process_environment.h"

namespace sx_e2e {

// A compiled help file with one entry, "/#SYSTEM", in its uncompressed
// section: enough for the viewer to open it and stay, where a file it cannot
// parse makes it end at once.
bool WriteSmallHelpFile(const std::string& path);

// Ids of the running processes named `exeName` (any case) whose parent is
// `parentId`.
std::vector<DWORD> ChildProcesses(DWORD parentId, const char* exeName);

// The command line of another process (tests/support).
using ::ProcessCommandLine;

// Whether a viewer's command line names the file, whatever the case of either.
bool NamesFile(const std::string& commandLine, const std::string& file);

// Ends a child the test found, by its id, if it is still that child.
void EndChildProcess(DWORD parentId, const char* exeName, DWORD processId);

} // namespace sx_e2e
