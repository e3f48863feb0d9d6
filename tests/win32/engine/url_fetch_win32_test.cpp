// FetchUrl and IsNetworkAvailable against the update server stand-ins: the
// normal one serves the test file and the files of its root, the second one
// answers every path with an error page, and nothing listens on the closed port.
#include <gtest/gtest.h>

#include <windows.h>
#include <wininet.h>

#include <string>
#include <vector>

#include "build_config.h"
#include "gui/engine/url_fetch.h"
#include "shared/probe_rules.h"
#include "tests/support/file_access.h"
#include "tests/support/standins_env.h"
#include "tools/standins/standin_ports.h"

namespace {

std::string ServerUrl(int port, const std::string& path) {
    return "http://127.0.0.1:" + std::to_string(port) + path;
}

// The whole body as the library hands it over, for comparison with what was saved.
std::string DownloadAll(const std::string& url) {
    std::string body;
    HINTERNET session =
        ::InternetOpenA("fetch-test", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    if (session == nullptr) {
        return body;
    }
    HINTERNET file = ::InternetOpenUrlA(session, url.c_str(), nullptr, 0, INTERNET_FLAG_RELOAD, 0);
    if (file != nullptr) {
        char buffer[4096];
        DWORD read = 0;
        while (::InternetReadFile(file, buffer, sizeof buffer, &read) && read > 0) {
            body.append(buffer, read);
        }
        ::InternetCloseHandle(file);
    }
    ::InternetCloseHandle(session);
    return body;
}

// A file of the update server's root for the length of one test, and a local
// path to save it to.
class FetchFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(standins_env::UnixStateDir().empty()) << "SULVANTIX_STANDINS_DIR is not set";
        const std::string unique = std::to_string(::GetCurrentProcessId()) + "-" +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name();
        m_served = "fetch-" + unique + ".bin";
        char temp[MAX_PATH] = {};
        ASSERT_NE(::GetTempPathA(MAX_PATH, temp), 0u);
        m_local = std::string(temp) + "fetch-local-" + unique + ".bin";
        ::DeleteFileA(m_local.c_str());
    }
    void TearDown() override {
        ::DeleteFileA(ServedPath().c_str());
        ::DeleteFileA(m_local.c_str());
    }

    std::string ServedPath() const { return standins_env::StatePath("www/" + m_served); }

    void Serve(const std::string& content) {
        ASSERT_TRUE(WriteWholeFile(ServedPath(), content)) << ServedPath();
    }

    std::string ServedUrl() const { return ServerUrl(standins::kUpdateServerPort, "/" + m_served); }

    std::string m_served;
    std::string m_local;
};

// Bytes of every value, in several 512-byte chunks, with no error token anywhere.
std::string BinaryContent(std::size_t size) {
    std::string content;
    for (std::size_t i = 0; i < size; ++i) {
        content.push_back(static_cast<char>((i * 37 + i / 256) & 0xFF));
    }
    return content;
}

bool HoldsErrorToken(const std::string& content) {
    return probe::IsErrorPageChunk(("x" + content).data(), content.size() + 1);
}

TEST_F(FetchFiles, PlainFileIsSavedByteExact) {
    const std::string content = BinaryContent(3 * 512 + 77);
    ASSERT_FALSE(HoldsErrorToken(content));
    Serve(content);
    EXPECT_EQ(FetchUrl(ServedUrl(), m_local, true), "NO");
    EXPECT_EQ(ReadWholeFile(m_local), content);
}

TEST_F(FetchFiles, WithoutSaveNothingIsWritten) {
    Serve(BinaryContent(700));
    EXPECT_EQ(FetchUrl(ServedUrl(), m_local, false), "NO");
    EXPECT_FALSE(FileExists(m_local));
}

TEST_F(FetchFiles, SavingTruncatesAnOlderLocalFile) {
    WriteWholeFile(m_local, std::string(5000, 'z'));
    Serve("10.0.0.1:8080\r\n");
    EXPECT_EQ(FetchUrl(ServedUrl(), m_local, true), "NO");
    EXPECT_EQ(ReadWholeFile(m_local), "10.0.0.1:8080\r\n");
}

TEST_F(FetchFiles, TestFileFetchesAsNo) {
    EXPECT_EQ(FetchUrl(SULVANTIX_TEST_URL, m_local, true), "NO");
    EXPECT_EQ(ReadWholeFile(m_local), "OK");
}

