// The session record's file against the real file system under Wine, in a
// scratch folder: write, read back, replace, failed replaces that keep the old
// record, set-aside names that never overwrite, and the default folder.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "shared/session_record_store.h"
#include "tests/support/scratch_dir.h"

namespace {

using ReadResult = CSessionRecordStore::ReadResult;
using Names = std::vector<std::string>;

CSessionRecord Session(const std::string& applied) {
    CSessionRecord record;
    for (const CSessionRecordSlot& slot : kSessionRecordSlots) {
        const bool text = slot.m_bIsText;
        record.m_options.push_back({slot.m_nOption, text, text ? 0 : slot.m_nOption, text,
                                    text ? "<local>;" + applied : ""});
    }
    record.m_strAppliedEntry = applied;
    return record;
}

// The applied entry of the record on disk, or what Read said instead.
std::string Applied(const CSessionRecordStore& store) {
    CSessionRecord record = Session("keep");
    const ReadResult result = store.Read(record);
    if (result != ReadResult::Valid) {
        EXPECT_EQ(record.m_strAppliedEntry, "keep");
    }
    return result == ReadResult::None      ? "(none)"
           : result == ReadResult::Corrupt ? "(corrupt)"
                                           : record.m_strAppliedEntry;
}

Names Listing(const std::string& folder) {
    Names names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SessionRecordStore, WritesIntoAMissingFolderReplacesAndRemoves) {
    CScratchDir scratch;
    const std::string folder = scratch.File("Sulvantix");
    CSessionRecordStore store(folder);
    EXPECT_EQ(store.Path(), folder + "\\SavedProxySettings.dat");
    EXPECT_EQ(Applied(store), "(none)");

    ASSERT_TRUE(store.Write(Session("10.0.0.1:8080")));
    EXPECT_EQ(CScratchDir::Read(store.Path()), FormatSessionRecord(Session("10.0.0.1:8080")));
    ASSERT_TRUE(store.Write(Session("10.0.0.2:3128")));
    EXPECT_EQ(Applied(store), "10.0.0.2:3128");
    EXPECT_EQ(Listing(folder), Names{"SavedProxySettings.dat"});

    EXPECT_TRUE(store.Remove());
    EXPECT_EQ(Applied(store), "(none)");
    EXPECT_TRUE(store.Remove());
    EXPECT_TRUE(Listing(folder).empty());

    CSessionRecordStore nowhere("");
    EXPECT_FALSE(nowhere.Write(Session("10.0.0.1:8080")));
    EXPECT_EQ(Applied(nowhere), "(none)");
}

TEST(SessionRecordStore, AFailedReplaceKeepsTheOldRecordAndLeavesNoTemporary) {
    CScratchDir scratch;
    CSessionRecordStore store(scratch.Path());
    ASSERT_TRUE(store.Write(Session("10.0.0.1:8080")));

    // The temporary's name taken by a folder: the write fails before the move.
    ASSERT_TRUE(::CreateDirectoryA((store.Path() + ".tmp").c_str(), nullptr));
    EXPECT_FALSE(store.Write(Session("10.0.0.2:3128")));
    EXPECT_EQ(Applied(store), "10.0.0.1:8080");
    ASSERT_TRUE(::RemoveDirectoryA((store.Path() + ".tmp").c_str()));

    // The record held open: the move itself fails (Wine: ERROR_ACCESS_DENIED).
    // A read-only record would not do here, Wine replaces it where Windows
    // refuses.
    HANDLE held = ::CreateFileA(store.Path().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(store.Write(Session("10.0.0.3:80")));
    ::CloseHandle(held);
    EXPECT_EQ(Applied(store), "10.0.0.1:8080");
    EXPECT_EQ(Listing(scratch.Path()), Names{"SavedProxySettings.dat"});
}

TEST(SessionRecordStore, SetsCorruptRecordsAsideWithoutOverwritingEarlierOnes) {
    CScratchDir scratch;
    CSessionRecordStore store(scratch.Path());
    const std::string torn = FormatSessionRecord(Session("10.0.0.1:8080")).substr(0, 100);
    Names contents = {torn, "garbage", std::string(100000, 'x')};
    for (const std::string& bytes : contents) {
        scratch.Write("SavedProxySettings.dat", bytes);
        EXPECT_EQ(Applied(store), "(corrupt)");
        ASSERT_TRUE(store.SetAside());
        EXPECT_EQ(Applied(store), "(none)");
    }
    EXPECT_TRUE(store.SetAside());

    // Three within the same second or two: distinct names, each its own bytes.
    Names kept;
    for (const std::string& name : Listing(scratch.Path())) {
        EXPECT_EQ(name.rfind("SavedProxySettings.dat.bad-", 0), 0u) << name;
        EXPECT_EQ(name.size(), std::string("SavedProxySettings.dat.bad-20240101-120000-1").size());
        kept.push_back(CScratchDir::Read(scratch.File(name)));
    }
    std::sort(kept.begin(), kept.end());
    std::sort(contents.begin(), contents.end());
    EXPECT_EQ(kept, contents);
}

TEST(SessionRecordStore, DefaultFolderIsSulvantixBelowLocalApplicationData) {
    char local[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableA("LOCALAPPDATA", local, MAX_PATH), 0u);
    EXPECT_EQ(CSessionRecordStore::DefaultFolder(), std::string(local) + "\\Sulvantix");
}

} // namespace
