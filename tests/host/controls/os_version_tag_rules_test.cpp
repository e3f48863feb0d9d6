#include <gtest/gtest.h>

#include <string>

#include "gui/controls/os_version_tag_rules.h"

namespace {

using controls::OsVerTagSources;
using controls::ResolveOsVerTag;
using winhelpers::OsVersionRecord;

OsVersionRecord Workstation(unsigned long major, unsigned long minor) {
    OsVersionRecord r;
    r.platformId = winhelpers::kPlatformNt;
    r.productType = winhelpers::kNtWorkstation;
    r.majorVersion = major;
    r.minorVersion = minor;
    return r;
}

// Sources that count how often each input is gathered.
struct CountingSources {
    std::string versionValue;
    bool versionOk = true;
    OsVersionRecord record;
    int registryReads = 0;
    int versionCalls = 0;

    OsVerTagSources Make() {
        OsVerTagSources s;
        s.readVersionValue = [this] {
            ++registryReads;
            return versionValue;
        };
        s.getVersion = [this](OsVersionRecord* out) {
            ++versionCalls;
            *out = record;
            return versionOk;
        };
        return s;
    }
};

TEST(OsVerTagTable, DiffersFromTheSystemHelpersAfterVista) {
    EXPECT_EQ(controls::OsVerTagFor(Workstation(6, 1)), "Windows 7");
    EXPECT_EQ(winhelpers::OsVersionNameFor(Workstation(6, 1)), "");
    EXPECT_EQ(controls::OsVerTagFor(Workstation(6, 2)), "Windows 8");
    EXPECT_EQ(winhelpers::OsVersionNameFor(Workstation(6, 2)), "");
    EXPECT_EQ(controls::OsVerTagFor(Workstation(6, 0)), "Windows Vista");
}

TEST(OsVerTagTable, NamesSevenAndEightThenNothing) {
    EXPECT_EQ(controls::OsVerTagFor(Workstation(6, 1)), "Windows 7");
    EXPECT_EQ(controls::OsVerTagFor(Workstation(6, 2)), "Windows 8");
    for (unsigned long minor = 3; minor <= 40; ++minor) {
        EXPECT_EQ(controls::OsVerTagFor(Workstation(6, minor)), "") << minor;
    }
    OsVersionRecord sixThree = Workstation(6, 3);
    sixThree.suiteMask = 0x100;
    EXPECT_EQ(controls::OsVerTagFor(sixThree), "");
}

TEST(OsVerTagTable, EveryOtherRecordHasTheSystemHelpersName) {
    // The system helper's table is pinned row by row in its own tests.
    int compared = 0;
    for (unsigned long platform : {0ul, 1ul, 2ul, 3ul, 0xFFFFFFFFul}) {
        for (unsigned char type : {0, 1, 2, 3, 4, 255}) {
            for (unsigned long major : {0ul, 3ul, 4ul, 5ul, 6ul, 7ul, 10ul, 0xFFFFFFFFul}) {
                for (unsigned long minor : {0ul, 1ul, 2ul, 3ul, 9ul, 10ul, 51ul, 89ul, 90ul}) {
                    for (unsigned short suite :
                         {0x0, 0x2, 0x80, 0x82, 0x100, 0x200, 0x400, 0x401, 0x480, 0x500, 0xFFFF}) {
                        OsVersionRecord r;
                        r.platformId = platform;
                        r.productType = type;
                        r.majorVersion = major;
                        r.minorVersion = minor;
                        r.suiteMask = suite;
                        const bool sevenOrEight = platform == winhelpers::kPlatformNt &&
                                                  type == winhelpers::kNtWorkstation &&
                                                  major == 6 && (minor == 1 || minor == 2);
                        if (sevenOrEight) {
                            continue;
                        }
                        ASSERT_EQ(controls::OsVerTagFor(r), winhelpers::OsVersionNameFor(r))
                            << platform << " " << int(type) << " " << major << "." << minor << " "
                            << suite;
                        ++compared;
                    }
                }
            }
        }
    }
    EXPECT_GT(compared, 10000);
}

TEST(OsVerTagRegistry, TheKeyAndValueItReads) {
    EXPECT_STREQ(controls::kCurrentVersionKey, "Software\\Microsoft\\Windows\\CurrentVersion");
    EXPECT_STREQ(controls::kCurrentVersionValue, "Version");
}

TEST(OsVerTagRegistry, AVersionTextHolding98Rules) {
    for (const char* text : {"Windows 98", "4.10.1998", "98", "x98y"}) {
        EXPECT_TRUE(controls::VersionValueSays98(text)) << text;
    }
    for (const char* text : {"", "9 8", "Windows 95", "4.10.2222", "Windows Millennium"}) {
        EXPECT_FALSE(controls::VersionValueSays98(text)) << text;
    }
}

TEST(OsVerTagCache, The98RuleWinsOverTheRecordAndIsNotCached) {
    CountingSources src;
    src.versionValue = "Windows 98";
    src.record = Workstation(6, 1);
    std::string cache;
    EXPECT_EQ(ResolveOsVerTag(cache, src.Make()), "Windows 98");
    EXPECT_EQ(cache, "");
    EXPECT_EQ(src.versionCalls, 0);
    EXPECT_EQ(ResolveOsVerTag(cache, src.Make()), "Windows 98");
    EXPECT_EQ(src.registryReads, 2);
}

TEST(OsVerTagCache, ANameIsCachedAndThenNothingIsAskedAgain) {
    CountingSources src;
    src.versionValue = "6.1";
    src.record = Workstation(6, 1);
    std::string cache;
    EXPECT_EQ(ResolveOsVerTag(cache, src.Make()), "Windows 7");
    EXPECT_EQ(cache, "Windows 7");
    src.record = Workstation(5, 1);
    src.versionValue = "Windows 98";
    EXPECT_EQ(ResolveOsVerTag(cache, src.Make()), "Windows 7");
    EXPECT_EQ(src.registryReads, 1);
    EXPECT_EQ(src.versionCalls, 1);
}

TEST(OsVerTagCache, SixThreeLeavesTheCacheEmptySoEveryCallAsksAgain) {
    CountingSources src;
    src.record = Workstation(6, 3);
    std::string cache;
    for (int call = 1; call <= 3; ++call) {
        EXPECT_EQ(ResolveOsVerTag(cache, src.Make()), "");
        EXPECT_EQ(cache, "");
        EXPECT_EQ(src.versionCalls, call);
    }
}

TEST(OsVerTagCache, AFailedVersionCallReturnsTheCacheUnchanged) {
    CountingSources src;
    src.versionOk = false;
    src.record = Workstation(6, 1);
    std::string cache;
    EXPECT_EQ(ResolveOsVerTag(cache, src.Make()), "");
    EXPECT_EQ(cache, "");
    src.versionOk = true;
    EXPECT_EQ(ResolveOsVerTag(cache, src.Make()), "Windows 7");
}

TEST(OsVerTagCache, MissingSourcesAreTreatedAsFailedReads) {
    std::string cache;
    EXPECT_EQ(ResolveOsVerTag(cache, OsVerTagSources{}), "");
    OsVerTagSources onlyVersion;
    onlyVersion.getVersion = [](OsVersionRecord* out) {
        out->platformId = winhelpers::kPlatformWindows;
        out->minorVersion = 90;
        return true;
    };
    EXPECT_EQ(ResolveOsVerTag(cache, onlyVersion), "Windows ME");
    EXPECT_EQ(cache, "Windows ME");
}

} // namespace
