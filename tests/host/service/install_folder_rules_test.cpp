// Whether anyone but the system's own accounts could change what LocalSystem
// runs from the install folder.
#include <gtest/gtest.h>

#include "service/install_folder_rules.h"

namespace {

using namespace install_folder;

const std::vector<std::string> kSystemAccounts = {kLocalSystemSid, kAdministratorsSid,
                                                  kTrustedInstallerSid};
const char kSomeUser[] = "S-1-5-21-1-2-3-1001";

TEST(InstallFolder, TheSetupsListLetsOnlyTheSystemChangeAndEveryoneUseIt) {
    const CObjectSecurity list = ProtectedFolderSecurity();
    EXPECT_EQ(FindOutsideWriter(list, kSystemAccounts), "");
    // Users read and run what is there, inside too; nothing else of theirs.
    ASSERT_EQ(list.m_entries.size(), 3u);
    EXPECT_EQ(list.m_entries[2].m_strSid, kUsersSid);
    EXPECT_EQ(list.m_entries[2].m_nMask & kChangeRights, 0u);
    for (const CAccessEntry& entry : list.m_entries) {
        EXPECT_TRUE(entry.m_bAllow);
        EXPECT_EQ(entry.m_nFlags, kObjectInherit | kContainerInherit) << entry.m_strSid;
    }
    // Without the administrators among the trusted, their entry is the first
    // found (the owner before it).
    EXPECT_EQ(FindOutsideWriter(list, {kLocalSystemSid}), kAdministratorsSid);
}

TEST(InstallFolder, AnyWayAnOrdinaryAccountCouldChangeTheFolderIsFound) {
    // A folder users may add files to, as C:\ lets them make folders.
    CObjectSecurity open = ProtectedFolderSecurity();
    open.m_entries.push_back({true, 0, 0x2 /* add file */, kUsersSid});
    EXPECT_EQ(FindOutsideWriter(open, kSystemAccounts), kUsersSid);
    // Generic write, delete, rewriting the list: each is enough.
    for (const unsigned long mask : {0x40000000ul, 0x00010000ul, 0x00040000ul, 0x00000040ul}) {
        CObjectSecurity one = ProtectedFolderSecurity();
        one.m_entries.push_back({true, 0, mask, kSomeUser});
        EXPECT_EQ(FindOutsideWriter(one, kSystemAccounts), kSomeUser) << mask;
    }
    // A user who owns it may rewrite its list whatever the list says.
    CObjectSecurity owned = ProtectedFolderSecurity();
    owned.m_strOwner = kSomeUser;
    EXPECT_EQ(FindOutsideWriter(owned, kSystemAccounts), kSomeUser);
    // No list at all (a FAT drive, a null list) lets everyone in.
    CObjectSecurity none = ProtectedFolderSecurity();
    none.m_bHasList = false;
    EXPECT_EQ(FindOutsideWriter(none, kSystemAccounts), "Everyone");
    // An unreadable owner is not taken on trust.
    CObjectSecurity unread = ProtectedFolderSecurity();
    unread.m_strOwner.clear();
    EXPECT_NE(FindOutsideWriter(unread, kSystemAccounts), "");
}

TEST(InstallFolder, EntriesThatDoNotLetAnyoneChangeTheObjectPass) {
    CObjectSecurity list = ProtectedFolderSecurity();
    // For children only (as CREATOR OWNER's), a denial, reading rights.
    list.m_entries.push_back({true, kInheritOnly | kObjectInherit, kFullControl, "S-1-3-0"});
    list.m_entries.push_back({false, 0, kFullControl, kSomeUser});
    list.m_entries.push_back({true, 0, kReadExecute, "S-1-1-0"});
    EXPECT_EQ(FindOutsideWriter(list, kSystemAccounts), "");
    // The service's own account is trusted like the system's (an emulator
    // whose files are all owned by the one user it runs as).
    list.m_strOwner = kSomeUser;
    list.m_entries.push_back({true, 0, kFullControl, kSomeUser});
    std::vector<std::string> withService = kSystemAccounts;
    withService.push_back(kSomeUser);
    EXPECT_EQ(FindOutsideWriter(list, withService), "");
}

} // namespace
