// Process-wide stop request: set by SIGTERM/SIGINT or when the lifetime is
// over; every wait of the stand-ins checks it at least every few hundred ms.
#pragma once

namespace standins {

// SIGTERM and SIGINT request a stop; SIGPIPE is ignored, so a write to a
// socket the peer has closed fails instead of killing the process.
void InstallStopSignals();

bool StopRequested();
void RequestStop();

// Sleeps `ms` milliseconds, waking early for a stop; false when stopped.
bool SleepUnlessStopped(int ms);

// Lifts the open-file limit to its hard maximum; many sockets run at once.
void RaiseOpenFileLimit();

// Writes the process id and a line end to `path` (nothing for an empty path).
bool WritePidFile(const char* path);

} // namespace standins
