#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "gui/winhelpers/registry_rules.h"

namespace {

using winhelpers::RedirectToUserHive;

TEST(UserHivePrefix, IdentifierGetsABackslashEmptyStaysEmpty) {
    EXPECT_EQ(winhelpers::UserHivePrefixFor("S-1-5-21-0-0-0-1000"), "S-1-5-21-0-0-0-1000\\");
    EXPECT_EQ(winhelpers::UserHivePrefixFor(""), "");
}

TEST(UserHiveRedirect, CurrentUserGoesUnderTheIdentifier) {
    const auto target = RedirectToUserHive("S-1-5-21-1-2-3-1001\\", true, "Control Panel\\Desktop");
    EXPECT_TRUE(target.toUsers);
    EXPECT_EQ(target.subkey, "S-1-5-21-1-2-3-1001\\Control Panel\\Desktop");
}

TEST(UserHiveRedirect, OtherRootsAndAnUnknownUserStayAsGiven) {
    const auto machine = RedirectToUserHive("S-1-5-18\\", false, "Software\\X");
    EXPECT_FALSE(machine.toUsers);
    EXPECT_EQ(machine.subkey, "Software\\X");
    const auto unknown = RedirectToUserHive("", true, "Control Panel\\Desktop");
    EXPECT_FALSE(unknown.toUsers);
    EXPECT_EQ(unknown.subkey, "Control Panel\\Desktop");
}

TEST(RegistryValueTypes, DwordReadTakesOnlyNonEmptyDwords) {
    EXPECT_TRUE(winhelpers::IsReadableDword(winhelpers::kRegDword, 4));
    EXPECT_FALSE(winhelpers::IsReadableDword(winhelpers::kRegDword, 0));
    for (unsigned long type :
         {winhelpers::kRegSz, winhelpers::kRegExpandSz, winhelpers::kRegBinary, 0ul, 11ul}) {
        EXPECT_FALSE(winhelpers::IsReadableDword(type, 4)) << type;
    }
}

TEST(RegistryValueTypes, StringReadTakesBothStringTypesWithData) {
    EXPECT_TRUE(winhelpers::IsReadableString(winhelpers::kRegSz, 1));
    EXPECT_TRUE(winhelpers::IsReadableString(winhelpers::kRegExpandSz, 300));
    EXPECT_FALSE(winhelpers::IsReadableString(winhelpers::kRegSz, 0));
    EXPECT_FALSE(winhelpers::IsReadableString(winhelpers::kRegBinary, 8));
    EXPECT_FALSE(winhelpers::IsReadableString(winhelpers::kRegDword, 4));
    EXPECT_FALSE(winhelpers::IsReadableString(7ul, 8)); // REG_MULTI_SZ
    // The buffer is one byte longer than the data; that byte must still count.
    EXPECT_FALSE(winhelpers::IsReadableString(winhelpers::kRegSz,
                                              std::numeric_limits<unsigned long>::max()));
}

TEST(RegistryStringBytes, TextEndsAtTheFirstZeroByte) {
    EXPECT_EQ(winhelpers::TextUpToFirstZero({'a', 'b', '\0', 'c', '\0'}), "ab");
    EXPECT_EQ(winhelpers::TextUpToFirstZero({'%', 'P', '%', '\0'}), "%P%");
    EXPECT_EQ(winhelpers::TextUpToFirstZero({'\0', 'x'}), "");
    EXPECT_EQ(winhelpers::TextUpToFirstZero({'n', 'o', 'z'}), "noz");
    EXPECT_EQ(winhelpers::TextUpToFirstZero({}), "");
}

TEST(RegistrySubKeyBuffer, TwiceTheLongestNamePlusThree) {
    EXPECT_EQ(winhelpers::SubKeyNameBufferSize(0), 3ul);
    EXPECT_EQ(winhelpers::SubKeyNameBufferSize(7), 17ul);
    EXPECT_EQ(winhelpers::SubKeyNameBufferSize(255), 513ul);
    // A nonsense length neither wraps around to a tiny buffer nor outgrows a DWORD.
    const unsigned long huge =
        winhelpers::SubKeyNameBufferSize(std::numeric_limits<unsigned long>::max());
    EXPECT_GT(huge, 0xFFFFFFFFul / 2);
    EXPECT_LE(huge, 0xFFFFFFFFul);
}

} // namespace
