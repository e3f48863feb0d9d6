// The machine's proxy options against Wine's real WinINet: what the program
// asks for (recorded at the seam) and what the library keeps.
//
// Wine 8 keeps less than Windows: flags 3 read back as 2, the bypass list is
// not stored, and the automatic configuration options do not round-trip; its
// refresh answers FALSE. The checks say which side they are on.
#include <gtest/gtest.h>

#include "tests/win32/engine/engine_test_support.h"

namespace {

const CRecordedOption* Find(const std::vector<CRecordedOption>& options, DWORD id) {
    for (const CRecordedOption& o : options) {
        if (o.m_nId == id) {
            return &o;
        }
    }
    return nullptr;
}

TEST(MachineProxySettings, SaveApplyRestoreRoundTripWithNotificationsOnlyAfterApply) {
    CEngineHarness harness;
    ASSERT_TRUE(harness.Ready());
    ASSERT_TRUE(SetMachineProxy(PROXY_TYPE_DIRECT | PROXY_TYPE_PROXY, "user.proxy.example:3128"));
    CRecordingOptions& api = harness.Options();

    CSavedProxyOptions saved;
    ASSERT_TRUE(SaveProxyOptions(api, saved));
    // Seven options in the table's order, the list record of the platform's size.
    const DWORD order[] = {5, 4, 1, 3, 2, 6, 7};
    for (int i = 0; i < kSavedOptionCount; ++i) {
        EXPECT_EQ(saved.m_options[i].dwOption, order[i]) << i;
    }
    EXPECT_EQ(saved.m_list.dwSize, sizeof(INTERNET_PER_CONN_OPTION_LISTA));
    EXPECT_EQ(saved.m_list.pszConnection, nullptr);
    EXPECT_EQ(saved.m_list.dwOptionCount, 7u);
    ASSERT_NE(saved.m_options[4].Value.pszValue, nullptr);
    EXPECT_STREQ(saved.m_options[4].Value.pszValue, "user.proxy.example:3128");

    api.Clear();
    ASSERT_TRUE(ApplyProxy(api, "10.0.0.1", 8080));
    std::vector<CRecordedCall> calls = api.Calls();
    ASSERT_EQ(calls.size(), 3u);
    // Ours: the three options in order, then refresh, then settings changed.
    EXPECT_EQ(calls[0].m_nOption, static_cast<DWORD>(INTERNET_OPTION_PER_CONNECTION_OPTION));
    ASSERT_EQ(calls[0].m_options.size(), 3u);
    EXPECT_EQ(calls[0].m_options[0].m_nId, 2u);
    EXPECT_EQ(calls[0].m_options[0].m_strText, "10.0.0.1:8080");
    EXPECT_EQ(calls[0].m_options[1].m_nId, 1u);
    EXPECT_EQ(calls[0].m_options[1].m_nNumber, 3u);
    EXPECT_EQ(calls[0].m_options[2].m_nId, 3u);
    EXPECT_EQ(calls[0].m_options[2].m_strText, "<local>");
    EXPECT_EQ(calls[1].m_nOption, static_cast<DWORD>(INTERNET_OPTION_REFRESH));
    EXPECT_EQ(calls[2].m_nOption, static_cast<DWORD>(INTERNET_OPTION_SETTINGS_CHANGED));
    // Wine's: the server and the proxy flag are kept.
    CCurrentProxyQuery now = MachineProxy();
    EXPECT_EQ(now.m_strServer, "10.0.0.1:8080");
    EXPECT_NE(now.m_dwFlags & PROXY_TYPE_PROXY, 0u);

    api.Clear();
    ASSERT_TRUE(RestoreProxyOptions(api, saved));
    calls = api.Calls();
    ASSERT_EQ(calls.size(), 1u) << "no notification follows a restore";
    ASSERT_EQ(calls[0].m_options.size(), 7u);
    const CRecordedOption* server = Find(calls[0].m_options, INTERNET_PER_CONN_PROXY_SERVER);
    ASSERT_NE(server, nullptr);
    EXPECT_EQ(server->m_strText, "user.proxy.example:3128");
    now = MachineProxy();
    EXPECT_EQ(now.m_strServer, "user.proxy.example:3128");
    EXPECT_NE(now.m_dwFlags & PROXY_TYPE_PROXY, 0u);
}

TEST(MachineProxySettings, AFailedOrImpossibleApplySendsNothingAfterIt) {
    CEngineHarness harness;
    ASSERT_TRUE(harness.Ready());
    CRecordingOptions& api = harness.Options();
    api.m_failServers.insert("10.0.0.2:80");
    EXPECT_FALSE(ApplyProxy(api, "10.0.0.2", 80));
    ASSERT_EQ(api.Calls().size(), 1u);

    // 259 characters are applied whole; one more cannot be, and is not cut.
    api.Clear();
    const std::string longest(kLongestProxyText - 3, 'a');
    EXPECT_TRUE(ApplyProxy(api, longest, 80));
    EXPECT_EQ(MachineProxy().m_strServer, longest + ":80");
    api.Clear();
    EXPECT_FALSE(ApplyProxy(api, longest + "a", 80));
    EXPECT_TRUE(api.Calls().empty());
}

} // namespace
