// The programs built for an https update server, against the TLS stand-in
// whose test authority only this Wine prefix trusts: Sulvantix's start-up
// update comes over TLS through the user's own proxy in a CONNECT tunnel, and
// Vettor judges a proxy alive only when it carries such a tunnel to the test
// file, so a forwarding proxy that refuses CONNECT is dead here.
#include <windows.h>

#include <algorithm>

#include "checker/checker_files.h"
#include "tests/e2e/app/sulvantix_e2e_fixture.h"
#include "tests/support/checker_process.h"
#include "tests/support/file_access.h"
#include "tests/support/message_pump.h"
#include "tools/standins/standin_ports.h"

namespace sx_e2e {
namespace {

class SulvantixTlsE2e : public SulvantixE2e {
protected:
    std::unique_ptr<CSulvantixInstall> MakeInstall() const override {
        return std::make_unique<CSulvantixInstall>("tls/Sulvantix.exe", "tls/Vettor.exe");
    }
};

std::size_t CountOf(const Lines& texts, const std::string& text) {
    return static_cast<std::size_t>(std::count(texts.begin(), texts.end(), text));
}

TEST_F(SulvantixTlsE2e, ListComesOverTlsAndOnlyTunnellingProxiesAreAlive) {
    const std::string tunnel = Entry(standins::kFarmRelay);
    const std::string noConnect = Entry(standins::kFarmRelayNoConnectPort);
    const std::string forbidden = Entry(standins::kFarmForbidden);
    const std::string served = Serve({noConnect, tunnel, forbidden});
    const std::string connectLine =
        "CONNECT 127.0.0.1:" + std::to_string(standins::kUpdateServerTlsPort) + " ";
    const std::size_t tunnelled = LoggedRequestsWith(standins::kFarmRelay, connectLine);
    const std::size_t overTls =
        LoggedRequestsWith(standins::kUpdateServerTlsPort, "/Proxylist.txt");
    const std::size_t overHttp = LoggedRequestsWith(standins::kUpdateServerPort, "/Proxylist.txt");

    // The user's own proxy is the tunnelling relay (the fixture's setting).
    HWND main = StartProgram(m_app);
    ASSERT_NE(main, nullptr);
    EXPECT_TRUE(NoBoxFor(m_app, 1500));
    EXPECT_EQ(ListItems(main), Sorted({noConnect, tunnel, forbidden}));
    EXPECT_EQ(ReadWholeFile(Install().Path("Vettorlist.txt")), served);
    EXPECT_EQ(ReadWholeFile(SystemFile("Proxylist.txt")), served);
    EXPECT_EQ(LoggedRequestsWith(standins::kUpdateServerTlsPort, "/Proxylist.txt"), overTls + 1);
    EXPECT_GE(LoggedRequestsWith(standins::kFarmRelay, connectLine), tunnelled + 1);
    EXPECT_EQ(LoggedRequestsWith(standins::kUpdateServerPort, "/Proxylist.txt"), overHttp)
        << "nothing goes to the plain server";

    const std::size_t probesOverTls =
        LoggedRequestsWith(standins::kUpdateServerTlsPort, "/test.txt");
    CCheckerProcess checker;
    ASSERT_TRUE(checker.Start(Install().Path("Vettor.exe")));
    // Its run ends with the live list published and the window told, which
    // reloads the list box from it.
    EXPECT_TRUE(PumpMessagesUntil([&] { return ListItems(main) == Lines{tunnel}; }, 60000))
        << "the list box was not reloaded with the one tunnelling proxy";
    EXPECT_EQ(FileLines(Install().Path(kLiveListFile)), Lines{tunnel});
    EXPECT_EQ(Sorted(FileLines(Install().Path(kDeadListFile))), Sorted({noConnect, forbidden}));
    EXPECT_EQ(FileLines(SystemFile("Proxylist.txt")), Lines{tunnel});
    EXPECT_EQ(CountOf(checker.Traces(), "Valid ->" + tunnel), 1u);
    // The refusing proxy was asked for a tunnel, not for the file itself.
    EXPECT_GE(LoggedRequestsWith(standins::kFarmRelayNoConnectPort, connectLine), 1u);
    EXPECT_EQ(LoggedRequestsWith(standins::kFarmRelayNoConnectPort, "/test.txt"), 0u);
    EXPECT_EQ(LoggedRequestsWith(standins::kUpdateServerTlsPort, "/test.txt"), probesOverTls + 1);
    EXPECT_TRUE(checker.Close());
    EXPECT_TRUE(CloseQuietly(m_app, main));
}

} // namespace
} // namespace sx_e2e
