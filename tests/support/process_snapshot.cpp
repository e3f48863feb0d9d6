#include "tests/support/process_snapshot.h"

#include "framework/handle.h"

std::vector<DWORD> ProcessIds(const std::function<bool(const PROCESSENTRY32&)>& match) {
    std::vector<DWORD> ids;
    const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) {
        return ids;
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot.Get(), &entry); more;
         more = ::Process32Next(snapshot.Get(), &entry)) {
        if (match(entry)) {
            ids.push_back(entry.th32ProcessID);
        }
    }
    return ids;
}

unsigned ThreadCount(DWORD processId) {
    const UniqueHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0));
    if (!snapshot) {
        return 0;
    }
    unsigned count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Thread32First(snapshot.Get(), &entry); more;
         more = ::Thread32Next(snapshot.Get(), &entry)) {
        count += entry.th32OwnerProcessID == processId ? 1 : 0;
    }
    return count;
}
