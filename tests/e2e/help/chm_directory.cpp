#include "tests/e2e/help/chm_directory.h"

namespace chm {

namespace {

constexpr char kFileSignature[] = "ITSF";
constexpr char kDirectorySignature[] = "ITSP";
constexpr char kListingSignature[] = "PMGL";
constexpr std::uint32_t kNoChunk = 0xFFFFFFFF;
constexpr std::size_t kListingHeaderLength = 20;

// Little-endian fields at a position of a byte string, with bounds checked.
class CReader {
public:
    CReader(const std::string& bytes, std::size_t position, std::size_t end)
        : m_strBytes(bytes), m_nPosition(position),
          m_nEnd(end < bytes.size() ? end : bytes.size()) {}

    bool Ok() const { return m_bOk; }
    std::size_t Position() const { return m_nPosition; }

    // A field of 2, 4 or 8 bytes.
    std::uint64_t Fixed(unsigned size) {
        std::uint64_t value = 0;
        if (!Have(size)) {
            return 0;
        }
        for (unsigned i = 0; i < size; ++i) {
            value |=
                static_cast<std::uint64_t>(static_cast<unsigned char>(m_strBytes[m_nPosition + i]))
                << (8 * i);
        }
        m_nPosition += size;
        return value;
    }
    // Seven bits a byte, most significant first; the high bit says more follow.
    std::uint64_t EncInt() {
        std::uint64_t value = 0;
        for (unsigned count = 0; Have(1) && count < 9; ++count) {
            const unsigned char byte = static_cast<unsigned char>(m_strBytes[m_nPosition++]);
            value = (value << 7) | (byte & 0x7F);
            if ((byte & 0x80) == 0) {
                return value;
            }
        }
        m_bOk = false;
        return 0;
    }
    void Skip(std::uint64_t count) {
        if (Have(count)) {
            m_nPosition += static_cast<std::size_t>(count);
        }
    }
    std::string Text(std::uint64_t length) {
        if (!Have(length)) {
            return std::string();
        }
        std::string text = m_strBytes.substr(m_nPosition, static_cast<std::size_t>(length));
        m_nPosition += static_cast<std::size_t>(length);
        return text;
    }

private:
    bool Have(std::uint64_t count) {
        if (!m_bOk || m_nPosition > m_nEnd || count > m_nEnd - m_nPosition) {
            m_bOk = false;
        }
        return m_bOk;
    }

    const std::string& m_strBytes;
    std::size_t m_nPosition;
    std::size_t m_nEnd;
    bool m_bOk = true;
};

} // namespace

bool CDirectory::Fail(const std::string& why) {
    m_strError = why;
    m_entries.clear();
    return false;
}

bool CDirectory::Read(const std::string& bytes) {
    m_strBytes = bytes;
    m_entries.clear();
    m_strError.clear();

    CReader header(m_strBytes, 0, m_strBytes.size());
    if (header.Text(4) != kFileSignature) {
        return Fail("no ITSF signature");
    }
    const std::uint64_t version = header.Fixed(4);
    header.Skip(4 * 4 + 16 * 2); // header length, an unknown word, stamp, language, two GUIDs
    header.Skip(8 * 2);          // where the header's first section lies
    const std::uint64_t directoryOffset = header.Fixed(8);
    const std::uint64_t directoryLength = header.Fixed(8);
    // Version 2 has no content offset of its own: the content follows the directory.
    m_nContentOffset = version >= 3 ? header.Fixed(8) : directoryOffset + directoryLength;
    if (!header.Ok() || directoryOffset > m_strBytes.size() ||
        directoryLength > m_strBytes.size() - directoryOffset) {
        return Fail("header cut short");
    }

    const std::size_t directoryStart = static_cast<std::size_t>(directoryOffset);
    const std::size_t directoryEnd = directoryStart + static_cast<std::size_t>(directoryLength);
    CReader directory(m_strBytes, directoryStart, directoryEnd);
    if (directory.Text(4) != kDirectorySignature) {
        return Fail("no ITSP signature");
    }
    directory.Skip(4); // version
    const std::uint64_t directoryHeaderLength = directory.Fixed(4);
    directory.Skip(4);
    const std::uint64_t chunkSize = directory.Fixed(4);
    directory.Skip(4 * 3); // quick-reference density, index depth, root index chunk
    std::uint64_t chunk = directory.Fixed(4);
    directory.Skip(4 * 2); // last listing chunk, an unknown word
    const std::uint64_t chunkCount = directory.Fixed(4);
    if (!directory.Ok() || chunkSize <= kListingHeaderLength || chunkSize > directoryLength ||
        chunkCount > directoryLength / chunkSize ||
        directoryHeaderLength > directoryLength - chunkSize * chunkCount) {
        return Fail("directory header cut short");
    }

    // The listing chunks are chained; a chain longer than the chunks there are loops.
    for (std::uint64_t walked = 0; chunk != kNoChunk; ++walked) {
        if (chunk >= chunkCount || walked >= chunkCount) {
            return Fail("listing chain leaves the directory");
        }
        const std::size_t start =
            directoryStart + static_cast<std::size_t>(directoryHeaderLength + chunk * chunkSize);
        CReader listing(m_strBytes, start, start + static_cast<std::size_t>(chunkSize));
        if (listing.Text(4) != kListingSignature) {
            return Fail("listing chunk without PMGL signature");
        }
        const std::uint64_t freeSpace = listing.Fixed(4);
        listing.Skip(4 * 2); // a zero word, the previous chunk
        const std::uint64_t next = listing.Fixed(4);
        if (!listing.Ok() || freeSpace > chunkSize - kListingHeaderLength) {
            return Fail("listing chunk header cut short");
        }
        const std::size_t entriesEnd = start + static_cast<std::size_t>(chunkSize - freeSpace);
        while (listing.Ok() && listing.Position() < entriesEnd) {
            const std::string name = listing.Text(listing.EncInt());
            CEntry entry;
            entry.m_nSection = listing.EncInt();
            entry.m_nOffset = listing.EncInt();
            entry.m_nLength = listing.EncInt();
            if (listing.Ok()) {
                m_entries[name] = entry;
            }
        }
        if (!listing.Ok() || listing.Position() > entriesEnd) {
            return Fail("listing entry cut short");
        }
        chunk = next;
    }
    return true;
}

bool CDirectory::UncompressedBytes(const std::string& name, std::string& out) const {
    const auto found = m_entries.find(name);
    if (found == m_entries.end() || found->second.m_nSection != 0) {
        return false;
    }
    const std::uint64_t start = m_nContentOffset + found->second.m_nOffset;
    if (start > m_strBytes.size() || found->second.m_nLength > m_strBytes.size() - start) {
        return false;
    }
    out = m_strBytes.substr(static_cast<std::size_t>(start),
                            static_cast<std::size_t>(found->second.m_nLength));
    return true;
}

std::map<unsigned, std::string> SystemRecords(const std::string& systemBytes) {
    std::map<unsigned, std::string> records;
    CReader reader(systemBytes, 4, systemBytes.size()); // after the version word
    while (reader.Ok() && reader.Position() < systemBytes.size()) {
        const unsigned code = static_cast<unsigned>(reader.Fixed(2));
        const std::string data = reader.Text(reader.Fixed(2));
        if (reader.Ok()) {
            records[code] = data.substr(0, data.find('\0'));
        }
    }
    return records;
}

} // namespace chm
