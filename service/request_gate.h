// The decision on one launch request, over plain answers of the system: the
// record's text first (nothing but the installed program's path reaches the
// file system), then the file the path opens, then the start rate, then the
// session. Only a start takes
// the rate slot; a refused request leaves it as it was. Portable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "service/launch_refusal.h"
#include "service/start_rate_limit.h"

// Which file a requested path opened, compared with the installed Vettor.exe.
enum class FileMatch { Installed, OtherFile, CannotOpen, InstalledMissing };
// The session a request's program would start in.
enum class SessionState { NoSession, Free, VettorRunning };

class IRequestSystem {
public:
    virtual ~IRequestSystem() = default;
    // The installed Vettor.exe's full path; empty when it cannot be had.
    virtual const std::string& InstalledPath() const = 0;
    // Opens the path and compares the opened file with the installed one.
    virtual FileMatch MatchInstalled(const std::string& programPath) = 0;
    virtual SessionState ActiveSession() = 0;
};

class CRequestGate {
public:
    explicit CRequestGate(std::uint64_t periodMs = CStartRateLimit::kDefaultPeriodMs)
        : m_rate(periodMs) {}

    // Refusal::None means "start the installed Vettor.exe now"; the slot is
    // taken then, so a start that fails counts too and cannot spin either.
    Refusal Decide(const unsigned char* record, std::size_t recordSize, std::uint64_t nowMs,
                   IRequestSystem& system);

private:
    CStartRateLimit m_rate;
};
