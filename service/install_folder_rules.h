// The access list of the folder the programs are installed in, and the rule
// that tells whether anyone but the system's own accounts could change what
// is in it. LocalSystem runs the service from there, so a folder an ordinary
// account can write would let that account run code as LocalSystem (replace
// RODerevAva.exe, or plant a DLL beside Vettor.exe). Portable: SIDs are their
// "S-1-..." texts, rights and flags Windows' own numbers.
#pragma once

#include <string>
#include <vector>

namespace install_folder {

constexpr const char* kLocalSystemSid = "S-1-5-18";
constexpr const char* kAdministratorsSid = "S-1-5-32-544";
constexpr const char* kUsersSid = "S-1-5-32-545";
// NT SERVICE\TrustedInstaller, which owns the system's own folders.
constexpr const char* kTrustedInstallerSid =
    "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464";

// Entry flags: inherited by files, by folders, and for children only.
constexpr unsigned kObjectInherit = 0x1;
constexpr unsigned kContainerInherit = 0x2;
constexpr unsigned kInheritOnly = 0x8;

constexpr unsigned long kFullControl = 0x001F01FFul; // FILE_ALL_ACCESS
constexpr unsigned long kReadExecute = 0x001200A9ul; // read, list, traverse, execute
// Rights that let an account put a file in, replace or remove one, or take
// the object's list or ownership: write data / add file (0x2), append / add
// folder (0x4), delete child (0x40), DELETE, WRITE_DAC, WRITE_OWNER,
// GENERIC_ALL and GENERIC_WRITE.
constexpr unsigned long kChangeRights = 0x500D0046ul;

struct CAccessEntry {
    bool m_bAllow = true;
    unsigned m_nFlags = 0;
    unsigned long m_nMask = 0;
    std::string m_strSid;
};

struct CObjectSecurity {
    std::string m_strOwner;
    // False for a null access list, which grants everyone everything.
    bool m_bHasList = true;
    std::vector<CAccessEntry> m_entries;
};

// What the setup puts on the folder: owned by the administrators; LocalSystem
// and the administrators in full control, users reading and running; every
// entry passed on to the files and folders inside; nothing inherited from the
// folder above (the setup marks the list protected).
CObjectSecurity ProtectedFolderSecurity();

// The first account outside `trusted` that could change the object: its
// owner (who may always rewrite the list) or an allowing entry with any of
// kChangeRights that applies to the object itself. "Everyone" for a null
// list; empty when only trusted accounts can. Denying entries are not
// counted on: an allowing entry of the same account may come first.
std::string FindOutsideWriter(const CObjectSecurity& security,
                              const std::vector<std::string>& trusted);

} // namespace install_folder
