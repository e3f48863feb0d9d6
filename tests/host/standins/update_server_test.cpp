// The update server as a process on a free port.
#include "tests/host/standins/standin_harness.h"
#include "tools/standins/update_pages.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <filesystem>

namespace standins::testing {
namespace {

class UpdateServer : public ::testing::Test {
protected:
    void SetUp() override {
        m_nPort = 18080 + FindFreeOffset({18080});
        ASSERT_NE(m_nPort, 18080);
        m_strRoot = m_dir.Path() + "/www";
        std::filesystem::create_directories(m_strRoot + "/sub");
        ASSERT_TRUE(
            WriteFile(m_strRoot + "/Proxylist.txt", "127.0.0.1:18100\r\n127.0.0.1:18104\r\n"));
        ASSERT_TRUE(WriteFile(m_strRoot + "/sub/nested.txt", "nested"));
        ASSERT_TRUE(WriteFile(m_dir.Path() + "/outside.txt", "secret"));
    }

    // The state folder is left to its default, the root's parent.
    void Start(const std::string& mode) {
        ASSERT_TRUE(
            m_server.Start({STANDINS_UPDATE_SERVER, "--port", std::to_string(m_nPort), "--root",
                            m_strRoot, "--mode", mode, "--lifetime-seconds", "60"},
                           m_dir.Path() + "/server.out"));
        if (mode != "down") {
            ASSERT_TRUE(WaitUntilAccepting(m_nPort, 10000))
                << ReadFile(m_dir.Path() + "/server.out");
        }
    }

    std::optional<CReply> Get(const std::string& target) {
        return Fetch(m_nPort, GetRequest(target));
    }
    std::string ModeFile() const { return ModeFilePath(m_dir.Path(), m_nPort); }

    CScratchDir m_dir;
    std::string m_strRoot;
    CChildProcess m_server;
    int m_nPort = 0;
};

TEST_F(UpdateServer, ServesTheTestFileWithoutLineEnd) {
    Start("ok");
    const std::optional<CReply> reply = Get("/test.txt");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->m_head.m_nStatus, 200);
    EXPECT_EQ(reply->m_strBody, "OK");
    EXPECT_EQ(*FindHeader(reply->m_head.m_headers, "Content-Length"), "2");
}

TEST_F(UpdateServer, ServesFilesOfItsRootByteForByte) {
    Start("ok");
    const std::optional<CReply> list = Get("/Proxylist.txt");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->m_head.m_nStatus, 200);
    EXPECT_EQ(list->m_strBody, "127.0.0.1:18100\r\n127.0.0.1:18104\r\n");
    const std::optional<CReply> nested =
        Get("http://127.0.0.1:" + std::to_string(m_nPort) + "/sub/nested.txt");
    ASSERT_TRUE(nested);
    EXPECT_EQ(nested->m_strBody, "nested");
}

TEST_F(UpdateServer, MissingFilesAndEscapesAreNotFound) {
    Start("ok");
    for (const char* target : {"/missing.txt", "/../outside.txt", "/sub", "/sub/"}) {
        const std::optional<CReply> reply = Get(target);
        ASSERT_TRUE(reply) << target;
        EXPECT_EQ(reply->m_head.m_nStatus, 404) << target;
        EXPECT_EQ(reply->m_strBody.find("secret"), std::string::npos);
    }
}

TEST_F(UpdateServer, OnlyGetAndHeadAreServed) {
    Start("ok");
    const std::optional<CReply> post =
        Fetch(m_nPort, "POST /test.txt HTTP/1.1\r\nHost: a\r\nContent-Length: 3\r\n\r\nabc");
    ASSERT_TRUE(post);
    EXPECT_EQ(post->m_head.m_nStatus, 405);
    CClient client;
    ASSERT_TRUE(client.Connect(m_nPort));
    ASSERT_TRUE(
        client.Send("HEAD /Proxylist.txt HTTP/1.1\r\nHost: a\r\nConnection: close\r\n\r\n"));
    const std::optional<std::string> all = client.ReadToEnd();
    ASSERT_TRUE(all);
    EXPECT_NE(all->find("Content-Length: 34\r\n"), std::string::npos);
    EXPECT_EQ(all->substr(all->size() - 4), "\r\n\r\n");
}

