// The registry wrapper against Wine's registry: the desktop user's hive
// prefix, the redirection of HKEY_CURRENT_USER to HKEY_USERS, which value
// types each read takes, and the subkey list. Every key it writes is private
// to the test and removed again.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "gui/winhelpers/registry.h"
#include "gui/winhelpers/system_helper.h"
#include "tests/win32/winhelpers/winhelpers_test_support.h"

namespace {

const char* const kTestKey = "Software\\SulvantixRegistryTest";
// A user hive of our own under HKEY_USERS, so a read that lands there can
// only have been redirected.
const char* const kOtherUser = "S-1-5-21-7-7-7-4242";

// Puts the process-wide prefix back as the test found it.
class CPrefixRestore {
public:
    CPrefixRestore() : m_saved(g_strUserHivePrefix) {}
    ~CPrefixRestore() { g_strUserHivePrefix = m_saved; }
    CPrefixRestore(const CPrefixRestore&) = delete;
    CPrefixRestore& operator=(const CPrefixRestore&) = delete;

private:
    std::string m_saved;
};

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(DesktopShellRuns());
        ASSERT_TRUE(m_key.IsValid());
    }

    CPrefixRestore m_restore;
    CScratchKey m_key{HKEY_CURRENT_USER, kTestKey};
};

TEST_F(RegistryTest, ConstructionFillsThePrefixFromTheDesktopShellsUser) {
    g_strUserHivePrefix.clear();
    const std::string shellUser = CSystemHelper().GetExplorerUserSid();
    ASSERT_FALSE(shellUser.empty());
    const CRegistry registry;
    EXPECT_EQ(g_strUserHivePrefix, shellUser + "\\");
}

TEST_F(RegistryTest, AKnownPrefixIsNeverReplaced) {
    g_strUserHivePrefix = std::string(kOtherUser) + "\\";
    const CRegistry registry;
    EXPECT_EQ(g_strUserHivePrefix, std::string(kOtherUser) + "\\");
}

TEST_F(RegistryTest, CurrentUserReadsAreTheDesktopUsersHive) {
    const CRegistry registry;
    ASSERT_FALSE(g_strUserHivePrefix.empty());
    ASSERT_TRUE(m_key.SetString("Probe", "written under HKCU"));
    // Wine keeps one user: HKEY_USERS\<sid> and HKEY_CURRENT_USER are one key,
    // so the redirected read sees what was written through HKCU.
    std::string text;
    EXPECT_TRUE(registry.ReadString(kTestKey, "Probe", &text, HKEY_CURRENT_USER));
    EXPECT_EQ(text, "written under HKCU");
    EXPECT_TRUE(registry.ReadString(g_strUserHivePrefix + kTestKey, "Probe", &text, HKEY_USERS));
    EXPECT_EQ(text, "written under HKCU");
}

TEST_F(RegistryTest, CurrentUserGoesToHkeyUsersUnderThePrefix) {
    const CScratchKey other(HKEY_USERS, std::string(kOtherUser) + "\\Control Panel\\Desktop");
    ASSERT_TRUE(other.IsValid());
    ASSERT_TRUE(other.SetDword("LogPixels", 144));
    ASSERT_TRUE(other.SetString("Wallpaper", "other user's"));
    ASSERT_TRUE(m_key.SetString("OnlyInTheRealHive", "x"));

    g_strUserHivePrefix = std::string(kOtherUser) + "\\";
    const CRegistry registry;
    DWORD number = 0;
    EXPECT_TRUE(
        registry.ReadDword("Control Panel\\Desktop", "LogPixels", &number, HKEY_CURRENT_USER));
    EXPECT_EQ(number, 144u);
    std::string text;
    EXPECT_TRUE(
        registry.ReadString("Control Panel\\Desktop", "Wallpaper", &text, HKEY_CURRENT_USER));
    EXPECT_EQ(text, "other user's");
    EXPECT_TRUE(registry.KeyExists("Control Panel\\Desktop", HKEY_CURRENT_USER));
    // The process's own HKCU is out of sight now.
    EXPECT_FALSE(registry.KeyExists(kTestKey, HKEY_CURRENT_USER));
    EXPECT_FALSE(registry.ReadString(kTestKey, "OnlyInTheRealHive", &text, HKEY_CURRENT_USER));
}

TEST_F(RegistryTest, WithoutAPrefixCurrentUserIsReadAsIs) {
    const CScratchKey other(HKEY_USERS, std::string(kOtherUser) + "\\" + kTestKey);
    ASSERT_TRUE(other.SetString("Who", "other"));
    ASSERT_TRUE(m_key.SetString("Who", "own"));
    const CRegistry registry;
    g_strUserHivePrefix.clear(); // as while no desktop shell is known
    std::string text;
    EXPECT_TRUE(registry.ReadString(kTestKey, "Who", &text, HKEY_CURRENT_USER));
    EXPECT_EQ(text, "own");
}

