#include "service/request_gate.h"

#include "service/program_path_rules.h"
#include "service/request_record_rules.h"

namespace {
Refusal RefusalOf(FileMatch match) {
    switch (match) {
    case FileMatch::Installed:
        return Refusal::None;
    case FileMatch::OtherFile:
        return Refusal::NotInstalledVettor;
    case FileMatch::CannotOpen:
        return Refusal::CannotOpen;
    case FileMatch::InstalledMissing:
        return Refusal::InstalledVettorMissing;
    }
    return Refusal::CannotOpen;
}
} // namespace

Refusal CRequestGate::Decide(const unsigned char* record, std::size_t recordSize,
                             std::uint64_t nowMs, IRequestSystem& system) {
    std::string path;
    if (const Refusal text = CheckRequestRecord(record, recordSize, path); text != Refusal::None) {
        return text;
    }
    if (system.InstalledPath().empty()) {
        return Refusal::InstalledVettorMissing;
    }
    if (!IsInstalledProgramPath(path, system.InstalledPath())) {
        return Refusal::NotInstalledVettor;
    }
    if (const Refusal file = RefusalOf(system.MatchInstalled(path)); file != Refusal::None) {
        return file;
    }
    if (!m_rate.IsOpen(nowMs)) {
        return Refusal::RateLimited;
    }
    switch (system.ActiveSession()) {
    case SessionState::NoSession:
        return Refusal::NoActiveSession;
    case SessionState::VettorRunning:
        return Refusal::AlreadyRunning;
    case SessionState::Free:
        break;
    }
    m_rate.Take(nowMs);
    return Refusal::None;
}
