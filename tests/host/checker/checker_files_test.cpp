#include "checker/checker_files.h"

#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using Entries = std::vector<std::string>;

TEST(CheckerFiles, OwnDirectoryEndsInItsBackslash) {
    EXPECT_EQ(DirectoryOfModulePath("C:\\Program Files\\Sulvantix\\Vettor.exe"),
              "C:\\Program Files\\Sulvantix\\");
    EXPECT_EQ(DirectoryOfModulePath("C:\\Vettor.exe"), "C:\\");
    EXPECT_EQ(DirectoryOfModulePath("Vettor.exe"), "");
    EXPECT_EQ(DirectoryOfModulePath(""), "");
}

TEST(CheckerFiles, UnknownDirectoryGivesNoPathRatherThanTheCurrentDirectory) {
    EXPECT_EQ(ListPath("C:\\Sulvantix\\", kLiveListFile), "C:\\Sulvantix\\proxylist.txt");
    EXPECT_EQ(ListPath("C:\\Windows\\system32", kLiveListFile),
              "C:\\Windows\\system32\\proxylist.txt");
    EXPECT_EQ(ListPath("", kLiveListFile), "");
}

TEST(CheckerFiles, LoadsDownloadedListThenUserListKeepingDuplicates) {
    CScratchDir dir;
    const std::string vettorList =
        dir.Write(kVettorListFile, " 1.2.3.4:80 \r\n\r\n5.6.7.8:3128\n1.2.3.4:80\n\t\n");
    const std::string userList = dir.Write(kUserProxyFile, "9.9.9.9:8080\r\n1.2.3.4:80");
    Entries entries;
    LoadRunEntries(vettorList, userList, entries);
    EXPECT_EQ(entries,
              (Entries{"1.2.3.4:80", "5.6.7.8:3128", "1.2.3.4:80", "9.9.9.9:8080", "1.2.3.4:80"}));
}

TEST(CheckerFiles, MissingInputFileIsSkipped) {
    CScratchDir dir;
    const std::string userList = dir.Write(kUserProxyFile, "9.9.9.9:8080\n");
    Entries entries;
    LoadRunEntries(dir.File(kVettorListFile), userList, entries);
    EXPECT_EQ(entries, Entries{"9.9.9.9:8080"});

    Entries none;
    LoadRunEntries(dir.File("absent-a.txt"), dir.File("absent-b.txt"), none);
    EXPECT_TRUE(none.empty());
}
