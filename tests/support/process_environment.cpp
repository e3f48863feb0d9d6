#include "tests/support/process_environment.h"

#include <winternl.h>

#include "framework/handle.h"

namespace {

// The public declaration ends at the command line; the environment's address
// comes right after it.
struct CParametersHead {
    RTL_USER_PROCESS_PARAMETERS m_public;
    PVOID m_pEnvironment;
};

std::string Narrow(const std::wstring& wide) {
    std::string text;
    for (wchar_t c : wide) {
        text += c < 0x80 ? static_cast<char>(c) : '?';
    }
    return text;
}

} // namespace

std::vector<std::string> ProcessEnvironment(DWORD processId) {
    const UniqueHandle process(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    if (!process || ::NtQueryInformationProcess(process.Get(), ProcessBasicInformation, &basic,
                                                sizeof basic, &length) != 0) {
        return {};
    }
    PEB peb{};
    CParametersHead parameters{};
    if (!::ReadProcessMemory(process.Get(), basic.PebBaseAddress, &peb, sizeof peb, nullptr) ||
        peb.ProcessParameters == nullptr ||
        !::ReadProcessMemory(process.Get(), peb.ProcessParameters, &parameters, sizeof parameters,
                             nullptr) ||
        parameters.m_pEnvironment == nullptr) {
        return {};
    }
    // Read a page at a time up to the empty line that ends the block.
    std::wstring block;
    const auto* at = static_cast<const char*>(parameters.m_pEnvironment);
    for (std::size_t page = 0;
         page < 256 && block.find(std::wstring(2, L'\0')) == std::wstring::npos; ++page) {
        std::wstring piece(2048, L'\0');
        SIZE_T read = 0;
        if (!::ReadProcessMemory(process.Get(), at + page * 4096, &piece[0], 4096, &read) ||
            read == 0) {
            break;
        }
        block.append(piece, 0, read / sizeof(wchar_t));
    }
    std::vector<std::string> lines;
    for (std::size_t start = 0; start < block.size();) {
        const std::size_t end = block.find(L'\0', start);
        if (end == std::wstring::npos || end == start) {
            break;
        }
        lines.push_back(Narrow(block.substr(start, end - start)));
        start = end + 1;
    }
    return lines;
}
