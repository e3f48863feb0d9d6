#include "gui/app/single_instance_data.h"

#include <cstring>

namespace {

// Holds the slot's mutex for one access. An abandoned mutex (a holder ended
// mid-copy) is still ours; the reader bounds the text, so a torn one is safe.
class CSlotLock {
public:
    explicit CSlotLock(HANDLE mutex) : m_hMutex(mutex) {
        if (mutex != nullptr) {
            const DWORD result = ::WaitForSingleObject(mutex, INFINITE);
            m_bHeld = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
        }
    }
    ~CSlotLock() {
        if (m_bHeld) {
            ::ReleaseMutex(m_hMutex);
        }
    }
    CSlotLock(const CSlotLock&) = delete;
    CSlotLock& operator=(const CSlotLock&) = delete;

    bool IsHeld() const { return m_bHeld; }

private:
    HANDLE m_hMutex;
    bool m_bHeld = false;
};

} // namespace

CSingleInstanceData::CSingleInstanceData(const std::string& identifier) {
    try {
        m_hMutex.Reset(
            ::CreateMutexA(nullptr, FALSE, (identifier + "-Data-Mapping-Mutex").c_str()));

        const std::string mappingName = identifier + "-Data-Mapping-File";
        HANDLE mapping = ::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                              kSlotSize, mappingName.c_str());
        const DWORD error = ::GetLastError();
        m_hMapping.Reset(mapping);
        if (m_hMapping && error == ERROR_ALREADY_EXISTS) {
            // Someone else's mapping: reopened with only the access the slot
            // needs. The new handle is taken before the old one is closed, so
            // the object cannot vanish in between.
            m_hMapping.Reset(::OpenFileMappingA(FILE_MAP_WRITE, FALSE, mappingName.c_str()));
        }
        if (m_hMapping) {
            m_view.Reset(::MapViewOfFile(m_hMapping.Get(), FILE_MAP_WRITE, 0, 0, kSlotSize));
        }
        CSlotLock lock(m_hMutex.Get());
        if (m_view && lock.IsHeld()) {
            std::memset(m_view.Get(), 0, kSlotSize);
        }
    } catch (...) {
        // Only the name texts can throw; the guard then decides on its event alone.
        m_view.Reset();
    }
}

CSingleInstanceData::~CSingleInstanceData() = default;

void CSingleInstanceData::SetValue(const char* text) {
    if (text == nullptr || !m_view) {
        return;
    }
    CSlotLock lock(m_hMutex.Get());
    const std::size_t length = ::strnlen(text, kSlotSize);
    if (lock.IsHeld() && length < kSlotSize) {
        std::memcpy(m_view.Get(), text, length + 1);
    }
}

std::string CSingleInstanceData::GetValue() const {
    try {
        if (!m_view) {
            return std::string();
        }
        CSlotLock lock(m_hMutex.Get());
        if (!lock.IsHeld()) {
            return std::string();
        }
        // Bounded: another process may have left the slot without a zero.
        const char* slot = static_cast<const char*>(m_view.Get());
        return std::string(slot, ::strnlen(slot, kSlotSize - 1));
    } catch (...) {
        return std::string();
    }
}
