#include "tests/support/process_environment.h"

#include <winternl.h>

#include "framework/handle.h"
#include "tests/support/wide_text.h"

namespace {

// The public declaration ends at the command line; the environment's address
// comes right after it.
struct CParametersHead {
    RTL_USER_PROCESS_PARAMETERS m_public;
    PVOID m_pEnvironment;
};

// The process's parameters, read from its memory; false when they cannot be.
bool ReadParameters(HANDLE process, CParametersHead& parameters) {
    PROCESS_BASIC_INFORMATION basic{};
    ULONG length = 0;
    PEB peb{};
    return process != nullptr &&
           ::NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof basic,
                                       &length) == 0 &&
           ::ReadProcessMemory(process, basic.PebBaseAddress, &peb, sizeof peb, nullptr) &&
           peb.ProcessParameters != nullptr &&
           ::ReadProcessMemory(process, peb.ProcessParameters, &parameters, sizeof parameters,
                               nullptr);
}

UniqueHandle OpenForReading(DWORD processId) {
    return UniqueHandle(
        ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
}

} // namespace

std::string ProcessCommandLine(DWORD processId) {
    const UniqueHandle process = OpenForReading(processId);
    CParametersHead parameters{};
    if (!ReadParameters(process.Get(), parameters)) {
        return std::string();
    }
    const UNICODE_STRING& line = parameters.m_public.CommandLine;
    std::wstring wide(line.Length / sizeof(WCHAR), L'\0');
    if (wide.empty() ||
        !::ReadProcessMemory(process.Get(), line.Buffer, &wide[0], line.Length, nullptr)) {
        return std::string();
    }
    return Narrow(wide);
}

std::vector<std::string> ProcessEnvironment(DWORD processId) {
    const UniqueHandle process = OpenForReading(processId);
    CParametersHead parameters{};
    if (!ReadParameters(process.Get(), parameters) || parameters.m_pEnvironment == nullptr) {
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