TEST_F(RegistryTest, OtherRootsAreNotRedirected) {
    const CScratchKey machine(HKEY_LOCAL_MACHINE, kTestKey);
    ASSERT_TRUE(machine.IsValid());
    ASSERT_TRUE(machine.SetDword("Machine", 7));
    g_strUserHivePrefix = std::string(kOtherUser) + "\\";
    const CRegistry registry;
    DWORD number = 0;
    EXPECT_TRUE(registry.ReadDword(kTestKey, "Machine", &number, HKEY_LOCAL_MACHINE));
    EXPECT_EQ(number, 7u);
    EXPECT_TRUE(registry.KeyExists(kOtherUser, HKEY_USERS));
}

TEST_F(RegistryTest, KeyExistsOnlyForKeysThatOpen) {
    const CRegistry registry;
    ASSERT_TRUE(m_key.CreateSubKey("Child"));
    EXPECT_TRUE(registry.KeyExists(kTestKey, HKEY_CURRENT_USER));
    EXPECT_TRUE(registry.KeyExists(std::string(kTestKey) + "\\Child", HKEY_CURRENT_USER));
    EXPECT_FALSE(registry.KeyExists(std::string(kTestKey) + "\\Missing", HKEY_CURRENT_USER));
}

TEST_F(RegistryTest, DwordIsReadAndAMissingValueGivesFalseAndZero) {
    const CRegistry registry;
    ASSERT_TRUE(m_key.SetDword("Number", 0xDEADBEEF));
    DWORD number = 1;
    EXPECT_TRUE(registry.ReadDword(kTestKey, "Number", &number, HKEY_CURRENT_USER));
    EXPECT_EQ(number, 0xDEADBEEFu);
    number = 1;
    EXPECT_FALSE(registry.ReadDword(kTestKey, "Missing", &number, HKEY_CURRENT_USER));
    EXPECT_EQ(number, 0u);
    number = 1;
    EXPECT_FALSE(registry.ReadDword(std::string(kTestKey) + "\\Missing", "Number", &number,
                                    HKEY_CURRENT_USER));
    EXPECT_EQ(number, 0u);
}

TEST_F(RegistryTest, BinaryValuesAreRefusedByBothReads) {
    const CRegistry registry;
    const BYTE bytes[4] = {0x60, 0, 0, 0};
    ASSERT_TRUE(m_key.SetRaw("Binary", REG_BINARY, bytes, sizeof(bytes)));
    DWORD number = 1;
    EXPECT_FALSE(registry.ReadDword(kTestKey, "Binary", &number, HKEY_CURRENT_USER));
    EXPECT_EQ(number, 0u);
    std::string text = "left over";
    EXPECT_FALSE(registry.ReadString(kTestKey, "Binary", &text, HKEY_CURRENT_USER));
    EXPECT_EQ(text, "");
}

TEST_F(RegistryTest, StringsAreNotNumbersAndNumbersAreNotStrings) {
    const CRegistry registry;
    ASSERT_TRUE(m_key.SetString("Text", "96"));
    ASSERT_TRUE(m_key.SetDword("Number", 96));
    DWORD number = 1;
    EXPECT_FALSE(registry.ReadDword(kTestKey, "Text", &number, HKEY_CURRENT_USER));
    std::string text;
    EXPECT_FALSE(registry.ReadString(kTestKey, "Number", &text, HKEY_CURRENT_USER));
}

TEST_F(RegistryTest, DwordStoredWithMoreDataIsRefusedNotOverrun) {
    // RegSetValueEx takes any size for any type; a read of the stored size
    // into a 32-bit output would run past it.
    const CRegistry registry;
    const DWORD eight[2] = {96, 0x12345678};
    ASSERT_TRUE(m_key.SetRaw("Long", REG_DWORD, eight, sizeof(eight)));
    struct {
        DWORD value;
        DWORD guard;
    } out = {1, 0xA5A5A5A5};
    EXPECT_FALSE(registry.ReadDword(kTestKey, "Long", &out.value, HKEY_CURRENT_USER));
    EXPECT_EQ(out.guard, 0xA5A5A5A5u);
}

TEST_F(RegistryTest, ExpandableStringsComeBackUnexpanded) {
    const CRegistry registry;
    ASSERT_TRUE(m_key.SetString("Path", "%SystemRoot%\\system32;%WINDIR%", REG_EXPAND_SZ));
    std::string text;
    EXPECT_TRUE(registry.ReadString(kTestKey, "Path", &text, HKEY_CURRENT_USER));
    EXPECT_EQ(text, "%SystemRoot%\\system32;%WINDIR%");
}

