// The system helper against the real API: identifier texts of real SIDs
// (compared with the system's own conversion), the token user, the process
// search and the desktop shell's user, and the version names Wine reports
// when told to be another Windows.
#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include <cstring>
#include <string>
#include <vector>

#include "gui/winhelpers/system_helper.h"
#include "tests/win32/winhelpers/winhelpers_test_support.h"

namespace {

// A SID made by the system, freed once.
class CBuiltSid {
public:
    CBuiltSid(SID_IDENTIFIER_AUTHORITY authority, std::vector<DWORD> subs) {
        DWORD s[8] = {};
        for (std::size_t i = 0; i < subs.size() && i < 8; ++i) {
            s[i] = subs[i];
        }
        ::AllocateAndInitializeSid(&authority, static_cast<BYTE>(subs.size()), s[0], s[1], s[2],
                                   s[3], s[4], s[5], s[6], s[7], &m_sid);
    }
    ~CBuiltSid() {
        if (m_sid != nullptr) {
            ::FreeSid(m_sid);
        }
    }
    CBuiltSid(const CBuiltSid&) = delete;
    CBuiltSid& operator=(const CBuiltSid&) = delete;
    PSID Get() const { return m_sid; }

private:
    PSID m_sid = nullptr;
};

std::string SystemText(PSID sid) {
    char* text = nullptr;
    if (!::ConvertSidToStringSidA(sid, &text)) {
        return "(no text)";
    }
    std::string result(text);
    ::LocalFree(text);
    return result;
}

std::string HelperText(PSID sid) {
    char buffer[256];
    std::memset(buffer, 'Z', sizeof(buffer));
    DWORD length = sizeof(buffer);
    if (!CSystemHelper().SidToText(sid, buffer, &length)) {
        return "(failed)";
    }
    return std::string(buffer, ::strnlen(buffer, sizeof(buffer)));
}

DWORD ProcessIdOf(const UniqueHandle& process) {
    return process ? ::GetProcessId(process.Get()) : 0;
}

std::string OwnExeName() {
    char path[MAX_PATH * 2] = {};
    const DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof(path));
    const std::string full(path, n);
    return full.substr(full.find_last_of("\\/") + 1);
}

SID_IDENTIFIER_AUTHORITY Authority(BYTE a0, BYTE a1, BYTE a2, BYTE a3, BYTE a4, BYTE a5) {
    SID_IDENTIFIER_AUTHORITY a = {{a0, a1, a2, a3, a4, a5}};
    return a;
}

TEST(SidToText, LocalSystemIsS_1_5_18) {
    const CBuiltSid system(SECURITY_NT_AUTHORITY, {SECURITY_LOCAL_SYSTEM_RID});
    ASSERT_NE(system.Get(), nullptr);
    EXPECT_EQ(HelperText(system.Get()), "S-1-5-18");
    EXPECT_EQ(HelperText(system.Get()), SystemText(system.Get()));
}

TEST(SidToText, DecimalAuthoritiesAgreeWithTheSystemConversion) {
    const CBuiltSid user(SECURITY_NT_AUTHORITY, {21, 1004336348, 1177238915, 682003330, 1000});
    const CBuiltSid world(SECURITY_WORLD_SID_AUTHORITY, {SECURITY_WORLD_RID});
    const CBuiltSid big(Authority(0, 0, 0x01, 0x02, 0x03, 0x04), {0xFFFFFFFFu});
    const CBuiltSid none(SECURITY_NT_AUTHORITY, {});
    for (PSID sid : {user.Get(), world.Get(), big.Get(), none.Get()}) {
        ASSERT_NE(sid, nullptr);
        EXPECT_EQ(HelperText(sid), SystemText(sid));
    }
    EXPECT_EQ(HelperText(user.Get()), "S-1-5-21-1004336348-1177238915-682003330-1000");
    EXPECT_EQ(HelperText(big.Get()), "S-1-16909060-4294967295");
}

TEST(SidToText, NonzeroLeadingAuthorityByteGivesTheHexadecimalForm) {
    const CBuiltSid sid(Authority(0, 0x01, 0x02, 0x03, 0x04, 0xAB), {7, 8});
    ASSERT_NE(sid.Get(), nullptr);
    EXPECT_EQ(HelperText(sid.Get()), "S-1-0x0001020304ab-7-8");
}

TEST(SidToText, ShortBufferGivesTheSizeNeededAndInsufficientBuffer) {
    const CBuiltSid sid(SECURITY_NT_AUTHORITY, {21, 1, 2, 3, 500});
    char buffer[10];
    std::memset(buffer, 'Z', sizeof(buffer));
    DWORD length = 10;
    ::SetLastError(0);
    EXPECT_FALSE(CSystemHelper().SidToText(sid.Get(), buffer, &length));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(length, 88u);
    for (char c : buffer) {
        EXPECT_EQ(c, 'Z');
    }
    // The size it asked for is enough.
    std::vector<char> enough(length, 'Z');
    EXPECT_TRUE(CSystemHelper().SidToText(sid.Get(), enough.data(), &length));
    EXPECT_STREQ(enough.data(), "S-1-5-21-1-2-3-500");
}

TEST(SidToText, InvalidIdentifierIsRefusedAndLeavesTheLength) {
    // Revision 2 is no SID.
    alignas(DWORD) BYTE bogus[12] = {2, 1, 0, 0, 0, 0, 0, 5, 18, 0, 0, 0};
    DWORD length = 100;
    char buffer[100] = {};
    EXPECT_FALSE(CSystemHelper().SidToText(bogus, buffer, &length));
    EXPECT_EQ(length, 100u);
    EXPECT_FALSE(CSystemHelper().SidToText(nullptr, buffer, &length));
}

