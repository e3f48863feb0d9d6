// The program's own paths and the Windows system directory, one helper each
// for both programs. Paths of any length are had whole (the buffers grow);
// a call that fails gives an empty text, never a path cut short.
#pragma once

#include <windows.h>

#include <string>

// GetModuleFileNameA of the module (null: the running program), whole.
std::string GetModuleFilePath(HMODULE module = nullptr);
// The running program's directory, up to and including its last "\".
std::string GetProgramDirectory();
// GetSystemDirectoryA's answer, without a trailing "\".
std::string GetSystemDirectoryPath();
