// Which file a path really opens: its identity (volume serial number and file
// index from GetFileInformationByHandle), so links, junctions, short names
// and other spellings are judged by where they lead, never by their text.
#pragma once

#include <windows.h>

#include <string>

#include "framework/handle.h"

struct CFileIdentity {
    DWORD m_nVolumeSerial = 0;
    DWORD m_nIndexHigh = 0;
    DWORD m_nIndexLow = 0;

    bool operator==(const CFileIdentity& other) const {
        return m_nVolumeSerial == other.m_nVolumeSerial && m_nIndexHigh == other.m_nIndexHigh &&
               m_nIndexLow == other.m_nIndexLow;
    }
    bool operator!=(const CFileIdentity& other) const { return !(*this == other); }
};

// Opens the path for its attributes only (such an open breaks no one's
// opportunistic lock and reads no content), following links, and gives the
// opened file's identity. False when it cannot be opened or is not a file on
// a disk (a directory, a device, a pipe).
bool IdentifyFile(const std::string& path, CFileIdentity& identity);

// A program file held open without write or delete sharing: nobody can
// replace, rename or remove it between the comparison and the start, while
// the loader may still open it to run it.
class CHeldProgram {
public:
    // Releases the file held before. False when it cannot be opened so.
    bool Hold(const std::string& path);
    void Release() { m_hFile.Reset(); }
    bool IsHeld() const { return m_hFile.IsValid(); }
    const CFileIdentity& Identity() const { return m_identity; }

private:
    UniqueHandle m_hFile;
    CFileIdentity m_identity;
};
