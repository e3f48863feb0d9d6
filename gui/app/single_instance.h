// Only one copy of the program per logon. The first instance claims a named
// event and keeps a thread waiting on it; a later start finds the event, puts
// its command line in a small shared slot, pulses the event and ends. The
// first instance's thread then calls WakeUp, which by default brings the main
// window to the foreground.
//
// Meant as the second base of the application class. Names carry no "Global\"
// prefix, so the guard works per logon.
#pragma once

#include <windows.h>

#include <memory>

class CSingleInstanceImpl;

class CSingleInstance {
public:
    CSingleInstance();
    virtual ~CSingleInstance();
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // TRUE when this process is the first with the identifier (its wait thread
    // then runs). FALSE in a later instance, which has woken the first, and
    // also when the guard's event cannot be made or the inner object is
    // missing. The named objects are the identifier followed by "-Event",
    // "-Data-Mapping-File" and "-Data-Mapping-Mutex".
    BOOL Create(const char* identifier);

    // Called on the guard's wait thread with the command line a later start
    // handed over ("" when there was none to read). The default brings the
    // application's main window forward: SetForegroundWindow's answer, or 0
    // when there is no main window with a handle yet.
    virtual BOOL WakeUp(const char* commandLine);

    // Stops the wait thread and releases the named objects now; the destructor
    // does it otherwise. A class that overrides WakeUp calls it first in its
    // own destructor, so no WakeUp runs on a half-destroyed object. Not from
    // WakeUp itself. Create answers FALSE afterwards.
    void Close();

private:
    std::unique_ptr<CSingleInstanceImpl> m_pImpl;
};
