// The install folder's access list on the machine: set by the setup (through
// RODerevAva.exe /protect-install-folder) and checked by the service at each
// start, after the rules of install_folder_rules.h.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Sets the protected list on the folder (files and folders inside take its
// entries). ERROR_SUCCESS or the error; `setText` is the list as set, in the
// system's descriptor language, for the setup's log.
DWORD ProtectInstallFolder(const std::string& folder, std::string& setText);

// The folder and everything directly in it, judged by the rule: empty when
// only `trusted` accounts can change any of them, otherwise
// "\"<path>\" can be changed by <account>".
std::string FindChangeableInstallPath(const std::string& folder,
                                      const std::vector<std::string>& trusted);