TEST(TokenUserSid, OwnProcessMatchesTheTokenAsTheSystemWritesIt) {
    HANDLE raw = nullptr;
    ASSERT_TRUE(::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw));
    const UniqueHandle token(raw);
    DWORD size = 0;
    ::GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    std::vector<DWORD> info((size + sizeof(DWORD) - 1) / sizeof(DWORD) + 1);
    ASSERT_TRUE(::GetTokenInformation(token.Get(), TokenUser, info.data(),
                                      static_cast<DWORD>(info.size() * sizeof(DWORD)), &size));
    const std::string expected = SystemText(reinterpret_cast<TOKEN_USER*>(info.data())->User.Sid);

    const std::string text = CSystemHelper().GetTokenUserSid(::GetCurrentProcess());
    EXPECT_EQ(text, expected);
    EXPECT_EQ(text.rfind("S-1-", 0), 0u) << text;
}

TEST(TokenUserSid, NoProcessGivesEmpty) {
    EXPECT_EQ(CSystemHelper().GetTokenUserSid(nullptr), "");
}

TEST(FindProcess, FindsThisProgramByNameInAnyCase) {
    const std::string own = OwnExeName();
    const UniqueHandle self = CSystemHelper().FindProcess(own);
    ASSERT_TRUE(self);
    EXPECT_EQ(ProcessIdOf(self), ::GetCurrentProcessId());
    std::string upper = own;
    for (char& c : upper) {
        c = static_cast<char>(::toupper(static_cast<unsigned char>(c)));
    }
    EXPECT_EQ(ProcessIdOf(CSystemHelper().FindProcess(upper)), ::GetCurrentProcessId());
}

TEST(FindProcess, UnknownNameGivesNone) {
    EXPECT_FALSE(CSystemHelper().FindProcess("no-such-program-here.exe"));
    EXPECT_FALSE(CSystemHelper().FindProcess(""));
}

TEST(ExplorerUserSid, IsTheDesktopShellsUserWhichIsOurs) {
    ASSERT_TRUE(DesktopShellRuns());
    const UniqueHandle explorer = CSystemHelper().FindProcess("explorer.exe");
    ASSERT_TRUE(explorer);
    EXPECT_EQ(ProcessIdOf(explorer), SnapshotPids("explorer.exe").front());

    const std::string sid = CSystemHelper().GetExplorerUserSid();
    EXPECT_FALSE(sid.empty());
    EXPECT_EQ(sid, CSystemHelper().GetTokenUserSid(explorer.Get()));
    // Wine runs everything as one user: the shell's is the test's own.
    EXPECT_EQ(sid, CSystemHelper().GetTokenUserSid(::GetCurrentProcess()));
}

// The names as this helper's table gives them, for what Wine reports when it
// is told to be that Windows.
struct VersionCase {
    const char* wineVersion;
    const char* name;
};

class SystemHelperUnderVersion : public ::testing::TestWithParam<VersionCase> {};

TEST_P(SystemHelperUnderVersion, NamesTheVersion) {
    if (!IsChildRun()) {
        ASSERT_TRUE(IsWine());
        EXPECT_EQ(RunThisTestInChild(GetParam().wineVersion), 0u) << GetParam().wineVersion;
        return;
    }
    EXPECT_EQ(CSystemHelper().GetOSVersionName(), GetParam().name);
}

const VersionCase kVersionCases[] = {
    {"win95", "Windows 95"},
    {"win98", "Windows 98"},
    {"winme", "Windows ME"},
    {"nt40", "Windows NT 4.0"},
    {"win2k", "Windows 2000"},
    {"winxp", "Windows XP Professional Edition"},
    {"win2003", "Windows .Net Server"},
    {"vista", "Windows Vista"},
    // A 6.x server other than 6.2 counts as a 2000 server.
    {"win2008", "Windows 2000 Server"},
    // After Vista this table knows no workstation. Wine 8 reports 6.1 as a
    // workstation under "win2008r2"; its "win7" says server.
    {"win2008r2", ""},
    {"win8", ""},
};

INSTANTIATE_TEST_SUITE_P(Wine, SystemHelperUnderVersion, ::testing::ValuesIn(kVersionCases),
                         [](const ::testing::TestParamInfo<VersionCase>& info) {
                             return std::string(info.param.wineVersion);
                         });

TEST(FindProcessOnWindows2000, TakesTheShellWhateverTheName) {
    if (!IsChildRun()) {
        ASSERT_TRUE(DesktopShellRuns());
        EXPECT_EQ(RunThisTestInChild("win2k"), 0u);
        return;
    }
    ASSERT_EQ(CSystemHelper().GetOSVersionName(), "Windows 2000");
    const std::vector<DWORD> shells = SnapshotPids("explorer.exe");
    ASSERT_FALSE(shells.empty());
    // The last shell of the walk, even when another program was asked for.
    EXPECT_EQ(ProcessIdOf(CSystemHelper().FindProcess("explorer.exe")), shells.back());
    EXPECT_EQ(ProcessIdOf(CSystemHelper().FindProcess(OwnExeName())), shells.back());
    EXPECT_EQ(CSystemHelper().GetExplorerUserSid(),
              CSystemHelper().GetTokenUserSid(::GetCurrentProcess()));
}

} // namespace
