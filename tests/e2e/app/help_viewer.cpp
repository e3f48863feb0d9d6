#include "tests/e2e/app/help_viewer.h"

#include <tlhelp32.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>

#include "framework/handle.h"
#include "tests/e2e/app/sulvantix_driver.h"
#include "tests/support/file_access.h"

namespace sx_e2e {

namespace {

constexpr std::uint32_t kChunkSize = 4096;
constexpr std::uint32_t kHeaderLength = 0x60;
constexpr std::uint32_t kHeaderSection0Length = 0x18;
constexpr std::uint32_t kDirectoryHeaderLength = 0x54;
constexpr std::uint32_t kChunkHeaderLength = 0x14;

class CBytes {
public:
    void Raw(const void* data, std::size_t size) {
        const char* bytes = static_cast<const char*>(data);
        m_str.append(bytes, bytes + size);
    }
    void U32(std::uint32_t value) { Raw(&value, sizeof value); }
    void U64(std::uint64_t value) { Raw(&value, sizeof value); }
    void Zeros(std::size_t count) { m_str.append(count, '\0'); }
    void Guid(std::uint32_t a, std::uint16_t b, std::uint16_t c, const std::uint8_t (&d)[8]) {
        Raw(&a, sizeof a);
        Raw(&b, sizeof b);
        Raw(&c, sizeof c);
        Raw(d, sizeof d);
    }
    // The format's variable-length number: seven bits a byte, most significant first.
    void EncInt(std::uint32_t value) {
        std::string bytes(1, static_cast<char>(value & 0x7F));
        while ((value >>= 7) != 0) {
            bytes.insert(bytes.begin(), static_cast<char>(0x80 | (value & 0x7F)));
        }
        m_str += bytes;
    }
    const std::string& Str() const { return m_str; }
    std::size_t Size() const { return m_str.size(); }

private:
    std::string m_str;
};

const std::uint8_t kStorageGuidTail[8] = {0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};
const std::uint8_t kDirectoryGuidTail[8] = {0x9D, 0xF9, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};

} // namespace

bool WriteSmallHelpFile(const std::string& path) {
    // "#SYSTEM": its version and no entries.
    CBytes system;
    system.U32(3);
    const std::string name = "/#SYSTEM";

    CBytes entries;
    entries.EncInt(static_cast<std::uint32_t>(name.size()));
    entries.Raw(name.data(), name.size());
    entries.EncInt(0); // the uncompressed section
    entries.EncInt(0); // offset in it
    entries.EncInt(static_cast<std::uint32_t>(system.Size()));

    CBytes chunk; // the one directory listing chunk
    chunk.Raw("PMGL", 4);
    chunk.U32(kChunkSize - kChunkHeaderLength - static_cast<std::uint32_t>(entries.Size()));
    chunk.U32(0);
    chunk.U32(0xFFFFFFFF); // no previous chunk
    chunk.U32(0xFFFFFFFF); // no next chunk
    chunk.Raw(entries.Str().data(), entries.Size());
    chunk.Zeros(kChunkSize - chunk.Size());

    CBytes directory;
    directory.Raw("ITSP", 4);
    for (std::uint32_t value : {1u, kDirectoryHeaderLength, 0x0Au, kChunkSize, 2u, 1u,
                                0xFFFFFFFFu, // no index chunk: the listing is the root
                                0u, 0xFFFFFFFFu, 1u, 0xFFFFFFFFu, 0x409u}) {
        directory.U32(value);
    }
    directory.Guid(0x5D02926A, 0x212E, 0x11D0, kDirectoryGuidTail);
    directory.Zeros(16);

    const std::uint64_t directoryOffset = kHeaderLength + kHeaderSection0Length;
    const std::uint64_t directoryLength = directory.Size() + chunk.Size();
    CBytes file;
    file.Raw("ITSF", 4);
    for (std::uint32_t value : {3u, kHeaderLength, 1u, 0u, 0x409u}) {
        file.U32(value);
    }
    file.Guid(0x7C01FD10, 0x7BAA, 0x11D0, kStorageGuidTail);
    file.Guid(0x7C01FD11, 0x7BAA, 0x11D0, kStorageGuidTail);
    file.U64(kHeaderLength);
    file.U64(kHeaderSection0Length);
    file.U64(directoryOffset);
    file.U64(directoryLength);
    file.U64(directoryOffset + directoryLength); // the content starts after the directory
    file.U32(0x01FE);
    file.Zeros(kHeaderSection0Length - 4);
    return WriteWholeFile(path, file.Str() + directory.Str() + chunk.Str() + system.Str());
}

std::vector<DWORD> ChildProcesses(DWORD parentId, const char* exeName) {
    std::vector<DWORD> found;
    const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return found;
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot.Get(), &entry); more;
         more = ::Process32Next(snapshot.Get(), &entry)) {
        if (entry.th32ParentProcessID == parentId && ::lstrcmpiA(entry.szExeFile, exeName) == 0) {
            found.push_back(entry.th32ProcessID);
        }
    }
    return found;
}

bool NamesFile(const std::string& commandLine, const std::string& file) {
    const auto lower = [](std::string text) {
        std::transform(text.begin(), text.end(), text.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        return text;
    };
    return lower(commandLine).find(lower(file)) != std::string::npos;
}

void EndChildProcess(DWORD parentId, const char* exeName, DWORD processId) {
    const std::vector<DWORD> children = ChildProcesses(parentId, exeName);
    if (std::find(children.begin(), children.end(), processId) == children.end()) {
        return;
    }
    const UniqueHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, processId));
    if (process) {
        ::TerminateProcess(process.Get(), 1);
        ::WaitForSingleObject(process.Get(), 10000);
    }
}

} // namespace sx_e2e
