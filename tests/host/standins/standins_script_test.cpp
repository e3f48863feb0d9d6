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
    std::vector<int> ports = {kUpdateServerPort, kUpdateServerErrorPagePort};
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
        offset_ = FindFreeOffset(AllPorts());
        ASSERT_NE(offset_, 0);
        state_ = dir_.path() + "/state";
        setenv("SULVANTIX_STANDINS_PORT_OFFSET", std::to_string(offset_).c_str(), 1);
        setenv("SULVANTIX_STANDINS_LIFETIME", "120", 1);
    }

    void TearDown() override {
        Run({"stop", state_});
        unsetenv("SULVANTIX_STANDINS_PORT_OFFSET");
        unsetenv("SULVANTIX_STANDINS_LIFETIME");
    }

    // Exit status of the script, its output in output_.
    std::optional<int> Run(const std::vector<std::string>& args) {
        std::vector<std::string> argv = {"/bin/bash", STANDINS_SCRIPT};
        argv.insert(argv.end(), args.begin(), args.end());
        ChildProcess script;
        const std::string out = dir_.path() + "/script.out";
        if (!script.Start(argv, out)) {
            return std::nullopt;
        }
        const std::optional<int> status = script.WaitExit(30000);
        output_ = ReadFile(out);
        return status;
    }

    std::optional<int> StartAll() { return Run({"start", state_, STANDINS_TOOLS_DIR}); }

    std::vector<pid_t> Pids() {
        return {PidFrom(state_ + "/proxy_farm.pid"),
                PidFrom(state_ + "/update_server-" + std::to_string(kUpdateServerPort + offset_) +
                        ".pid"),
                PidFrom(state_ + "/update_server-" +
                        std::to_string(kUpdateServerErrorPagePort + offset_) + ".pid")};
    }

    int Port(int fixed) const { return fixed + offset_; }
    std::string ModeFile() const {
        return state_ + "/mode-" + std::to_string(Port(kUpdateServerPort));
    }

    ScratchDir dir_;
    std::string state_;
    std::string output_;
    int offset_ = 0;
};

TEST_F(StandinsScript, StartLeavesEveryPortAcceptingAndServing) {
    ASSERT_EQ(StartAll(), 0) << output_;
    for (int port : AllPorts()) {
        EXPECT_TRUE(WaitUntilAccepting(Port(port), 500)) << port;
    }
    for (pid_t pid : Pids()) {
        EXPECT_TRUE(Alive(pid)) << pid;
    }
    const std::optional<Reply> ok = Fetch(Port(kUpdateServerPort), GetRequest("/test.txt"));
    ASSERT_TRUE(ok);
    EXPECT_EQ(ok->body, "OK");
    const std::optional<Reply> error =
        Fetch(Port(kUpdateServerErrorPagePort), GetRequest("/test.txt"));
    ASSERT_TRUE(error);
    EXPECT_NE(error->body.find("The following error was encountered"), std::string::npos);
    const std::optional<Reply> list = Fetch(Port(kUpdateServerPort), GetRequest("/Proxylist.txt"));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->body.rfind("127.0.0.1:" + std::to_string(Port(kFarmOk)) + "\r\n", 0), 0u)
        << list->body;
}

TEST_F(StandinsScript, DefaultListIsKeptWhenPresent) {
    std::filesystem::create_directories(state_ + "/www");
    ASSERT_TRUE(WriteFile(state_ + "/www/Proxylist.txt", "10.0.0.1:3128\n"));
    ASSERT_EQ(StartAll(), 0) << output_;
    EXPECT_EQ(ReadFile(state_ + "/www/Proxylist.txt"), "10.0.0.1:3128\n");
}

TEST_F(StandinsScript, StartReplacesStaleStandinsAndClearsTheirState) {
    ASSERT_EQ(StartAll(), 0) << output_;
    const std::vector<pid_t> first = Pids();
    ASSERT_TRUE(Fetch(Port(kFarmOk), GetRequest("http://127.0.0.1/")));
    ASSERT_TRUE(WriteFile(ModeFile(), "down"));
    ASSERT_EQ(StartAll(), 0) << output_;
    for (pid_t pid : first) {
        EXPECT_FALSE(Alive(pid)) << pid;
    }
    for (pid_t pid : Pids()) {
        EXPECT_TRUE(Alive(pid)) << pid;
    }
    EXPECT_FALSE(std::filesystem::exists(ModeFile()));
    EXPECT_FALSE(
        std::filesystem::exists(state_ + "/requests-" + std::to_string(Port(kFarmOk)) + ".log"));
}

TEST_F(StandinsScript, StopEndsThemAndIsQuietWhenNothingRuns) {
    ASSERT_EQ(StartAll(), 0) << output_;
    const std::vector<pid_t> pids = Pids();
    ASSERT_EQ(Run({"stop", state_}), 0) << output_;
    for (pid_t pid : pids) {
        EXPECT_FALSE(Alive(pid)) << pid;
    }
    EXPECT_FALSE(std::filesystem::exists(state_ + "/proxy_farm.pid"));
    EXPECT_TRUE(WaitUntilRefused(Port(kFarmOk), 1000));
    EXPECT_EQ(Run({"stop", state_}), 0) << output_;
    EXPECT_EQ(Run({"stop", dir_.path() + "/never-made"}), 0) << output_;
    EXPECT_FALSE(std::filesystem::exists(dir_.path() + "/never-made"));
}

TEST_F(StandinsScript, PidFileOfAnotherProgramIsNotObeyed) {
    ChildProcess bystander;
    ASSERT_TRUE(bystander.Start({"/bin/sleep", "30"}, dir_.path() + "/sleep.out"));
    std::filesystem::create_directories(state_);
    ASSERT_TRUE(WriteFile(state_ + "/proxy_farm.pid", std::to_string(bystander.pid()) + "\n"));
    EXPECT_EQ(Run({"stop", state_}), 0) << output_;
    EXPECT_TRUE(bystander.Running());
    EXPECT_FALSE(std::filesystem::exists(state_ + "/proxy_farm.pid"));
}

TEST_F(StandinsScript, TakenPortFailsTheStartClearlyAndLeavesNothingRunning) {
    std::string error;
    const UniqueFd taken = ListenLoopback(Port(kFarmSilent), error);
    ASSERT_TRUE(taken.valid()) << error;
    const std::optional<int> status = StartAll();
    ASSERT_TRUE(status);
    EXPECT_NE(*status, 0);
    EXPECT_NE(output_.find(std::to_string(Port(kFarmSilent))), std::string::npos) << output_;
    EXPECT_TRUE(WaitUntilRefused(Port(kUpdateServerPort), 4000)) << "no half-started stand-ins";
}

TEST_F(StandinsScript, MissingToolsAreReported) {
    const std::optional<int> status = Run({"start", state_, dir_.path() + "/no-tools"});
    ASSERT_TRUE(status);
    EXPECT_NE(*status, 0);
    EXPECT_NE(output_.find("no proxy_farm"), std::string::npos) << output_;
}

} // namespace
} // namespace standins::testing
