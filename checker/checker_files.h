// The checker's list files and the loading of a run's entries.
#pragma once

#include <string>
#include <vector>

// Input: the downloaded list, beside the checker.
extern const char* const kVettorListFile;
// Input: the user's own proxies, in the system directory.
extern const char* const kUserProxyFile;
// Output beside the checker: live entries, copied over the system directory's list.
extern const char* const kLiveListFile;
// Output beside the checker: dead entries.
extern const char* const kDeadListFile;
// Output beside the checker: live entries that give the user's address away.
extern const char* const kTransparentListFile;

// The directory part of a module path, up to and including the last
// backslash; empty when there is none.
std::string DirectoryOfModulePath(const std::string& modulePath);

// `name` in `directory` (with or without its closing backslash); empty when
// the directory is unknown, so nothing lands in the current directory instead.
std::string ListPath(const std::string& directory, const char* name);

// Appends the entries of the downloaded list, then those of the user's list,
// in file order, trimmed, blank lines skipped, duplicates kept. A file that
// cannot be opened is skipped; a read error ends the loading and keeps what
// was read before it.
void LoadRunEntries(const std::string& vettorListPath, const std::string& userProxyPath,
                    std::vector<std::string>& entries);
