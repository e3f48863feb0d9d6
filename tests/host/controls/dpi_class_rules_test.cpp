#include <gtest/gtest.h>

#include <string>

#include "gui/controls/dpi_class_rules.h"

namespace {

using controls::DpiClassFor;
using controls::DpiReading;
using controls::DpiSource;
using controls::DpiSourceFor;

DpiReading Number(unsigned long v) {
    DpiReading r;
    r.succeeded = true;
    r.number = v;
    return r;
}

DpiReading Text(const std::string& text) {
    DpiReading r;
    r.succeeded = true;
    r.text = text;
    return r;
}

constexpr DpiSource kDwordSources[] = {DpiSource::kUserDesktop, DpiSource::kFontsProfile};

TEST(DpiSourceChoice, SevenAndEightReadTheUsersDesktop) {
    for (const char* name : {"Windows 7", "Windows 8", "Windows 8.1", "Microsoft Windows 7 SP1",
                             "Windows 7 Windows 8"}) {
        EXPECT_EQ(DpiSourceFor(name), DpiSource::kUserDesktop) << name;
    }
    EXPECT_EQ(controls::NormalizeDpiWindowsName("Windows 8.1"), "Windows 8");
    EXPECT_EQ(controls::NormalizeDpiWindowsName("x Windows 7 y"), "Windows 7");
    EXPECT_EQ(controls::NormalizeDpiWindowsName("Windows Vista"), "Windows Vista");
}

TEST(DpiSourceChoice, NinetyEightAndMeReadTheDisplaySettings) {
    EXPECT_EQ(DpiSourceFor("Windows 98"), DpiSource::kDisplaySettings);
    EXPECT_EQ(DpiSourceFor("Windows ME"), DpiSource::kDisplaySettings);
}

TEST(DpiSourceChoice, EverythingElseReadsTheFontsProfile) {
    for (const char* name : {"", "Windows Vista", "Windows 95", "Windows XP Home Edition",
                             "Windows 2000", "Windows NT 4.0", "Windows 98 SE", "windows 7"}) {
        EXPECT_EQ(DpiSourceFor(name), DpiSource::kFontsProfile) << name;
    }
}

TEST(DpiSourceChoice, RegistryCoordinatesOfEachSource) {
    const controls::DpiRegistryValue user = controls::DpiRegistryValueOf(DpiSource::kUserDesktop);
    EXPECT_EQ(user.root, 0x80000001ul);
    EXPECT_STREQ(user.key, "Control Panel\\Desktop");
    EXPECT_STREQ(user.value, "LogPixels");
    EXPECT_FALSE(user.isString);

    const controls::DpiRegistryValue display =
        controls::DpiRegistryValueOf(DpiSource::kDisplaySettings);
    EXPECT_EQ(display.root, 0x80000005ul);
    EXPECT_STREQ(display.key, "Display\\Settings");
    EXPECT_STREQ(display.value, "DPIPhysicalX");
    EXPECT_TRUE(display.isString);

    const controls::DpiRegistryValue fonts = controls::DpiRegistryValueOf(DpiSource::kFontsProfile);
    EXPECT_EQ(fonts.root, 0x80000002ul);
    EXPECT_STREQ(fonts.key,
                 "system\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts");
    EXPECT_STREQ(fonts.value, "LogPixels");
    EXPECT_FALSE(fonts.isString);
}

TEST(DpiClassNumbers, UpToNinetySixIsNormal) {
    for (DpiSource s : kDwordSources) {
        for (unsigned long v : {0ul, 1ul, 72ul, 95ul, 96ul}) {
            EXPECT_EQ(DpiClassFor(s, Number(v)), 96u) << v;
        }
    }
}

TEST(DpiClassNumbers, AboveNinetySixIsLarge) {
    for (DpiSource s : kDwordSources) {
        for (unsigned long v : {97ul, 120ul, 144ul, 192ul, 98119ul, 98121ul, 0xFFFFFFFFul}) {
            EXPECT_EQ(DpiClassFor(s, Number(v)), 120u) << v;
        }
    }
}

TEST(DpiClassNumbers, ExactlyTheNinetyEightKeyIsKept) {
    for (DpiSource s : kDwordSources) {
        EXPECT_EQ(DpiClassFor(s, Number(98120)), 98120u);
    }
    EXPECT_EQ(controls::DpiClassFromNumber(98120), 98120u);
    EXPECT_EQ(controls::DpiClassFromNumber(-1), 96u);
}

TEST(DpiClassNumbers, AFailedReadIsNormalWhateverWasLeftInTheOutput) {
    DpiReading failed = Number(144);
    failed.succeeded = false;
    failed.text = "120";
    for (DpiSource s :
         {DpiSource::kUserDesktop, DpiSource::kDisplaySettings, DpiSource::kFontsProfile}) {
        EXPECT_EQ(DpiClassFor(s, failed), 96u);
    }
}

TEST(DpiClassText, TheExactText120IsTheNinetyEightLargeClass) {
    EXPECT_EQ(DpiClassFor(DpiSource::kDisplaySettings, Text("120")), 98120u);
    EXPECT_EQ(controls::DpiNumberFromText("120"), 98120);
}

TEST(DpiClassText, OtherTextsAreReadAsDecimalNumbers) {
    EXPECT_EQ(DpiClassFor(DpiSource::kDisplaySettings, Text("144")), 120u);
    EXPECT_EQ(DpiClassFor(DpiSource::kDisplaySettings, Text("96")), 96u);
    EXPECT_EQ(DpiClassFor(DpiSource::kDisplaySettings, Text("72")), 96u);
    EXPECT_EQ(DpiClassFor(DpiSource::kDisplaySettings, Text("98120")), 98120u);
    // Not the exact text: read as the number 120, which is simply large.
    EXPECT_EQ(DpiClassFor(DpiSource::kDisplaySettings, Text(" 120")), 120u);
    EXPECT_EQ(DpiClassFor(DpiSource::kDisplaySettings, Text("120 ")), 120u);
    EXPECT_EQ(DpiClassFor(DpiSource::kDisplaySettings, Text("0120")), 120u);
}

TEST(DpiClassText, NumberParsingStopsAtTheFirstNonDigit) {
    EXPECT_EQ(controls::DpiNumberFromText(""), 0);
    EXPECT_EQ(controls::DpiNumberFromText("abc"), 0);
    EXPECT_EQ(controls::DpiNumberFromText("144dpi"), 144);
    EXPECT_EQ(controls::DpiNumberFromText("\t 96"), 96);
    EXPECT_EQ(controls::DpiNumberFromText("+97"), 97);
    EXPECT_EQ(controls::DpiNumberFromText("-200"), -200);
    EXPECT_EQ(DpiClassFor(DpiSource::kDisplaySettings, Text("-200")), 96u);
    EXPECT_EQ(DpiClassFor(DpiSource::kDisplaySettings, Text("")), 96u);
    EXPECT_EQ(
        DpiClassFor(DpiSource::kDisplaySettings, Text("999999999999999999999999999999999999")),
        120u);
}

TEST(DpiClassText, DwordSourcesIgnoreTheText) {
    DpiReading r = Number(72);
    r.text = "120";
    EXPECT_EQ(DpiClassFor(DpiSource::kUserDesktop, r), 96u);
    EXPECT_EQ(DpiClassFor(DpiSource::kFontsProfile, r), 96u);
}

} // namespace
