// The decision on one request, over a stand-in of the system: hostile text is
// refused before any file is opened, the file decides which program it is,
// only a start takes the rate slot, and a loop of requests on a scaled clock
// starts at most one Vettor per period.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "service/request_gate.h"
#include "shared/launch_request.h"

namespace {

using launch_request::kArgumentOffset;
using launch_request::kRecordSize;

const char kInstalled[] = "C:\\Program Files\\Sulvantix\\Vettor.exe";

class CFakeSystem : public IRequestSystem {
public:
    const std::string& InstalledPath() const override { return m_strInstalled; }
    FileMatch MatchInstalled(const std::string& programPath) override {
        m_opened.push_back(programPath);
        return m_match;
    }
    SessionState ActiveSession() override {
        ++m_nSessionQueries;
        return m_session;
    }

    std::string m_strInstalled = kInstalled;
    FileMatch m_match = FileMatch::Installed;
    SessionState m_session = SessionState::Free;
    std::vector<std::string> m_opened;
    int m_nSessionQueries = 0;
};

std::vector<unsigned char> Record(const std::string& path, const std::string& arguments = "") {
    std::vector<unsigned char> record(kRecordSize, 0);
    std::copy(path.begin(), path.end(), record.begin());
    std::copy(arguments.begin(), arguments.end(),
              record.begin() + static_cast<std::ptrdiff_t>(kArgumentOffset));
    return record;
}

Refusal Decide(CRequestGate& gate, const std::vector<unsigned char>& record, std::uint64_t nowMs,
               CFakeSystem& system) {
    return gate.Decide(record.data(), record.size(), nowMs, system);
}

TEST(RequestGate, HostileTextNeverReachesTheFileSystem) {
    CRequestGate gate;
    CFakeSystem system;
    std::vector<unsigned char> unterminated(kRecordSize, 'A');
    const std::vector<std::pair<std::vector<unsigned char>, Refusal>> cases = {
        {Record(kInstalled, "-x"), Refusal::ArgumentNotEmpty},
        {Record("Vettor.exe"), Refusal::NotFullPath},
        {Record("\\\\evil\\share\\Vettor.exe"), Refusal::UncPath},
        {Record("\\\\.\\COM1"), Refusal::DevicePath},
        {Record("C:\\svc\\CON"), Refusal::DevicePath},
        {Record(""), Refusal::PathEmpty},
        {unterminated, Refusal::PathUnterminated},
        // Any other program, or a link to one, is refused before it is opened.
        {Record("C:\\elsewhere\\Vettor.exe"), Refusal::NotInstalledVettor},
        {Record("C:\\Program Files\\Sulvantix\\Vettor.exe2"), Refusal::NotInstalledVettor},
        {Record("C:\\Program Files\\Sulvantix\\Vettor.ex"), Refusal::NotInstalledVettor},
        {Record("C:\\PROGRA~1\\Sulvantix\\Vettor.exe"), Refusal::NotInstalledVettor},
    };
    for (const auto& [record, reason] : cases) {
        EXPECT_EQ(Decide(gate, record, 5000, system), reason) << RefusalText(reason);
    }
    EXPECT_TRUE(system.m_opened.empty());
    EXPECT_EQ(system.m_nSessionQueries, 0);

    // Its own path in another case of ASCII letters is opened and judged by
    // the file; without an installed path nothing is.
    EXPECT_EQ(Decide(gate, Record("c:\\PROGRAM FILES\\sulvantix\\VETTOR.EXE"), 5000, system),
              Refusal::None);
    EXPECT_EQ(system.m_opened.size(), 1u);
    system.m_strInstalled.clear();
    EXPECT_EQ(Decide(gate, Record(kInstalled), 50000, system), Refusal::InstalledVettorMissing);
    EXPECT_EQ(system.m_opened.size(), 1u);
}

TEST(RequestGate, TheFileThenTheSessionDecideAndARefusalLeavesTheSlotFree) {
    CRequestGate gate;
    CFakeSystem system;
    const std::pair<FileMatch, Refusal> cases[] = {
        {FileMatch::OtherFile, Refusal::NotInstalledVettor},
        {FileMatch::CannotOpen, Refusal::CannotOpen},
        {FileMatch::InstalledMissing, Refusal::InstalledVettorMissing},
    };
    for (const auto& [match, reason] : cases) {
        system.m_match = match;
        EXPECT_EQ(Decide(gate, Record(kInstalled), 5000, system), reason);
    }
    EXPECT_EQ(system.m_nSessionQueries, 0);
    system.m_match = FileMatch::Installed;
    system.m_session = SessionState::VettorRunning;
    EXPECT_EQ(Decide(gate, Record(kInstalled), 5000, system), Refusal::AlreadyRunning);
    system.m_session = SessionState::NoSession;
    EXPECT_EQ(Decide(gate, Record(kInstalled), 5000, system), Refusal::NoActiveSession);
    system.m_session = SessionState::Free;
    // None of them took the slot: a good request at the same moment starts,
    // judged on the file the path names.
    system.m_opened.clear();
    EXPECT_EQ(Decide(gate, Record(kInstalled), 5000, system), Refusal::None);
    EXPECT_EQ(system.m_opened, std::vector<std::string>{kInstalled});
}

TEST(RequestGate, OneStartPerTenSecondsAndOnlyAStartTakesTheSlot) {
    CRequestGate gate;
    CFakeSystem system;
    EXPECT_EQ(Decide(gate, Record(kInstalled), 1000, system), Refusal::None);
    EXPECT_EQ(Decide(gate, Record(kInstalled), 1001, system), Refusal::RateLimited);
    EXPECT_EQ(Decide(gate, Record(kInstalled), 10999, system), Refusal::RateLimited);
    // The refusals did not move the window: ten seconds after the start.
    EXPECT_EQ(Decide(gate, Record(kInstalled), 11000, system), Refusal::None);
    EXPECT_EQ(Decide(gate, Record(kInstalled), 20999, system), Refusal::RateLimited);
    // A clock that went back finds the slot shut.
    EXPECT_EQ(Decide(gate, Record(kInstalled), 500, system), Refusal::RateLimited);
}

TEST(RequestGate, ALoopOfRequestsOnAScaledClockStartsOncePerPeriod) {
    // One tick stands for 100 ms: a period of 100 ticks is the ten seconds.
    CRequestGate gate(100);
    CFakeSystem system;
    std::vector<std::uint64_t> startTicks;
    for (std::uint64_t tick = 0; tick < 1000; ++tick) {
        for (int burst = 0; burst < 3; ++burst) {
            if (Decide(gate, Record(kInstalled), tick, system) == Refusal::None) {
                startTicks.push_back(tick);
            }
        }
    }
    EXPECT_EQ(startTicks,
              (std::vector<std::uint64_t>{0, 100, 200, 300, 400, 500, 600, 700, 800, 900}));
}

TEST(RequestGate, RandomGarbageIsRefusedOnItsTextAlone) {
    CRequestGate gate;
    CFakeSystem system; // would take any path for the installed one
    std::mt19937 random(20240611);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> printable(0x20, 0x7E);
    for (int i = 0; i < 4000; ++i) {
        std::vector<unsigned char> record(kRecordSize);
        for (unsigned char& b : record) {
            b = static_cast<unsigned char>(i % 2 == 0 ? byte(random) : printable(random));
        }
        // Some of them terminated early, as a short text would be.
        if (i % 4 == 1) {
            record[static_cast<std::size_t>(i % 200)] = 0;
            record[kArgumentOffset + static_cast<std::size_t>(i % 7)] = 0;
        }
        EXPECT_NE(Decide(gate, record, static_cast<std::uint64_t>(i) * 20000, system),
                  Refusal::None)
            << "record " << i;
    }
    EXPECT_TRUE(system.m_opened.empty());
}

} // namespace
