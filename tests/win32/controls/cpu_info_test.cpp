// The display metrics against Wine's registry: the Windows name with its
// cache and the "98" rule, and the scaling class from each of the three
// registry sources. The current-user source is read through a user hive of the
// test's own under HKEY_USERS, so Wine's own resolution is never touched; the
// cases that need an empty name cache, or another Windows, run in a child.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "gui/controls/cpu_info.h"
#include "gui/controls/dpi_class_rules.h"
#include "gui/controls/os_version_tag_rules.h"
#include "gui/winhelpers/registry.h"
#include "tests/win32/winhelpers/winhelpers_test_support.h"

namespace {

const char* const kOtherUser = "S-1-5-21-7-7-7-4343";
const char* const kDesktopKey = "Control Panel\\Desktop";
const char* const kDisplaySettingsKey = "Display\\Settings";
const char* const kFontsKey =
    "system\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts";

// The current user's hive is the test's own one under HKEY_USERS while it lives.
class CTestUserHive {
public:
    CTestUserHive()
        : m_saved(g_strUserHivePrefix),
          m_desktop(HKEY_USERS, std::string(kOtherUser) + "\\" + kDesktopKey) {
        g_strUserHivePrefix = std::string(kOtherUser) + "\\";
    }
    ~CTestUserHive() {
        g_strUserHivePrefix = m_saved;
        ::RegDeleteTreeA(HKEY_USERS, kOtherUser);
    }
    CTestUserHive(const CTestUserHive&) = delete;
    CTestUserHive& operator=(const CTestUserHive&) = delete;

    const CScratchKey& Desktop() const { return m_desktop; }

private:
    std::string m_saved;
    CScratchKey m_desktop;
};

winhelpers::OsVersionRecord RunningVersion() {
    OSVERSIONINFOEXA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    winhelpers::OsVersionRecord record;
    if (::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&info))) {
        record.platformId = info.dwPlatformId;
        record.majorVersion = info.dwMajorVersion;
        record.minorVersion = info.dwMinorVersion;
        record.suiteMask = info.wSuiteMask;
        record.productType = info.wProductType;
    }
    return record;
}

DWORD MachineFontsLogPixels() {
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontsKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        const UniqueRegKey owner(key);
        if (::RegQueryValueExA(key, "LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&value),
                               &size) != ERROR_SUCCESS ||
            type != REG_DWORD) {
            value = 0;
        }
    }
    return value;
}

// The running Windows as Wine reports it by default: 6.1, a workstation.
TEST(OsVerTag, NamesTheRunningVersionByTheDisplayTable) {
    const winhelpers::OsVersionRecord record = RunningVersion();
    ASSERT_EQ(record.platformId, winhelpers::kPlatformNt);
    ASSERT_EQ(record.majorVersion, 6u);
    ASSERT_EQ(record.minorVersion, 1u);
    ASSERT_EQ(record.productType, winhelpers::kNtWorkstation);
    EXPECT_EQ(CCPUInfo().GetOSVerTag(), "Windows 7");
}

TEST(OsVerTag, ACachedNameOutlivesTheNinetyEightRule) {
    ASSERT_EQ(CCPUInfo().GetOSVerTag(), "Windows 7");
    const CScopedValue version(HKEY_LOCAL_MACHINE, controls::kCurrentVersionKey,
                               controls::kCurrentVersionValue);
    ASSERT_TRUE(version.SetString("Windows 98"));
    EXPECT_EQ(CCPUInfo().GetOSVerTag(), "Windows 7");
}

TEST(OsVerTag, NinetyEightRuleAnswersFirstAndIsNotCached) {
    if (!IsChildRun()) {
        EXPECT_EQ(RunThisTestInChild(), 0u);
        return;
    }
    // A fresh process: nothing cached yet.
    {
        const CScopedValue version(HKEY_LOCAL_MACHINE, controls::kCurrentVersionKey,
                                   controls::kCurrentVersionValue);
        ASSERT_TRUE(version.SetString("4.10.2222 (Windows 98 SE)"));
        EXPECT_EQ(CCPUInfo().GetOSVerTag(), "Windows 98");
        EXPECT_EQ(CCPUInfo().GetOSVerTag(), "Windows 98");
        ASSERT_TRUE(version.SetString("Windows 2000"));
        EXPECT_EQ(CCPUInfo().GetOSVerTag(), "Windows 7");
        // Now cached: the rule is not consulted any more.
        ASSERT_TRUE(version.SetString("Windows 98"));
        EXPECT_EQ(CCPUInfo().GetOSVerTag(), "Windows 7");
    }
}

// The current user's LogPixels (Windows 7 and 8) through the redirected hive.
struct LogPixelsCase {
    DWORD logPixels;
    unsigned dpiClass;
};

class DpiFromUserDesktop : public ::testing::TestWithParam<LogPixelsCase> {};

TEST_P(DpiFromUserDesktop, ClassOfTheNumber) {
    const CTestUserHive hive;
    ASSERT_TRUE(hive.Desktop().SetDword("LogPixels", GetParam().logPixels));
    CCPUInfo info;
    ASSERT_EQ(info.GetOSVerTag(), "Windows 7");
    EXPECT_EQ(info.GetDpiValue(), GetParam().dpiClass);
}

