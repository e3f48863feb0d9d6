#include <gtest/gtest.h>

#include <string>

#include "gui/winhelpers/process_match_rules.h"

namespace {

using winhelpers::MatchProcessEntry;
using winhelpers::ProcessMatch;

TEST(ProcessMatchNames, CaseIsIgnoredLengthIsNot) {
    EXPECT_TRUE(winhelpers::EqualsIgnoringCase("explorer.exe", "EXPLORER.EXE"));
    EXPECT_TRUE(winhelpers::EqualsIgnoringCase("Explorer.Exe", "explorer.exe"));
    EXPECT_TRUE(winhelpers::EqualsIgnoringCase("", ""));
    EXPECT_FALSE(winhelpers::EqualsIgnoringCase("explorer.exe", "explorer.ex"));
    EXPECT_FALSE(winhelpers::EqualsIgnoringCase("explorer.exe", "explorer.exe "));
    EXPECT_FALSE(winhelpers::EqualsIgnoringCase("explorer.exe", "iexplore.exe"));
    // Only ASCII letters fold: '@' and '`' sit next to 'A' and 'a'.
    EXPECT_FALSE(winhelpers::EqualsIgnoringCase("@", "`"));
    EXPECT_FALSE(winhelpers::EqualsIgnoringCase("[", "{"));
}

TEST(ProcessMatchWalk, FirstMatchEndsTheWalkOutsideWindows2000) {
    for (const char* name : {"", "Windows XP Professional Edition", "Windows Vista",
                             "Windows 2000 Server", "Windows 98"}) {
        EXPECT_EQ(MatchProcessEntry(name, "explorer.exe", "EXPLORER.exe"),
                  ProcessMatch::kOpenAndStop)
            << name;
        EXPECT_EQ(MatchProcessEntry(name, "explorer.exe", "services.exe"), ProcessMatch::kSkip)
            << name;
        EXPECT_EQ(MatchProcessEntry(name, "notepad.exe", "Notepad.EXE"), ProcessMatch::kOpenAndStop)
            << name;
        EXPECT_EQ(MatchProcessEntry(name, "notepad.exe", "explorer.exe"), ProcessMatch::kSkip)
            << name;
    }
}

TEST(ProcessMatchWalk, Windows2000KeepsWalkingAndLooksForTheShell) {
    EXPECT_EQ(MatchProcessEntry("Windows 2000", "explorer.exe", "explorer.exe"),
              ProcessMatch::kOpenAndGoOn);
    EXPECT_EQ(MatchProcessEntry("Windows 2000", "explorer.exe", "Explorer.EXE"),
              ProcessMatch::kOpenAndGoOn);
    EXPECT_EQ(MatchProcessEntry("Windows 2000", "explorer.exe", "winlogon.exe"),
              ProcessMatch::kSkip);
    // The special case compares with the shell's name, not the wanted one.
    EXPECT_EQ(MatchProcessEntry("Windows 2000", "notepad.exe", "explorer.exe"),
              ProcessMatch::kOpenAndGoOn);
    EXPECT_EQ(MatchProcessEntry("Windows 2000", "notepad.exe", "notepad.exe"), ProcessMatch::kSkip);
}

} // namespace
