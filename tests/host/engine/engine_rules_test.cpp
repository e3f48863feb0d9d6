// The engine's portable rules: the rotation period of a timer item and the
// texts of a proxy the user types in.
#include <gtest/gtest.h>

#include "gui/engine/rotation_interval.h"
#include "gui/engine/user_proxy_text.h"

namespace {

TEST(RotationPeriod, NumberAtTheStartInSecondsOrHours) {
    EXPECT_EQ(RotationIntervalSeconds("20 Sec"), 20);
    EXPECT_EQ(RotationIntervalSeconds("120 Sec"), 120);
    EXPECT_EQ(RotationIntervalSeconds("2 Hrs"), 7200);
    EXPECT_EQ(RotationPeriodMs("2 Hrs"), 7200000u);
    EXPECT_EQ(RotationPeriodMs("100 Sec"), 100000u);
    EXPECT_EQ(RotationPeriodMs("20 Sec", 50), 1000u) << "a scaled clock";
    // atoi's rule: no leading number is 0; nothing selected is no text.
    EXPECT_EQ(RotationPeriodMs("Hrs"), 0u);
    EXPECT_EQ(RotationPeriodMs(""), 0u);
    // Kept within what a window timer takes.
    EXPECT_EQ(RotationPeriodMs("999999999 Hrs"), 0x7FFFFFFFu);
    EXPECT_EQ(RotationPeriodMs("-5 Sec"), 0u);
}

TEST(TypedProxy, AddressFromTheFieldsAndEntryAsTyped) {
    const std::uint8_t fields[4] = {10, 0, 0, 0};
    EXPECT_EQ(UserProxyAddress(fields, 1), "10.0.0.0") << "blank fields count as 0";
    EXPECT_EQ(UserProxyAddress(fields, 0), "") << "all blank: no address";
    const std::uint8_t full[4] = {255, 1, 22, 133};
    EXPECT_EQ(UserProxyAddress(full, 4), "255.1.22.133");
    EXPECT_EQ(UserProxyEntry("10.0.0.1", TrimmedPortText(" \t8080 \r\n")), "10.0.0.1:8080");
    EXPECT_EQ(TrimmedPortText("   "), "");
}

} // namespace