// The classification itself is tested natively; these show the number arrives.
const LogPixelsCase kLogPixelsCases[] = {{72, 96}, {96, 96}, {144, 120}, {98120, 98120}};

INSTANTIATE_TEST_SUITE_P(Wine, DpiFromUserDesktop, ::testing::ValuesIn(kLogPixelsCases),
                         [](const ::testing::TestParamInfo<LogPixelsCase>& info) {
                             return "LogPixels" + std::to_string(info.param.logPixels);
                         });

TEST(DpiFromUserDesktopValue, MissingOrNotADwordGives96) {
    const CTestUserHive hive;
    CCPUInfo info;
    EXPECT_EQ(info.GetDpiValue(), 96u);
    ASSERT_TRUE(hive.Desktop().SetString("LogPixels", "144"));
    EXPECT_EQ(info.GetDpiValue(), 96u);
    ASSERT_TRUE(hive.Desktop().SetDword("LogPixels", 144));
    EXPECT_EQ(info.GetDpiValue(), 120u);
}

TEST(DpiFromUserDesktopValue, ReadsTheDesktopUsersHiveNotTheProcesss) {
    // With the shell's user known, the value written under our own hive
    // decides; the process's HKCU has no LogPixels here.
    const CTestUserHive hive;
    ASSERT_TRUE(hive.Desktop().SetDword("LogPixels", 144));
    HKEY own = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_READ, &own) == ERROR_SUCCESS) {
        const UniqueRegKey owner(own);
        ASSERT_NE(::RegQueryValueExA(own, "LogPixels", nullptr, nullptr, nullptr, nullptr),
                  ERROR_SUCCESS);
    }
    EXPECT_EQ(CCPUInfo().GetDpiValue(), 120u);
}

// Windows 98 and ME: the DPIPhysicalX text of the current configuration.
void ExpectDisplaySettingsClasses() {
    const CScopedValue physical(HKEY_CURRENT_CONFIG, kDisplaySettingsKey, "DPIPhysicalX");
    // A current-user value that would say otherwise is not looked at.
    const CTestUserHive hive;
    ASSERT_TRUE(hive.Desktop().SetDword("LogPixels", 144));
    CCPUInfo info;
    EXPECT_EQ(info.GetDpiValue(), 96u) << "missing";
    const struct {
        const char* text;
        unsigned dpiClass;
    } cases[] = {{"120", 98120}, {"144", 120},  {"96", 96}, {"72", 96},
                 {"97", 120},    {"0120", 120}, {"", 96}};
    for (const auto& c : cases) {
        ASSERT_TRUE(physical.SetString(c.text));
        EXPECT_EQ(info.GetDpiValue(), c.dpiClass) << '"' << c.text << '"';
    }
}

TEST(DpiFromDisplaySettings, WindowsNinetyEightByTheVersionValue) {
    if (!IsChildRun()) {
        EXPECT_EQ(RunThisTestInChild(), 0u);
        return;
    }
    const CScopedValue version(HKEY_LOCAL_MACHINE, controls::kCurrentVersionKey,
                               controls::kCurrentVersionValue);
    ASSERT_TRUE(version.SetString("Windows 98"));
    ASSERT_EQ(CCPUInfo().GetOSVerTag(), "Windows 98");
    ExpectDisplaySettingsClasses();
}

class DpiUnderWineVersion : public ::testing::TestWithParam<const char*> {};

TEST_P(DpiUnderWineVersion, DisplaySettingsOnNineXAndTheirOwnSourceElsewhere) {
    const std::string wineVersion = GetParam();
    if (!IsChildRun()) {
        EXPECT_EQ(RunThisTestInChild(wineVersion), 0u) << wineVersion;
        return;
    }
    const std::string name = CCPUInfo().GetOSVerTag();
    if (wineVersion == "win98" || wineVersion == "winme") {
        EXPECT_EQ(name, wineVersion == "win98" ? "Windows 98" : "Windows ME");
        ExpectDisplaySettingsClasses();
    } else if (wineVersion == "win8") {
        EXPECT_EQ(name, "Windows 8");
        const CTestUserHive hive;
        ASSERT_TRUE(hive.Desktop().SetDword("LogPixels", 144));
        EXPECT_EQ(CCPUInfo().GetDpiValue(), 120u);
    } else {
        // Vista, XP and servers read the machine's fonts profile, whatever the
        // current user's value says.
        EXPECT_FALSE(name.empty());
        const CTestUserHive hive;
        ASSERT_TRUE(hive.Desktop().SetDword("LogPixels", 144));
        const DWORD machine = MachineFontsLogPixels();
        ASSERT_NE(machine, 0u) << "Wine keeps LogPixels in the fonts profile";
        EXPECT_EQ(CCPUInfo().GetDpiValue(), controls::DpiClassFromNumber(machine));
    }
}

INSTANTIATE_TEST_SUITE_P(Wine, DpiUnderWineVersion,
                         ::testing::Values("win98", "winme", "win8", "vista", "winxp", "win2008"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param);
                         });

} // namespace