TEST_F(RegistryTest, StringWithoutTerminatorComesBackTerminated) {
    // The ANSI setter adds a terminator under Wine; the wide one is given
    // exactly the characters and no terminator.
    const CRegistry registry;
    const wchar_t bare[] = L"no end here";
    const wchar_t bareExpand[] = L"%TEMP%x";
    ASSERT_EQ(::RegSetValueExW(m_key.Get(), L"Bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(bare),
                               11 * sizeof(WCHAR)),
              ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueExW(m_key.Get(), L"BareExpand", 0, REG_EXPAND_SZ,
                               reinterpret_cast<const BYTE*>(bareExpand), 7 * sizeof(WCHAR)),
              ERROR_SUCCESS);
    // Wine's queries report room for a terminator they add themselves, so
    // what the wrapper's own zero byte guards cannot be seen from here.
    std::string text;
    EXPECT_TRUE(registry.ReadString(kTestKey, "Bare", &text, HKEY_CURRENT_USER));
    EXPECT_EQ(text, "no end here");
    EXPECT_TRUE(registry.ReadString(kTestKey, "BareExpand", &text, HKEY_CURRENT_USER));
    EXPECT_EQ(text, "%TEMP%x");
}

TEST_F(RegistryTest, StringStopsAtItsFirstZeroAndLongStringsFit) {
    const CRegistry registry;
    const char twoParts[] = "first\0second";
    ASSERT_TRUE(m_key.SetRaw("Two", REG_SZ, twoParts, sizeof(twoParts)));
    // Longer than the 260 bytes the size query is preset with.
    const std::string longText(5000, 'w');
    ASSERT_TRUE(m_key.SetString("Long", longText));
    ASSERT_TRUE(m_key.SetString("Empty", ""));
    std::string text;
    EXPECT_TRUE(registry.ReadString(kTestKey, "Two", &text, HKEY_CURRENT_USER));
    EXPECT_EQ(text, "first");
    EXPECT_TRUE(registry.ReadString(kTestKey, "Long", &text, HKEY_CURRENT_USER));
    EXPECT_EQ(text, longText);
    // An empty REG_SZ still holds its terminator, so it reads as empty text.
    text = "left over";
    EXPECT_TRUE(registry.ReadString(kTestKey, "Empty", &text, HKEY_CURRENT_USER));
    EXPECT_EQ(text, "");
}

TEST_F(RegistryTest, ZeroLengthStringIsRefused) {
    const CRegistry registry;
    ASSERT_TRUE(m_key.SetRaw("Nothing", REG_SZ, "", 0));
    std::string text = "left over";
    EXPECT_FALSE(registry.ReadString(kTestKey, "Nothing", &text, HKEY_CURRENT_USER));
    EXPECT_EQ(text, "");
}

TEST_F(RegistryTest, EnumSubKeysAppendsEveryName) {
    const CRegistry registry;
    const std::string longName(200, 'k');
    for (const std::string& name : {std::string("Alpha"), std::string("B"), longName}) {
        ASSERT_TRUE(m_key.CreateSubKey(name));
    }
    std::vector<std::string> names = {"kept"};
    EXPECT_TRUE(registry.EnumSubKeys(kTestKey, &names, HKEY_CURRENT_USER));
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(names[0], "kept");
    std::vector<std::string> found(names.begin() + 1, names.end());
    std::sort(found.begin(), found.end());
    EXPECT_EQ(found, (std::vector<std::string>{"Alpha", "B", longName}));
}

TEST_F(RegistryTest, EnumSubKeysWithoutSubkeysCountsEarlierNames) {
    const CRegistry registry;
    std::vector<std::string> names;
    EXPECT_FALSE(registry.EnumSubKeys(kTestKey, &names, HKEY_CURRENT_USER));
    EXPECT_TRUE(names.empty());
    names = {"earlier"};
    EXPECT_TRUE(registry.EnumSubKeys(kTestKey, &names, HKEY_CURRENT_USER));
    EXPECT_EQ(names, (std::vector<std::string>{"earlier"}));
}

TEST_F(RegistryTest, EnumSubKeysOfAMissingKeyIsFalseEvenWithNames) {
    const CRegistry registry;
    std::vector<std::string> names = {"earlier"};
    EXPECT_FALSE(
        registry.EnumSubKeys(std::string(kTestKey) + "\\Missing", &names, HKEY_CURRENT_USER));
    EXPECT_EQ(names, (std::vector<std::string>{"earlier"}));
}

} // namespace
