// The notification area's texts and balloons over a session's life, and the
// shortening that keeps every text within the shell's buffers.
#include <gtest/gtest.h>

#include "gui/app/tray_text.h"

namespace {

const std::string kDash = " \xE2\x80\x94 ";
const std::string kEllipsis = "\xE2\x80\xA6";

TEST(TrayText, ASessionIsToldByStateEntryAndCountdownWithABalloonForItsFirstSwitch) {
    CTrayModel tray;
    EXPECT_EQ(tray.TipText(0), "Sulvantix" + kDash + "stopped");
    tray.OnSession(true);
    EXPECT_EQ(tray.TipText(0), "Sulvantix" + kDash + "finding a proxy");

    EXPECT_TRUE(tray.OnProxyInForce("203.0.113.7:8080", 60000, 1000));
    EXPECT_EQ(tray.TipText(1000), "Sulvantix" + kDash + "via 203.0.113.7:8080, next in 1:00");
    EXPECT_EQ(tray.TipText(19800), "Sulvantix" + kDash + "via 203.0.113.7:8080, next in 0:42")
        << "seconds round up";
    EXPECT_EQ(tray.TipText(61000), "Sulvantix" + kDash + "via 203.0.113.7:8080, switching");
    EXPECT_EQ(tray.BalloonText(), "Now browsing via 203.0.113.7:8080");
    tray.SetProxyClass(CProxyClass{"elite", 412}); // forgotten at the next switch
    EXPECT_EQ(tray.TipText(19800),
              "Sulvantix" + kDash + "via 203.0.113.7:8080 (elite, 412 ms), next in 0:42");

    EXPECT_FALSE(tray.OnProxyInForce("198.51.100.2:3128", 7200000, 61500)) << "quiet by default";
    EXPECT_EQ(tray.TipText(61500), "Sulvantix" + kDash + "via 198.51.100.2:3128, next in 120:00");
    tray.SetBalloonsOn(true);
    EXPECT_TRUE(tray.OnProxyInForce("198.51.100.3:80", 20000, 70000));
    tray.SetBalloonsOn(false);
    EXPECT_FALSE(tray.OnProxyInForce("198.51.100.4:80", 20000, 90000));

    // The end, and a new session whose first switch is told again.
    EXPECT_FALSE(tray.OnProxyInForce("", 0, 95000));
    EXPECT_FALSE(tray.SessionOn());
    EXPECT_EQ(tray.TipText(95000), "Sulvantix" + kDash + "stopped");
    tray.OnSession(true);
    EXPECT_TRUE(tray.OnProxyInForce("203.0.113.7:8080", 20000, 99000));
    tray.OnSession(false);
    EXPECT_EQ(tray.TipText(99000), "Sulvantix" + kDash + "stopped");
}

TEST(TrayText, CountdownsAndShorteningCountWhatTheShellCounts) {
    EXPECT_EQ(CountdownText(-5), "0:00");
    EXPECT_EQ(CountdownText(1), "0:01");
    EXPECT_EQ(CountdownText(59000), "0:59");
    EXPECT_EQ(CountdownText(59001), "1:00");

    EXPECT_EQ(FitUtf16("abc", 3), "abc");
    EXPECT_EQ(FitUtf16("abcd", 3), "ab" + kEllipsis);
    // The em dash is one unit of three bytes, U+1F600 two units of four:
    // neither is split, and the ellipsis takes the last unit.
    EXPECT_EQ(FitUtf16("a" + kDash + "b", 4), "a \xE2\x80\x94" + kEllipsis);
    EXPECT_EQ(FitUtf16("a\xF0\x9F\x98\x80"
                       "b",
                       3),
              "a" + kEllipsis);
    EXPECT_EQ(FitUtf16("a\xF0\x9F\x98\x80"
                       "b",
                       4),
              "a\xF0\x9F\x98\x80"
              "b");

    // An entry too long for the tooltip loses its end, not the countdown.
    CTrayModel tray;
    const std::string longEntry(300, 'h');
    tray.OnProxyInForce(longEntry + ":8080", 42000, 0);
    const std::string tip = tray.TipText(0);
    const std::string tail = kEllipsis + ", next in 0:42";
    ASSERT_GT(tip.size(), tail.size());
    EXPECT_EQ(tip.substr(tip.size() - tail.size()), tail);
    EXPECT_EQ(tip.size() - 2 * 2, kTrayTipUnits) << "dash and ellipsis: 3 bytes, 1 unit each";
    EXPECT_EQ(tray.BalloonText().size() - 2, kTrayBalloonUnits);
    // A class is never cut: the entry makes room.
    tray.SetProxyClass(CProxyClass{"unknown", 999999999});
    const std::string classed = tray.TipText(0);
    const std::string end = "h" + kEllipsis + " (anonymity unknown, 999999999 ms), next in 0:42";
    EXPECT_EQ(classed.substr(classed.size() - end.size()), end);
    EXPECT_EQ(classed.size(), tip.size());
}

} // namespace