TEST_F(UpdateServer, ErrorModeAnswersEveryPathWithAnErrorPage) {
    Start("error");
    const std::optional<CReply> test = Get("/test.txt");
    ASSERT_TRUE(test);
    EXPECT_EQ(test->m_head.m_nStatus, 200);
    EXPECT_EQ(test->m_strBody, ShortErrorPage());
    const std::optional<CReply> list = Get("/Proxylist.txt");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->m_head.m_nStatus, 200);
    EXPECT_EQ(list->m_strBody, LongErrorPage());
    const std::optional<CReply> missing = Get("/missing");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->m_head.m_nStatus, 200);
}

TEST_F(UpdateServer, ModeFileFlipsTheLiveServer) {
    Start("ok");
    CClient kept;
    ASSERT_TRUE(kept.Connect(m_nPort));
    ASSERT_TRUE(kept.Send(GetRequest("/test.txt")));
    ASSERT_TRUE(kept.Read());
    EXPECT_EQ(kept.Read(0), std::nullopt);

    ASSERT_TRUE(WriteFile(ModeFile(), "error\n"));
    ASSERT_TRUE(kept.Send(GetRequest("/Proxylist.txt")));
    const std::optional<CReply> error_page = kept.Read();
    ASSERT_TRUE(error_page);
    EXPECT_EQ(error_page->m_strBody, LongErrorPage())
        << "a kept connection sees the new mode at once";

    ASSERT_TRUE(WriteFile(ModeFile(), "down"));
    EXPECT_TRUE(WaitUntilRefused(m_nPort, 2000));
    EXPECT_TRUE(kept.ReadToEnd(2000)) << "down closes kept connections too";

    ASSERT_EQ(std::remove(ModeFile().c_str()), 0);
    ASSERT_TRUE(WaitUntilAccepting(m_nPort, 2000));
    const std::optional<CReply> back = Get("/test.txt");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->m_strBody, "OK");
}

TEST_F(UpdateServer, DownFromTheStartListensOnlyOnceTheModeChanges) {
    Start("down");
    EXPECT_TRUE(WaitUntilRefused(m_nPort, 1000));
    ASSERT_TRUE(WriteFile(ModeFile(), "ok"));
    ASSERT_TRUE(WaitUntilAccepting(m_nPort, 2000));
    const std::optional<CReply> reply = Get("/test.txt");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->m_strBody, "OK");
}

TEST_F(UpdateServer, UnknownModeFileTextLeavesTheCommandLineMode) {
    Start("ok");
    ASSERT_TRUE(WriteFile(ModeFile(), "sideways"));
    const std::optional<CReply> reply = Get("/test.txt");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->m_strBody, "OK");
}

TEST_F(UpdateServer, RecordsEveryRequest) {
    Start("ok");
    ASSERT_TRUE(Get("/test.txt"));
    ASSERT_TRUE(Fetch(m_nPort, GetRequest("/Proxylist.txt", {"User-Agent: Sulvantix"})));
    const std::string log =
        ReadFile(m_dir.Path() + "/requests-" + std::to_string(m_nPort) + ".log");
    EXPECT_EQ(log, "GET /test.txt HTTP/1.1\nHost: 127.0.0.1\n\n"
                   "GET /Proxylist.txt HTTP/1.1\nHost: 127.0.0.1\nUser-Agent: Sulvantix\n\n");
}

TEST_F(UpdateServer, EndsOnSigtermAndWhenItsLifetimeIsOver) {
    Start("ok");
    CClient kept;
    ASSERT_TRUE(kept.Connect(m_nPort));
    ASSERT_TRUE(kept.Send(GetRequest("/test.txt")));
    ASSERT_TRUE(kept.Read());
    ASSERT_TRUE(m_server.Signal(SIGTERM));
    EXPECT_EQ(m_server.WaitExit(4000), 0);

    CChildProcess brief;
    ASSERT_TRUE(brief.Start({STANDINS_UPDATE_SERVER, "--port", std::to_string(m_nPort), "--root",
                             m_strRoot, "--lifetime-seconds", "1"},
                            m_dir.Path() + "/brief.out"));
    EXPECT_EQ(brief.WaitExit(5000), 0);
    EXPECT_NE(ReadFile(m_dir.Path() + "/brief.out").find("lifetime over"), std::string::npos);
}

} // namespace
} // namespace standins::testing
