// What a requested program path may look like before the service opens it:
// a full path on a drive letter, in the one spelling GetModuleFileNameA gives.
// Everything else is refused on its text alone, so hostile text never reaches
// the file system as a device, a share or a relative name. Which file the path
// names is decided afterwards from the file actually opened. Portable.
#pragma once

#include <string_view>

#include "service/launch_refusal.h"

// Refusal::None for "X:\folder\file"; otherwise, checked in this order:
// PathEmpty; UncPath ("\\server\share", also with "/"); DevicePath ("\\.\",
// "\\?\", "\??\", or a component that is a reserved device name such as
// "COM1", "nul.txt" or "CON "); NotFullPath (relative, rooted without a drive,
// or drive-relative "C:file"); InvalidCharacters (control characters,
// < > " | ? *, a ":" past the drive, as in a stream name); NotCanonical ("/",
// empty components, "." or "..", a component ending in a space or a dot,
// which Windows would strip).
Refusal ClassifyProgramPath(std::string_view path);

// Whether one path component (no separators) names a reserved DOS device:
// CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9 and LPT0-9 (also with the
// superscript digits 1-3 of the ANSI code page), in any case, with any
// extension or trailing spaces.
bool IsReservedDeviceName(std::string_view component);

// Whether a requested path, refused by nothing above, names the installed
// program letter for letter: the two texts are equal but for the case of
// ASCII letters. Decided before the service opens anything, so no other path
// is ever opened with the service's rights.
bool IsInstalledProgramPath(std::string_view requested, std::string_view installed);
