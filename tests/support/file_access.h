// Files and folders as tests reach them: whole files read and written, their
// lines, the names in a folder, and a file another program writes or removes
// waited for.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// The whole file as bytes; empty when missing.
std::string ReadWholeFile(const std::string& path);
bool WriteWholeFile(const std::string& path, const std::string& bytes);
bool FileExists(const std::string& path);
// The lines of a text without their LF or CR LF ends, blank lines left out.
std::vector<std::string> TextLines(const std::string& bytes);

// The names in a folder, "." and ".." left out; empty when it cannot be read.
std::vector<std::string> FolderNames(const std::string& folder);

// Until the file exists, or with WaitForFileGone until it no longer does;
// false after the time. This thread's messages are pumped meanwhile.
bool WaitForFile(const std::string& path, DWORD timeoutMs);
bool WaitForFileGone(const std::string& path, DWORD timeoutMs);
