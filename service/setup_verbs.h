// What the setup and the uninstaller ask of RODerevAva.exe, run elevated by
// them rather than by the service control manager:
//   /protect-install-folder FOLDER   the folder's access list (before the
//                                    files go in); exit code 0 or the error
//   /end-programs FOLDER             ends Sulvantix, Vettor and the recovery
//                                    running from FOLDER, no other copies;
//                                    exit code the number left running
//   /recover-user [SERVICE]          has the service (default "RODerevAva")
//                                    run the recovery as the active session's
//                                    user; exit code 0 or the error
// Every outcome is traced with the prefix "RODerevAva: ".
#pragma once

// True when `argv` names a verb; `exitCode` is then its outcome.
bool RunSetupVerb(int argc, char** argv, int& exitCode);
