// UTF-16 texts read from other processes, as the programs' own ANSI texts.
#pragma once

#include <string>

// The text in the ANSI code page.
std::string Narrow(const std::wstring& wide);
