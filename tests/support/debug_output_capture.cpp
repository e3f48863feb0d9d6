#include "tests/support/debug_output_capture.h"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace {

constexpr DWORD kBufferSize = 4096;
// Texts starting with this byte are the capture's own sync markers.
const char kMarkerPrefix[] = "\x01"
                             "debug-output-capture-sync-";

HANDLE CreateNew(HANDLE h, bool& existed) {
    existed = existed || (h != nullptr && ::GetLastError() == ERROR_ALREADY_EXISTS);
    return h;
}

} // namespace

CDebugOutputCapture::CDebugOutputCapture(DWORD processId) : m_processId(processId) {
    bool existed = false;
    m_hBuffer = CreateNew(::CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                               kBufferSize, "DBWIN_BUFFER"),
                          existed);
    m_hBufferReady =
        CreateNew(::CreateEventA(nullptr, FALSE, FALSE, "DBWIN_BUFFER_READY"), existed);
    m_hDataReady = CreateNew(::CreateEventA(nullptr, FALSE, FALSE, "DBWIN_DATA_READY"), existed);
    m_hStop = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    m_hRelease = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (m_hBuffer != nullptr) {
        m_pView = static_cast<const char*>(::MapViewOfFile(m_hBuffer, FILE_MAP_READ, 0, 0, 0));
    }
    m_bListening = !existed && m_pView != nullptr && m_hBufferReady != nullptr &&
                   m_hDataReady != nullptr && m_hStop != nullptr;
    if (m_bListening) {
        m_listener = std::thread([this] { Listen(); });
    }
}

CDebugOutputCapture::~CDebugOutputCapture() {
    if (m_listener.joinable()) {
        ::SetEvent(m_hStop);
        m_listener.join();
    }
    if (m_pView != nullptr) {
        ::UnmapViewOfFile(m_pView);
    }
    for (HANDLE h : {m_hBuffer, m_hBufferReady, m_hDataReady, m_hStop, m_hRelease}) {
        if (h != nullptr) {
            ::CloseHandle(h);
        }
    }
}

void CDebugOutputCapture::Listen() {
    const HANDLE waits[] = {m_hDataReady, m_hStop};
    for (;;) {
        ::SetEvent(m_hBufferReady);
        if (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
            return;
        }
        DWORD pid = 0;
        std::memcpy(&pid, m_pView, sizeof pid);
        const char* text = m_pView + sizeof pid;
        const std::size_t length = strnlen(text, kBufferSize - sizeof pid);
        if (m_processId != kAnyProcess && pid != m_processId) {
            continue;
        }
        std::string captured(text, length);
        bool hold = false;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (captured.compare(0, sizeof kMarkerPrefix - 1, kMarkerPrefix) == 0) {
                m_seenMarkers.push_back(captured);
            } else {
                m_texts.push_back(captured);
                hold = !m_strHoldAfter.empty() && captured == m_strHoldAfter;
                if (hold) {
                    m_strHoldAfter.clear();
                    m_bHolding = true;
                }
            }
            m_changed.notify_all();
        }
        if (hold) {
            // The buffer stays taken: the next writer waits in OutputDebugStringA.
            const HANDLE released[] = {m_hRelease, m_hStop};
            if (::WaitForMultipleObjects(2, released, FALSE, INFINITE) != WAIT_OBJECT_0) {
                return;
            }
        }
    }
}

void CDebugOutputCapture::HoldAfter(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ::ResetEvent(m_hRelease);
    m_strHoldAfter = text;
    m_bHolding = false;
}

bool CDebugOutputCapture::IsHolding() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_bHolding;
}

void CDebugOutputCapture::ReleaseHold() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bHolding = false;
    }
    ::SetEvent(m_hRelease);
}

bool CDebugOutputCapture::Sync(DWORD timeoutMs) {
    if (!m_bListening) {
        return false;
    }
    std::string marker;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        marker = kMarkerPrefix + std::to_string(++m_nSyncCounter);
    }
    ::OutputDebugStringA(marker.c_str());
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
        return std::find(m_seenMarkers.begin(), m_seenMarkers.end(), marker) != m_seenMarkers.end();
    });
}

std::vector<std::string> CDebugOutputCapture::Texts() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_texts;
}

void CDebugOutputCapture::Clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_texts.clear();
}
