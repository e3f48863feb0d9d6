// Where the checker's files live: its own directory (the executable's, with
// its backslash) and the system directory (with a backslash).
#pragma once

#include <string>

std::string OwnDirectory();
std::string SystemDirectory();
// The executable's full path, empty when it does not fit 260 bytes.
std::string ModulePath();
