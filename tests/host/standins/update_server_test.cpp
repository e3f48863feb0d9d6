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
        port_ = 18080 + FindFreeOffset({18080});
        ASSERT_NE(port_, 18080);
        root_ = dir_.path() + "/www";
        std::filesystem::create_directories(root_ + "/sub");
        ASSERT_TRUE(WriteFile(root_ + "/Proxylist.txt", "127.0.0.1:18100\r\n127.0.0.1:18104\r\n"));
        ASSERT_TRUE(WriteFile(root_ + "/sub/nested.txt", "nested"));
        ASSERT_TRUE(WriteFile(dir_.path() + "/outside.txt", "secret"));
    }

    // The state folder is left to its default, the root's parent.
    void Start(const std::string& mode) {
        ASSERT_TRUE(server_.Start({STANDINS_UPDATE_SERVER, "--port", std::to_string(port_),
                                   "--root", root_, "--mode", mode, "--lifetime-seconds", "60"},
                                  dir_.path() + "/server.out"));
        if (mode != "down") {
            ASSERT_TRUE(WaitUntilAccepting(port_, 10000)) << ReadFile(dir_.path() + "/server.out");
        }
    }

    std::optional<Reply> Get(const std::string& target) { return Fetch(port_, GetRequest(target)); }
    std::string ModeFile() const { return ModeFilePath(dir_.path(), port_); }

    ScratchDir dir_;
    std::string root_;
    ChildProcess server_;
    int port_ = 0;
};

TEST_F(UpdateServer, ServesTheTestFileWithoutLineEnd) {
    Start("ok");
    const std::optional<Reply> reply = Get("/test.txt");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->head.status, 200);
    EXPECT_EQ(reply->body, "OK");
    EXPECT_EQ(*FindHeader(reply->head.headers, "Content-Length"), "2");
}

TEST_F(UpdateServer, ServesFilesOfItsRootByteForByte) {
    Start("ok");
    const std::optional<Reply> list = Get("/Proxylist.txt");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->head.status, 200);
    EXPECT_EQ(list->body, "127.0.0.1:18100\r\n127.0.0.1:18104\r\n");
    const std::optional<Reply> nested =
        Get("http://127.0.0.1:" + std::to_string(port_) + "/sub/nested.txt");
    ASSERT_TRUE(nested);
    EXPECT_EQ(nested->body, "nested");
}

TEST_F(UpdateServer, MissingFilesAndEscapesAreNotFound) {
    Start("ok");
    for (const char* target : {"/missing.txt", "/../outside.txt", "/sub", "/sub/"}) {
        const std::optional<Reply> reply = Get(target);
        ASSERT_TRUE(reply) << target;
        EXPECT_EQ(reply->head.status, 404) << target;
        EXPECT_EQ(reply->body.find("secret"), std::string::npos);
    }
}

TEST_F(UpdateServer, OnlyGetAndHeadAreServed) {
    Start("ok");
    const std::optional<Reply> post =
        Fetch(port_, "POST /test.txt HTTP/1.1\r\nHost: a\r\nContent-Length: 3\r\n\r\nabc");
    ASSERT_TRUE(post);
    EXPECT_EQ(post->head.status, 405);
    Client client;
    ASSERT_TRUE(client.Connect(port_));
    ASSERT_TRUE(
        client.Send("HEAD /Proxylist.txt HTTP/1.1\r\nHost: a\r\nConnection: close\r\n\r\n"));
    const std::optional<std::string> all = client.ReadToEnd();
    ASSERT_TRUE(all);
    EXPECT_NE(all->find("Content-Length: 34\r\n"), std::string::npos);
    EXPECT_EQ(all->substr(all->size() - 4), "\r\n\r\n");
}

