// scripts/standins run for real, on shifted ports, with this build's tools.
#include "tests/host/standins/standin_harness.h"
#include "tools/standins/standin_ports.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace standins::testing {
namespace {

std::vector<int> AllPorts() {
    std::vector<int> ports = {kUpdateServerPort, kUpdateServerErrorPagePort, kUpdateServerTlsPort,
                              kFarmRelayNoConnectPort};
    for (int p = kFarmFirstPort; p <= kFarmLastPort; ++p) {
        ports.push_back(p);
    }
    return ports;
}

// Running, not merely a zombie: stand-ins outlive the script that started
// them, and whoever inherits them may be slow to reap.
bool Alive(pid_t pid) {
    if (pid <= 0) {
        return false;
    }
    const std::string stat = ReadFile("/proc/" + std::to_string(pid) + "/stat");
    const std::size_t paren = stat.rfind(')');
    return paren != std::string::npos && paren + 2 < stat.size() && stat[paren + 2] != 'Z' &&
           stat[paren + 2] != 'X';
}

pid_t PidFrom(const std::string& file) {
    const std::string text = ReadFile(file);
    return text.empty() ? -1 : static_cast<pid_t>(std::atol(text.c_str()));
}

class StandinsScript : public ::testing::Test {
protected:
    void SetUp() override {
        m_nOffset = FindFreeOffset(AllPorts());
        ASSERT_NE(m_nOffset, 0);
        m_strState = m_dir.Path() + "/state";
        setenv("SULVANTIX_STANDINS_PORT_OFFSET", std::to_string(m_nOffset).c_str(), 1);
        setenv("SULVANTIX_STANDINS_LIFETIME", "120", 1);
    }

    void TearDown() override {
        Run({"stop", m_strState});
        unsetenv("SULVANTIX_STANDINS_PORT_OFFSET");
        unsetenv("SULVANTIX_STANDINS_LIFETIME");
    }

    // Exit status of the script, its output in m_strOutput.
    std::optional<int> Run(const std::vector<std::string>& args) {
        std::vector<std::string> argv = {"/bin/bash", STANDINS_SCRIPT};
        argv.insert(argv.end(), args.begin(), args.end());
        CChildProcess script;
        const std::string out = m_dir.Path() + "/script.out";
        if (!script.Start(argv, out)) {
            return std::nullopt;
        }
        const std::optional<int> status = script.WaitExit(30000);
        m_strOutput = ReadFile(out);
        return status;
    }

    std::optional<int> StartAll() { return Run({"start", m_strState, STANDINS_TOOLS_DIR}); }

    std::vector<pid_t> Pids() {
        return {PidFrom(m_strState + "/proxy_farm.pid"),
                PidFrom(m_strState + "/update_server-" +
                        std::to_string(kUpdateServerPort + m_nOffset) + ".pid"),
                PidFrom(m_strState + "/update_server-" +
                        std::to_string(kUpdateServerErrorPagePort + m_nOffset) + ".pid")};
    }

    int Port(int fixed) const { return fixed + m_nOffset; }
    std::string ModeFile() const {
        return m_strState + "/mode-" + std::to_string(Port(kUpdateServerPort));
    }

    CScratchDir m_dir;
    std::string m_strState;
    std::string m_strOutput;
    int m_nOffset = 0;
};

TEST_F(StandinsScript, StartLeavesEveryPortAcceptingAndServing) {
    ASSERT_EQ(StartAll(), 0) << m_strOutput;
    for (int port : AllPorts()) {
        EXPECT_TRUE(WaitUntilAccepting(Port(port), 500)) << port;
    }
    for (pid_t pid : Pids()) {
        EXPECT_TRUE(Alive(pid)) << pid;
    }
    const std::optional<CReply> ok = Fetch(Port(kUpdateServerPort), GetRequest("/test.txt"));
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->m_strBody, "OK");
    const std::optional<CReply> error =
        Fetch(Port(kUpdateServerErrorPagePort), GetRequest("/test.txt"));
    ASSERT_TRUE(error);
    EXPECT_NE(error->m_strBody.find("The following error was encountered"), std::string::npos);
    const std::optional<CReply> list = Fetch(Port(kUpdateServerPort), GetRequest("/Proxylist.txt"));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->m_strBody.rfind("127.0.0.1:" + std::to_string(Port(kFarmOk)) + "\r\n", 0), 0u)
        << list->m_strBody;
}

