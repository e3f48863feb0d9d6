// The launch-request record: where each field goes, what is left alone, and
// that nothing is written when the record or the path does not fit.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shared/launch_request.h"

namespace {

using launch_request::kArgumentOffset;
using launch_request::kRecordSize;

// A record whose every byte holds old text, as a block used before would.
std::vector<unsigned char> OldRecord(std::size_t size = kRecordSize) {
    std::vector<unsigned char> record(size);
    for (std::size_t i = 0; i < size; ++i) {
        record[i] = static_cast<unsigned char>('a' + i % 26);
    }
    return record;
}

std::string FieldText(const std::vector<unsigned char>& record, std::size_t offset) {
    return std::string(reinterpret_cast<const char*>(record.data() + offset));
}

TEST(LaunchRecordWrite, PutsThePathAtOffsetZeroAndAnEmptyArgumentOverOldText) {
    auto record = OldRecord();
    const std::string path = "C:\\Program Files\\Sulvantix\\Vettor.exe";
    ASSERT_TRUE(launch_request::WriteRecord(record.data(), record.size(), path));
    EXPECT_EQ(FieldText(record, 0), path);
    EXPECT_EQ(record[path.size()], 0);
    EXPECT_EQ(record[kArgumentOffset], 0);
    EXPECT_EQ(FieldText(record, kArgumentOffset), "");
}

TEST(LaunchRecordWrite, LeavesEveryOtherByteAsItWas) {
    const auto before = OldRecord();
    auto record = before;
    const std::string path = "C:\\V.exe";
    ASSERT_TRUE(launch_request::WriteRecord(record.data(), record.size(), path));
    for (std::size_t i = path.size() + 1; i < kRecordSize; ++i) {
        if (i != kArgumentOffset) {
            EXPECT_EQ(record[i], before[i]) << "byte " << i;
        }
    }
}

TEST(LaunchRecordWrite, ALongestPathEndsRightBeforeTheArgumentField) {
    auto record = OldRecord();
    const std::string path(launch_request::kMaxPathLength, 'p');
    ASSERT_TRUE(launch_request::WriteRecord(record.data(), record.size(), path));
    EXPECT_EQ(record[kArgumentOffset - 1], 0);
    EXPECT_EQ(record[kArgumentOffset], 0);
    EXPECT_EQ(FieldText(record, 0), path);
}

TEST(LaunchRecordWrite, RefusesAPathThatWouldBeCutOrIsNoPath) {
    const auto before = OldRecord();
    const std::vector<std::string> refused = {
        std::string(launch_request::kMaxPathLength + 1, 'p'),
        std::string(600, 'p'),
        std::string(),
        std::string("C:\\a\0b.exe", 10),
    };
    for (const auto& path : refused) {
        auto record = before;
        EXPECT_FALSE(launch_request::WriteRecord(record.data(), record.size(), path))
            << path.size();
        EXPECT_EQ(record, before) << "written for a path of " << path.size() << " bytes";
    }
}

TEST(LaunchRecordWrite, RefusesAMissingOrShortRecord) {
    EXPECT_FALSE(launch_request::WriteRecord(nullptr, kRecordSize, "C:\\V.exe"));
    const auto before = OldRecord(kRecordSize - 1);
    auto record = before;
    EXPECT_FALSE(launch_request::WriteRecord(record.data(), record.size(), "C:\\V.exe"));
    EXPECT_EQ(record, before);
}

} // namespace
