// Captures the OutputDebugStringA texts of one process the way debug-output
// viewers do: through the named mapping "DBWIN_BUFFER" (the writer's process
// id, then the text) and the events "DBWIN_BUFFER_READY" (set by the viewer
// when the buffer is free) and "DBWIN_DATA_READY" (set by the writer). The
// objects are session-wide, so tests that capture share the ctest resource
// lock "dbwin".
#pragma once

#include <windows.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class CDebugOutputCapture {
public:
    // Every process's texts, for one whose id is not known before it traces.
    static constexpr DWORD kAnyProcess = 0;

    explicit CDebugOutputCapture(DWORD processId = ::GetCurrentProcessId());
    ~CDebugOutputCapture();
    CDebugOutputCapture(const CDebugOutputCapture&) = delete;
    CDebugOutputCapture& operator=(const CDebugOutputCapture&) = delete;

    // False when the objects could not be made or another viewer holds them.
    bool IsListening() const { return m_bListening; }

    // Returns once every text this process traced before the call has been
    // captured (a marker is traced and waited for). False on time-out.
    bool Sync(DWORD timeoutMs = 10000);

    // The captured texts of the process, in the order they were traced.
    std::vector<std::string> Texts() const;
    void Clear();

    // Holds the debug-output buffer after the first text of the process equal
    // to `text`: the process's next trace, from any of its threads, then waits
    // inside OutputDebugStringA until ReleaseHold (or the writer's own 10 s
    // time-out). Lets a test stop a thread at a known trace.
    void HoldAfter(const std::string& text);
    // True once the held text has been captured.
    bool IsHolding() const;
    void ReleaseHold();

private:
    void Listen();

    const DWORD m_processId;
    HANDLE m_hBuffer = nullptr;
    HANDLE m_hBufferReady = nullptr;
    HANDLE m_hDataReady = nullptr;
    HANDLE m_hStop = nullptr;
    HANDLE m_hRelease = nullptr;
    const char* m_pView = nullptr;
    bool m_bListening = false;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<std::string> m_texts;
    unsigned m_nSyncCounter = 0;
    std::vector<std::string> m_seenMarkers;
    std::string m_strHoldAfter;
    bool m_bHolding = false;
    std::thread m_listener;
};
