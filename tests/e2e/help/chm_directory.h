// The directory of a compiled help file (the ITSF format that chmcmd writes):
// every stored name with the section, offset and length of its bytes, and the
// bytes of the names stored uncompressed. Portable: no Windows headers.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace chm {

struct CEntry {
    std::uint64_t m_nSection = 0; // 0: stored as it is; 1: compressed
    std::uint64_t m_nOffset = 0;  // in its section's content
    std::uint64_t m_nLength = 0;  // uncompressed
};

class CDirectory {
public:
    // Reads the file's whole directory; false, with Error() saying why, when
    // the bytes are no compiled help file or are cut short.
    bool Read(const std::string& bytes);
    const std::string& Error() const { return m_strError; }

    // Names as stored: "/welcome.htm", "/#SYSTEM", "::DataSpace/NameList".
    const std::map<std::string, CEntry>& Entries() const { return m_entries; }
    // The bytes of an entry of section 0; false when there is none.
    bool UncompressedBytes(const std::string& name, std::string& out) const;

private:
    bool Fail(const std::string& why);

    std::string m_strBytes;
    std::uint64_t m_nContentOffset = 0;
    std::map<std::string, CEntry> m_entries;
    std::string m_strError;
};

// The records of "/#SYSTEM" by code (0 contents file, 1 index file, 2 default
// topic, 3 title, ...), each with its text up to its first NUL.
std::map<unsigned, std::string> SystemRecords(const std::string& systemBytes);

} // namespace chm