// The TLS port serves under a certificate of the state folder's test
// authority, which a restart keeps (a prefix that trusts it goes on doing so).
TEST_F(StandinsScript, TlsPortServesUnderTheKeptTestAuthority) {
    ASSERT_EQ(StartAll(), 0) << m_strOutput;
    const std::string authority = ReadFile(m_strState + "/tls/ca.der");
    ASSERT_FALSE(authority.empty());
    ASSERT_EQ(StartAll(), 0) << m_strOutput;
    EXPECT_EQ(ReadFile(m_strState + "/tls/ca.der"), authority);
    const std::optional<std::string> reply =
        TlsExchange(Port(kUpdateServerTlsPort), m_strState + "/tls/ca.pem",
                    GetRequest("/test.txt", {"Connection: close"}));
    ASSERT_TRUE(reply) << "no TLS exchange the authority vouches for";
    EXPECT_EQ(reply->rfind("HTTP/1.1 200 ", 0), 0u) << *reply;
    EXPECT_EQ(reply->substr(reply->size() - 4), "\r\nOK") << *reply;
    EXPECT_NE(
        ReadFile(m_strState + "/requests-" + std::to_string(Port(kUpdateServerTlsPort)) + ".log")
            .find("GET /test.txt HTTP/1.1"),
        std::string::npos);
    // A client that does not know the authority gets no exchange.
    EXPECT_FALSE(TlsExchange(Port(kUpdateServerTlsPort), m_strState + "/tls/server.pem",
                             GetRequest("/test.txt", {"Connection: close"})));
}

TEST_F(StandinsScript, DefaultListIsKeptWhenPresent) {
    std::filesystem::create_directories(m_strState + "/www");
    ASSERT_TRUE(WriteFile(m_strState + "/www/Proxylist.txt", "10.0.0.1:3128\n"));
    ASSERT_EQ(StartAll(), 0) << m_strOutput;
    EXPECT_EQ(ReadFile(m_strState + "/www/Proxylist.txt"), "10.0.0.1:3128\n");
}

TEST_F(StandinsScript, StartReplacesStaleStandinsAndClearsTheirState) {
    ASSERT_EQ(StartAll(), 0) << m_strOutput;
    const std::vector<pid_t> first = Pids();
    ASSERT_TRUE(Fetch(Port(kFarmOk), GetRequest("http://127.0.0.1/")));
    ASSERT_TRUE(WriteFile(ModeFile(), "down"));
    ASSERT_EQ(StartAll(), 0) << m_strOutput;
    for (pid_t pid : first) {
        EXPECT_FALSE(Alive(pid)) << pid;
    }
    for (pid_t pid : Pids()) {
        EXPECT_TRUE(Alive(pid)) << pid;
    }
    EXPECT_FALSE(std::filesystem::exists(ModeFile()));
    EXPECT_FALSE(std::filesystem::exists(m_strState + "/requests-" + std::to_string(Port(kFarmOk)) +
                                         ".log"));
}

TEST_F(StandinsScript, StopEndsThemAndIsQuietWhenNothingRuns) {
    ASSERT_EQ(StartAll(), 0) << m_strOutput;
    const std::vector<pid_t> pids = Pids();
    ASSERT_EQ(Run({"stop", m_strState}), 0) << m_strOutput;
    for (pid_t pid : pids) {
        EXPECT_FALSE(Alive(pid)) << pid;
    }
    EXPECT_FALSE(std::filesystem::exists(m_strState + "/proxy_farm.pid"));
    EXPECT_TRUE(WaitUntilRefused(Port(kFarmOk), 1000));
    EXPECT_EQ(Run({"stop", m_strState}), 0) << m_strOutput;
    EXPECT_EQ(Run({"stop", m_dir.Path() + "/never-made"}), 0) << m_strOutput;
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path() + "/never-made"));
}

TEST_F(StandinsScript, PidFileOfAnotherProgramIsNotObeyed) {
    CChildProcess bystander;
    ASSERT_TRUE(bystander.Start({"/bin/sleep", "30"}, m_dir.Path() + "/sleep.out"));
    std::filesystem::create_directories(m_strState);
    ASSERT_TRUE(WriteFile(m_strState + "/proxy_farm.pid", std::to_string(bystander.Pid()) + "\n"));
    EXPECT_EQ(Run({"stop", m_strState}), 0) << m_strOutput;
    EXPECT_TRUE(bystander.Running());
    EXPECT_FALSE(std::filesystem::exists(m_strState + "/proxy_farm.pid"));
}

TEST_F(StandinsScript, TakenPortFailsTheStartClearlyAndLeavesNothingRunning) {
    std::string error;
    const CUniqueFd taken = ListenLoopback(Port(kFarmSilent), error);
    ASSERT_TRUE(taken.IsValid()) << error;
    const std::optional<int> status = StartAll();
    ASSERT_TRUE(status);
    EXPECT_NE(*status, 0);
    EXPECT_NE(m_strOutput.find(std::to_string(Port(kFarmSilent))), std::string::npos)
        << m_strOutput;
    EXPECT_TRUE(WaitUntilRefused(Port(kUpdateServerPort), 4000)) << "no half-started stand-ins";
}

TEST_F(StandinsScript, MissingToolsAreReported) {
    const std::optional<int> status = Run({"start", m_strState, m_dir.Path() + "/no-tools"});
    ASSERT_TRUE(status);
    EXPECT_NE(*status, 0);
    EXPECT_NE(m_strOutput.find("no proxy_farm"), std::string::npos) << m_strOutput;
}

} // namespace
} // namespace standins::testing