TEST_F(FetchFiles, ErrorAtTheVeryFirstCharacterIsNotAnErrorPage) {
    const std::string content = "ERROR 10.0.0.1:8080\r\n10.0.0.2:3128\r\n";
    Serve(content);
    EXPECT_EQ(FetchUrl(ServedUrl(), m_local, true), "NO");
    EXPECT_EQ(ReadWholeFile(m_local), content);
}

TEST_F(FetchFiles, ErrorAtTheSecondCharacterIsAnErrorPage) {
    Serve(" ERROR 10.0.0.1:8080\r\n");
    EXPECT_EQ(FetchUrl(ServedUrl(), m_local, true), "YES");
    EXPECT_EQ(FetchUrl(ServedUrl(), m_local, false), "YES");
}

TEST_F(FetchFiles, ListHoldingWasAfterItsFirstCharacterIsAnErrorPage) {
    Serve("10.0.0.1:8080\r\n# this list was updated\r\n10.0.0.2:3128\r\n");
    EXPECT_EQ(FetchUrl(ServedUrl(), m_local, true), "YES");
    // The error chunk is the first one, so nothing reached the file.
    EXPECT_EQ(ReadWholeFile(m_local), "");
}

// Saving stops at the first error chunk: the clean chunks before it stay in
// the file, the error chunk and everything after it do not.
TEST_F(FetchFiles, SavingStopsAtTheErrorChunk) {
    std::string content = BinaryContent(2 * 512);
    std::string errorChunk(512, '-');
    errorChunk.replace(100, 3, "was");
    content += errorChunk + BinaryContent(512);
    Serve(content);
    EXPECT_EQ(FetchUrl(ServedUrl(), m_local, true), "YES");
    EXPECT_EQ(ReadWholeFile(m_local), content.substr(0, 2 * 512));
}

// A token that is the first byte of a later chunk does not count either.
TEST_F(FetchFiles, TokenAtAChunksFirstByteDoesNotCount) {
    std::string content = BinaryContent(512) + "was" + std::string(300, '.');
    ASSERT_FALSE(HoldsErrorToken(content.substr(0, 512)));
    Serve(content);
    EXPECT_EQ(FetchUrl(ServedUrl(), m_local, true), "NO");
    EXPECT_EQ(ReadWholeFile(m_local), content);
}

TEST_F(FetchFiles, ErrorPageServerGivesYes) {
    const std::string url = ServerUrl(standins::kUpdateServerErrorPagePort, "/test.txt");
    EXPECT_EQ(FetchUrl(url, m_local, false), "YES");
    EXPECT_EQ(FetchUrl(url, m_local, true), "YES");
}

// The long error page looks harmless for its first 512 bytes, so exactly
// that chunk is saved before the fetch stops.
TEST_F(FetchFiles, LongErrorPageKeepsItsHarmlessFirstChunk) {
    const std::string url = ServerUrl(standins::kUpdateServerErrorPagePort, "/Proxylist.txt?long");
    const std::string page = DownloadAll(url);
    ASSERT_GT(page.size(), 2 * probe::kFetchChunkSize);
    ASSERT_FALSE(probe::IsErrorPageChunk(page.data(), probe::kFetchChunkSize));
    EXPECT_EQ(FetchUrl(url, m_local, true), "YES");
    EXPECT_EQ(ReadWholeFile(m_local), page.substr(0, probe::kFetchChunkSize));
    EXPECT_EQ(FetchUrl(url, m_local, false), "YES");
}

// A failure page without any of the error words is still no file: a server's
// 404 (and a proxy's 502) would otherwise become the proxy list.
TEST_F(FetchFiles, AFailureStatusGivesYesAndLeavesNoFile) {
    const std::string url = ServerUrl(standins::kUpdateServerPort, "/no-such-list.txt");
    EXPECT_EQ(FetchUrl(url, m_local, true), "YES");
    EXPECT_FALSE(FileExists(m_local));
    EXPECT_EQ(FetchUrl(url, m_local, false), "YES");
}

TEST_F(FetchFiles, ClosedPortGivesYesAndLeavesNoFile) {
    EXPECT_EQ(FetchUrl(ServerUrl(standins::kClosedPort, "/test.txt"), m_local, true), "YES");
    EXPECT_FALSE(FileExists(m_local));
}

