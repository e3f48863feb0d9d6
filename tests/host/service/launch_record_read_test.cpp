// Reading the launch-request record: each field must end inside its own 260
// bytes, the reader never looks past a field or the record, and the text
// rules refuse in a fixed order with a fixed trace each.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "service/request_record_rules.h"
#include "shared/launch_request.h"

namespace {

using launch_request::kArgumentOffset;
using launch_request::kRecordSize;
using launch_request::ReadResult;

ReadResult Read(const std::vector<unsigned char>& record, std::string& path) {
    std::string arguments;
    return launch_request::ReadRecord(record.data(), record.size(), path, arguments);
}

TEST(LaunchRecordRead, GivesBackWhatTheWriterWroteUpTo259Bytes) {
    std::vector<unsigned char> record(kRecordSize, 'x');
    const std::string path = "C:\\" + std::string(256, 'p');
    ASSERT_TRUE(launch_request::WriteRecord(record.data(), record.size(), path));
    std::string readPath;
    std::string arguments = "old";
    EXPECT_EQ(launch_request::ReadRecord(record.data(), record.size(), readPath, arguments),
              ReadResult::Ok);
    EXPECT_EQ(readPath, path);
    EXPECT_EQ(arguments, "");
}

TEST(LaunchRecordRead, AFieldWithoutItsOwnNulIsRefused) {
    // 260 path bytes and a NUL at 260: a reader going by strlen would take a
    // path made of both fields.
    std::vector<unsigned char> record(kRecordSize, 'a');
    record[kArgumentOffset] = 0;
    std::string path = "old";
    EXPECT_EQ(Read(record, path), ReadResult::PathUnterminated);
    EXPECT_EQ(path, "");

    // A view larger than the record (a page, under Wine) has a NUL past 520.
    std::vector<unsigned char> view(600, 'b');
    view[10] = 0;
    view[560] = 0;
    EXPECT_EQ(Read(view, path), ReadResult::ArgumentUnterminated);
    EXPECT_EQ(path, "") << "nothing is handed out from a refused record";

    EXPECT_EQ(Read(std::vector<unsigned char>(kRecordSize - 1, 0), path), ReadResult::TooShort);
}

TEST(RequestRecordRules, TheFirstBrokenRuleIsTheReason) {
    std::vector<unsigned char> record(kRecordSize, 0);
    auto put = [&](std::size_t offset, const std::string& text) {
        std::copy(text.begin(), text.end(), record.begin() + static_cast<std::ptrdiff_t>(offset));
        record[offset + text.size()] = 0;
    };
    std::string path;
    put(0, "C:\\svc\\Vettor.exe");
    EXPECT_EQ(CheckRequestRecord(record.data(), record.size(), path), Refusal::None);
    EXPECT_EQ(path, "C:\\svc\\Vettor.exe");
    // Arguments before the path: a relative path with arguments is refused
    // for its arguments.
    put(0, "Vettor.exe");
    put(kArgumentOffset, "/install");
    EXPECT_EQ(CheckRequestRecord(record.data(), record.size(), path), Refusal::ArgumentNotEmpty);
    EXPECT_EQ(path, "");
    put(kArgumentOffset, "");
    EXPECT_EQ(CheckRequestRecord(record.data(), record.size(), path), Refusal::NotFullPath);
    std::fill(record.begin() + kArgumentOffset, record.end(), 'c');
    EXPECT_EQ(CheckRequestRecord(record.data(), record.size(), path),
              Refusal::ArgumentUnterminated);
}

TEST(RequestRecordRules, EveryReasonHasItsOwnFixedTrace) {
    EXPECT_EQ(RefusalTrace(Refusal::ArgumentNotEmpty),
              "RODerevAva: refused: argument text not empty");
    std::vector<std::string> texts;
    for (int i = static_cast<int>(Refusal::RecordTooShort);
         i <= static_cast<int>(Refusal::AlreadyRunning); ++i) {
        const std::string text = RefusalText(static_cast<Refusal>(i));
        EXPECT_EQ(std::count(texts.begin(), texts.end(), text), 0) << text;
        EXPECT_NE(text, "unknown");
        texts.push_back(text);
    }
}

} // namespace