TEST_F(UpdateServer, ErrorModeAnswersEveryPathWithAnErrorPage) {
    Start("error");
    const std::optional<Reply> test = Get("/test.txt");
    ASSERT_TRUE(test);
    EXPECT_EQ(test->head.status, 200);
    EXPECT_EQ(test->body, ShortErrorPage());
    const std::optional<Reply> list = Get("/Proxylist.txt");
    ASSERT_TRUE(list);
    EXPECT_EQ(list->head.status, 200);
    EXPECT_EQ(list->body, LongErrorPage());
    const std::optional<Reply> missing = Get("/missing");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->head.status, 200);
}

TEST_F(UpdateServer, ModeFileFlipsTheLiveServer) {
    Start("ok");
    Client kept;
    ASSERT_TRUE(kept.Connect(port_));
    ASSERT_TRUE(kept.Send(GetRequest("/test.txt")));
    ASSERT_TRUE(kept.Read());
    EXPECT_EQ(kept.Read(0), std::nullopt);

    ASSERT_TRUE(WriteFile(ModeFile(), "error\n"));
    ASSERT_TRUE(kept.Send(GetRequest("/Proxylist.txt")));
    const std::optional<Reply> error_page = kept.Read();
    ASSERT_TRUE(error_page);
    EXPECT_EQ(error_page->body, LongErrorPage()) << "a kept connection sees the new mode at once";

    ASSERT_TRUE(WriteFile(ModeFile(), "down"));
    EXPECT_TRUE(WaitUntilRefused(port_, 2000));
    EXPECT_TRUE(kept.ReadToEnd(2000)) << "down closes kept connections too";

    ASSERT_EQ(std::remove(ModeFile().c_str()), 0);
    ASSERT_TRUE(WaitUntilAccepting(port_, 2000));
    const std::optional<Reply> back = Get("/test.txt");
    ASSERT_TRUE(back);
    EXPECT_EQ(back->body, "OK");
}

TEST_F(UpdateServer, DownFromTheStartListensOnlyOnceTheModeChanges) {
    Start("down");
    EXPECT_TRUE(WaitUntilRefused(port_, 1000));
    ASSERT_TRUE(WriteFile(ModeFile(), "ok"));
    ASSERT_TRUE(WaitUntilAccepting(port_, 2000));
    const std::optional<Reply> reply = Get("/test.txt");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->body, "OK");
}

TEST_F(UpdateServer, UnknownModeFileTextLeavesTheCommandLineMode) {
    Start("ok");
    ASSERT_TRUE(WriteFile(ModeFile(), "sideways"));
    const std::optional<Reply> reply = Get("/test.txt");
    ASSERT_TRUE(reply);
    EXPECT_EQ(reply->body, "OK");
}

TEST_F(UpdateServer, RecordsEveryRequest) {
    Start("ok");
    ASSERT_TRUE(Get("/test.txt"));
    ASSERT_TRUE(Fetch(port_, GetRequest("/Proxylist.txt", {"User-Agent: Sulvantix"})));
    const std::string log = ReadFile(dir_.path() + "/requests-" + std::to_string(port_) + ".log");
    EXPECT_EQ(log, "GET /test.txt HTTP/1.1\nHost: 127.0.0.1\n\n"
                   "GET /Proxylist.txt HTTP/1.1\nHost: 127.0.0.1\nUser-Agent: Sulvantix\n\n");
}

TEST_F(UpdateServer, EndsOnSigtermAndWhenItsLifetimeIsOver) {
    Start("ok");
    Client kept;
    ASSERT_TRUE(kept.Connect(port_));
    ASSERT_TRUE(kept.Send(GetRequest("/test.txt")));
    ASSERT_TRUE(kept.Read());
    ASSERT_TRUE(server_.Signal(SIGTERM));
    EXPECT_EQ(server_.WaitExit(4000), 0);

    ChildProcess brief;
    ASSERT_TRUE(brief.Start({STANDINS_UPDATE_SERVER, "--port", std::to_string(port_), "--root",
                             root_, "--lifetime-seconds", "1"},
                            dir_.path() + "/brief.out"));
    EXPECT_EQ(brief.WaitExit(5000), 0);
    EXPECT_NE(ReadFile(dir_.path() + "/brief.out").find("lifetime over"), std::string::npos);
}

} // namespace
} // namespace standins::testing