TEST_F(FetchFiles, UnwritableLocalPathGivesYes) {
    Serve("10.0.0.1:8080\r\n");
    EXPECT_EQ(FetchUrl(ServedUrl(), "Z:\\no-such-folder-for-fetch\\sub\\file.txt", true), "YES");
    EXPECT_EQ(FetchUrl(ServedUrl(), "", true), "YES");
}

TEST_F(FetchFiles, UnparsableUrlGivesYes) {
    EXPECT_EQ(FetchUrl("not a url", m_local, true), "YES");
    EXPECT_FALSE(FileExists(m_local));
}

TEST(FetchRequest, SentWithTheProgramsAgentAndNoCache) {
    const std::size_t before = standins_env::LoggedRequests(standins::kUpdateServerPort).size();
    ASSERT_EQ(FetchUrl(ServerUrl(standins::kUpdateServerPort, "/test.txt?fetch-agent"), "", false),
              "NO");
    bool found = false;
    const auto heads = standins_env::LoggedRequests(standins::kUpdateServerPort);
    for (std::size_t i = before; i < heads.size(); ++i) {
        if (heads[i].empty() || heads[i][0] != "GET /test.txt?fetch-agent HTTP/1.1") {
            continue;
        }
        found = true;
        bool agent = false;
        for (const std::string& line : heads[i]) {
            agent = agent || line == "User-Agent: Sulvantix";
        }
        EXPECT_TRUE(agent);
    }
    EXPECT_TRUE(found);
}

int g_nConnectedStateCalls = 0;
bool g_bConnectedStateAnswer = true;

bool FakeConnectedState() {
    ++g_nConnectedStateCalls;
    return g_bConnectedStateAnswer;
}

class NetworkCheck : public ::testing::Test {
protected:
    void SetUp() override {
        g_nConnectedStateCalls = 0;
        g_bConnectedStateAnswer = true;
    }
};

TEST_F(NetworkCheck, ServerUpDefersToTheConnectedState) {
    const std::string url = ServerUrl(standins::kUpdateServerPort, "/test.txt");
    EXPECT_TRUE(IsNetworkAvailable(url, &FakeConnectedState));
    EXPECT_EQ(g_nConnectedStateCalls, 1);
    g_bConnectedStateAnswer = false;
    EXPECT_FALSE(IsNetworkAvailable(url, &FakeConnectedState));
    EXPECT_EQ(g_nConnectedStateCalls, 2);
}

TEST_F(NetworkCheck, ClosedPortIsOfflineWithoutAskingTheConnectedState) {
    EXPECT_FALSE(
        IsNetworkAvailable(ServerUrl(standins::kClosedPort, "/test.txt"), &FakeConnectedState));
    EXPECT_EQ(g_nConnectedStateCalls, 0);
}

TEST_F(NetworkCheck, ErrorPageIsOfflineWithoutAskingTheConnectedState) {
    EXPECT_FALSE(IsNetworkAvailable(ServerUrl(standins::kUpdateServerErrorPagePort, "/test.txt"),
                                    &FakeConnectedState));
    EXPECT_EQ(g_nConnectedStateCalls, 0);
}

// Wine answers the connected-state query with "connected through a LAN", so
// with the server up the real check says online.
TEST_F(NetworkCheck, ServerUpIsOnlineWithTheRealConnectedState) {
    DWORD flags = 0;
    ASSERT_TRUE(::InternetGetConnectedState(&flags, 0)) << "the library itself reports offline";
    EXPECT_TRUE(IsNetworkAvailable(ServerUrl(standins::kUpdateServerPort, "/test.txt")));
    EXPECT_FALSE(IsNetworkAvailable(ServerUrl(standins::kClosedPort, "/test.txt")));
}

TEST_F(NetworkCheck, DefaultUsesTheBuildsTestUrl) {
    DWORD flags = 0;
    const bool connected = ::InternetGetConnectedState(&flags, 0) != FALSE;
    const std::size_t before = standins_env::LoggedRequests(standins::kUpdateServerPort).size();
    EXPECT_EQ(IsNetworkAvailable(), connected);
    bool fetchedTestFile = false;
    const auto heads = standins_env::LoggedRequests(standins::kUpdateServerPort);
    for (std::size_t i = before; i < heads.size(); ++i) {
        fetchedTestFile =
            fetchedTestFile || (!heads[i].empty() && heads[i][0] == "GET /test.txt HTTP/1.1");
    }
    EXPECT_TRUE(fetchedTestFile);
}

} // namespace
