#include "tools/standins/request_log.h"
#include "tools/standins/standin_ports.h"
#include "tools/standins/standin_options.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace standins {
namespace {

TEST(FarmCommandLine, DefaultsOpenTheFixedPorts) {
    CFarmOptions options;
    std::string error;
    ASSERT_TRUE(ParseFarmOptions({}, options, error)) << error;
    EXPECT_EQ(options.m_strStateDir, ".");
    EXPECT_EQ(options.m_nLifetimeSeconds, 1800);
    EXPECT_EQ(options.m_nPortOffset, 0);
    std::vector<CPortBehaviour> plan;
    ASSERT_TRUE(PlanFarmPorts(options, plan, error)) << error;
    EXPECT_EQ(plan.size(), static_cast<std::size_t>(kFarmLastPort - kFarmFirstPort + 1));
}

TEST(FarmCommandLine, EveryFlagInBothSpellings) {
    CFarmOptions options;
    std::string error;
    ASSERT_TRUE(ParseFarmOptions({"--state", "/s", "--port-offset=2000", "--lifetime-seconds", "5",
                                  "--extra", "ok:19000:3", "--extra=late_ok:1:19500:1",
                                  "--pid-file", "/s/p", "--no-fixed-ports"},
                                 options, error))
        << error;
    EXPECT_EQ(options.m_strStateDir, "/s");
    EXPECT_EQ(options.m_nPortOffset, 2000);
    EXPECT_EQ(options.m_nLifetimeSeconds, 5);
    EXPECT_EQ(options.m_strPidFile, "/s/p");
    EXPECT_FALSE(options.m_bFixedPorts);
    std::vector<CPortBehaviour> plan;
    ASSERT_TRUE(PlanFarmPorts(options, plan, error)) << error;
    ASSERT_EQ(plan.size(), 4u);
    EXPECT_EQ(plan[0].m_nPort, 21000);
    EXPECT_EQ(plan[2].m_nPort, 21002);
    EXPECT_EQ(plan[3].m_nPort, 21500);
    EXPECT_EQ(plan[3].m_behaviour, Behaviour::kLateOk);
    EXPECT_EQ(plan[3].m_nDelaySeconds, 1);
}

TEST(FarmCommandLine, BadArgumentsAreRefusedWithAReason) {
    const std::vector<std::vector<std::string>> bad = {
        {"--bogus"},
        {"--state"},
        {"--lifetime-seconds", "0"},
        {"--port-offset", "x"},
        {"--extra", "nope:1:1"},
        {"--no-fixed-ports=1"},
        {"--state", ""},
    };
    for (const auto& args : bad) {
        CFarmOptions options;
        std::string error;
        EXPECT_FALSE(ParseFarmOptions(args, options, error)) << args[0];
        EXPECT_FALSE(error.empty()) << args[0];
    }
}

TEST(FarmPlan, RefusesClashingOrOutOfRangePorts) {
    std::string error;
    std::vector<CPortBehaviour> plan;
    CFarmOptions clash;
    ASSERT_TRUE(ParseFarmOptions({"--extra", "ok:18110:1"}, clash, error));
    EXPECT_FALSE(PlanFarmPorts(clash, plan, error));
    EXPECT_NE(error.find("18110"), std::string::npos);
    CFarmOptions high;
    ASSERT_TRUE(ParseFarmOptions({"--port-offset", "50000"}, high, error));
    EXPECT_FALSE(PlanFarmPorts(high, plan, error));
    CFarmOptions none;
    ASSERT_TRUE(ParseFarmOptions({"--no-fixed-ports"}, none, error));
    EXPECT_FALSE(PlanFarmPorts(none, plan, error));
}

TEST(UpdateServerCommandLine, StateDefaultsToTheRootsParent) {
    CUpdateServerOptions options;
    std::string error;
    ASSERT_TRUE(ParseUpdateServerOptions({"--port", "18080", "--root", "/s/www/"}, options, error))
        << error;
    EXPECT_EQ(options.m_nPort, 18080);
    EXPECT_EQ(options.m_mode, ServerMode::kOk);
    EXPECT_EQ(options.m_strStateDir, "/s");
    ASSERT_TRUE(ParseUpdateServerOptions(
        {"--port=1", "--root=www", "--mode", "error", "--state", "/x", "--lifetime-seconds", "9"},
        options, error))
        << error;
    EXPECT_EQ(options.m_mode, ServerMode::kError);
    EXPECT_EQ(options.m_strStateDir, "/x");
    EXPECT_EQ(options.m_nLifetimeSeconds, 9);
}

TEST(UpdateServerCommandLine, PortAndRootAreRequired) {
    CUpdateServerOptions options;
    std::string error;
    EXPECT_FALSE(ParseUpdateServerOptions({"--root", "/w"}, options, error));
    EXPECT_FALSE(ParseUpdateServerOptions({"--port", "1"}, options, error));
    EXPECT_FALSE(ParseUpdateServerOptions({"--port", "70000", "--root", "/w"}, options, error));
    EXPECT_FALSE(
        ParseUpdateServerOptions({"--port", "1", "--root", "/w", "--mode", "up"}, options, error));
}

TEST(ParentFolder, OfVariousPaths) {
    EXPECT_EQ(ParentDirectory("/a/b/www"), "/a/b");
    EXPECT_EQ(ParentDirectory("/a/b/www//"), "/a/b");
    EXPECT_EQ(ParentDirectory("www"), ".");
    EXPECT_EQ(ParentDirectory("/www"), "/");
}

TEST(LogFormat, OneBlockPerRequestEndedByAnEmptyLine) {
    EXPECT_EQ(RequestLogPath("/s", 18100), "/s/requests-18100.log");
    EXPECT_EQ(RequestLogPath("/s/", 18100), "/s/requests-18100.log");
    EXPECT_EQ(FormatLogBlock({"GET / HTTP/1.1", "Host: a"}), "GET / HTTP/1.1\nHost: a\n\n");
    EXPECT_EQ(FormatLogBlock({}), "\n");
}

std::string Slurp(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(LogFile, BlocksFromManyThreadsStayWhole) {
    const std::string path = "/tmp/standins-log-test-" + std::to_string(getpid()) + ".log";
    std::remove(path.c_str());
    {
        CRequestLog log(path);
        std::vector<std::thread> writers;
        for (int t = 0; t < 4; ++t) {
            writers.emplace_back([&log, t] {
                for (int i = 0; i < 50; ++i) {
                    log.Append(
                        {"GET /" + std::to_string(t) + " HTTP/1.1", "X-N: " + std::to_string(i)});
                }
            });
        }
        for (std::thread& w : writers) {
            w.join();
        }
        // Visible at once, without closing anything.
        const std::string text = Slurp(path);
        std::size_t blocks = 0;
        std::istringstream lines(text);
        std::string line;
        std::vector<std::string> block;
        while (std::getline(lines, line)) {
            if (line.empty()) {
                ASSERT_EQ(block.size(), 2u);
                EXPECT_EQ(block[0].rfind("GET /", 0), 0u);
                EXPECT_EQ(block[1].rfind("X-N: ", 0), 0u);
                block.clear();
                ++blocks;
            } else {
                block.push_back(line);
            }
        }
        EXPECT_EQ(blocks, 200u);
    }
    std::remove(path.c_str());
}

TEST(LogFile, UnwritablePathReportsFailure) {
    CRequestLog log("/nonexistent-folder-for-standins/requests-1.log");
    EXPECT_FALSE(log.Append({"GET / HTTP/1.1"}));
}

} // namespace
} // namespace standins
