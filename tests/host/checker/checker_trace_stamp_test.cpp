#include "checker/checker_trace_stamp.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace {

std::tm LocalTime(int day, int month, int year, int hour, int minute, int second) {
    std::tm time{};
    time.tm_mday = day;
    time.tm_mon = month - 1;
    time.tm_year = year - 1900;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    return time;
}

} // namespace

TEST(TraceStamp, DateWithoutLeadingZerosAndTwoDigitTimeOfDay) {
    const std::tm march = LocalTime(5, 3, 2027, 9, 4, 5);
    EXPECT_EQ(FormatTraceStamp(&march), "[ 5/3/2027 09:04:05 ] ");

    const std::tm december = LocalTime(7, 12, 2026, 6, 20, 32);
    EXPECT_EQ(FormatTraceStamp(&december), "[ 7/12/2026 06:20:32 ] ");

    const std::tm lastSecond = LocalTime(31, 12, 1999, 23, 59, 59);
    EXPECT_EQ(FormatTraceStamp(&lastSecond), "[ 31/12/1999 23:59:59 ] ");

    const std::tm midnight = LocalTime(1, 1, 2030, 0, 0, 0);
    EXPECT_EQ(FormatTraceStamp(&midnight), "[ 1/1/2030 00:00:00 ] ");
}

TEST(TraceStamp, FailedConversionPrintsZeroDateAndNoTime) {
    EXPECT_EQ(FormatTraceStamp(nullptr), "[ 0/0/0  ] ");
    EXPECT_EQ(FormatRunStampEnd(nullptr), " - [ 0/0/0  ] ");
}

TEST(TraceStamp, RunStampJoinsStartAndEndWithADash) {
    const std::tm start = LocalTime(7, 12, 2026, 6, 20, 32);
    const std::tm end = LocalTime(7, 12, 2026, 6, 22, 12);
    EXPECT_EQ(FormatTraceStamp(&start) + FormatRunStampEnd(&end),
              "[ 7/12/2026 06:20:32 ]  - [ 7/12/2026 06:22:12 ] ");
}

TEST(TraceStamp, CurrentStampIsTodaysLocalTime) {
    const std::time_t before = std::time(nullptr);
    const std::string stamp = CurrentTraceStamp();
    const std::string runEnd = CurrentRunStampEnd();
    const std::regex shape(R"(\[ (\d{1,2})/(\d{1,2})/(\d{4}) \d\d:\d\d:\d\d \] )");
    std::smatch parts;
    ASSERT_TRUE(std::regex_match(stamp, parts, shape)) << stamp;
    ASSERT_EQ(runEnd.substr(0, 3), " - ");
    EXPECT_TRUE(std::regex_match(runEnd.substr(3), shape)) << runEnd;

    std::tm local{};
#ifdef _WIN32
    ASSERT_EQ(localtime_s(&local, &before), 0);
#else
    ASSERT_NE(localtime_r(&before, &local), nullptr);
#endif
    // The date can only have moved on by a day when the test ran over midnight.
    const bool sameDay = std::stoi(parts[1]) == local.tm_mday &&
                         std::stoi(parts[2]) == local.tm_mon + 1 &&
                         std::stoi(parts[3]) == local.tm_year + 1900;
    const bool nearMidnight = local.tm_hour == 23 && local.tm_min == 59;
    EXPECT_TRUE(sameDay || nearMidnight) << stamp;
}
