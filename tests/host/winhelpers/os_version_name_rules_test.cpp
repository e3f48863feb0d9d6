#include <gtest/gtest.h>

#include <string>

#include "gui/winhelpers/os_version_name_rules.h"

namespace {

using winhelpers::OsVersionNameFor;
using winhelpers::OsVersionRecord;

OsVersionRecord Nt(unsigned char productType, unsigned long major, unsigned long minor,
                   unsigned short suite = 0) {
    OsVersionRecord r;
    r.platformId = winhelpers::kPlatformNt;
    r.productType = productType;
    r.majorVersion = major;
    r.minorVersion = minor;
    r.suiteMask = suite;
    return r;
}

OsVersionRecord Workstation(unsigned long major, unsigned long minor, unsigned short suite = 0) {
    return Nt(winhelpers::kNtWorkstation, major, minor, suite);
}

OsVersionRecord Server(unsigned long major, unsigned long minor, unsigned short suite = 0) {
    return Nt(winhelpers::kNtServer, major, minor, suite);
}

OsVersionRecord Win9x(unsigned long major, unsigned long minor) {
    OsVersionRecord r;
    r.platformId = winhelpers::kPlatformWindows;
    r.majorVersion = major;
    r.minorVersion = minor;
    return r;
}

TEST(WindowsNameVista, SixZeroIsVista) {
    EXPECT_EQ(OsVersionNameFor(Workstation(6, 0)), "Windows Vista");
}

TEST(WindowsNameVista, SystemHelperNamesNoLaterSixRelease) {
    for (unsigned long minor = 1; minor <= 40; ++minor) {
        EXPECT_EQ(OsVersionNameFor(Workstation(6, minor)), "") << minor;
    }
}

TEST(WindowsNameVista, SixThreeHasNoName) {
    EXPECT_EQ(OsVersionNameFor(Workstation(6, 3, 0x100)), "");
}

TEST(WindowsNameXp, SixtyFourBitAndTwoThousand) {
    EXPECT_EQ(OsVersionNameFor(Workstation(5, 2)), "Windows XP 64 bit");
    EXPECT_EQ(OsVersionNameFor(Workstation(5, 0)), "Windows 2000");
    EXPECT_EQ(OsVersionNameFor(Workstation(5, 0, 0x200)), "Windows 2000");
}

TEST(WindowsNameXp, PersonalSuiteBitMakesHomeEdition) {
    for (unsigned short suite : {0x200, 0x300, 0x2FF, 0xFFFF}) {
        EXPECT_EQ(OsVersionNameFor(Workstation(5, 1, suite)), "Windows XP Home Edition") << suite;
    }
    for (unsigned short suite : {0x0, 0x100, 0x400, 0x1FF, 0xFDFF}) {
        EXPECT_EQ(OsVersionNameFor(Workstation(5, 1, suite)), "Windows XP Professional Edition")
            << suite;
    }
}

TEST(WindowsNameXp, LaterFiveReleasesHaveNoName) {
    for (unsigned long minor = 3; minor <= 40; ++minor) {
        EXPECT_EQ(OsVersionNameFor(Workstation(5, minor)), "") << minor;
    }
}

TEST(WindowsNameNt4, EveryOtherWorkstationMajorIsNt4) {
    for (unsigned long major : {0ul, 1ul, 3ul, 4ul, 7ul, 10ul, 0xFFFFFFFFul}) {
        for (unsigned long minor : {0ul, 1ul, 2ul, 3ul, 51ul}) {
            EXPECT_EQ(OsVersionNameFor(Workstation(major, minor)), "Windows NT 4.0")
                << major << "." << minor;
        }
    }
}

TEST(WindowsNameServer, BelowFiveIsNt4ServerWhateverTheSuite) {
    for (unsigned long major = 0; major < 5; ++major) {
        for (unsigned short suite : {0x0, 0x2, 0x80, 0x400}) {
            EXPECT_EQ(OsVersionNameFor(Server(major, 2, suite)), "Windows NT 4.0 Server");
        }
    }
}

TEST(WindowsNameServer, MinorTwoIsDotNetOtherwiseTwoThousand) {
    for (unsigned long major : {5ul, 6ul, 10ul}) {
        EXPECT_EQ(OsVersionNameFor(Server(major, 2)), "Windows .Net Server");
        for (unsigned long minor : {0ul, 1ul, 3ul, 4ul}) {
            EXPECT_EQ(OsVersionNameFor(Server(major, minor)), "Windows 2000 Server")
                << major << "." << minor;
        }
    }
}

TEST(WindowsNameServer, SuiteSuffixesInOrderOfPrecedence) {
    EXPECT_EQ(OsVersionNameFor(Server(5, 0, 0x80)), "Windows 2000 DataCenter Server");
    EXPECT_EQ(OsVersionNameFor(Server(5, 2, 0x82)), "Windows .Net DataCenter Server");
    EXPECT_EQ(OsVersionNameFor(Server(5, 0, 0x480)), "Windows 2000 DataCenter Server");
    EXPECT_EQ(OsVersionNameFor(Server(5, 2, 0x2)), "Windows .Net Enterprise Server");
    EXPECT_EQ(OsVersionNameFor(Server(5, 0, 0x402)), "Windows 2000 Enterprise Server");
    EXPECT_EQ(OsVersionNameFor(Server(5, 2, 0x400)), "Windows .Net Web Server");
    EXPECT_EQ(OsVersionNameFor(Server(5, 0, 0x0)), "Windows 2000 Server");
    EXPECT_EQ(OsVersionNameFor(Server(5, 0, 0x10)), "Windows 2000 Server");
}

TEST(WindowsNameServer, WebServerNeedsTheBladeSuiteAlone) {
    // VER_SUITE_BLADE with VER_SUITE_SINGLEUSERTS (0x100) is a plain server.
    EXPECT_EQ(OsVersionNameFor(Server(5, 2, 0x400 | 0x100)), "Windows .Net Server");
    EXPECT_EQ(OsVersionNameFor(Server(5, 2, 0x400 | 0x200)), "Windows .Net Server");
    EXPECT_EQ(OsVersionNameFor(Server(5, 2, 0x401)), "Windows .Net Server");
}

TEST(WindowsNameServer, DomainControllersAndOtherProductTypesHaveNoName) {
    for (unsigned char type : {0, 2, 4, 255}) {
        for (unsigned long major : {4ul, 5ul, 6ul}) {
            EXPECT_EQ(OsVersionNameFor(Nt(type, major, 0)), "") << int(type);
            EXPECT_EQ(OsVersionNameFor(Nt(type, major, 2, 0x400)), "") << int(type);
        }
    }
}

TEST(WindowsName9x, MinorVersionAloneDecides) {
    for (unsigned long major : {0ul, 4ul, 5ul}) {
        for (unsigned long minor = 0; minor <= 300; ++minor) {
            const char* expected =
                minor < 10 ? "Windows 95" : (minor < 90 ? "Windows 98" : "Windows ME");
            EXPECT_EQ(OsVersionNameFor(Win9x(major, minor)), expected) << minor;
        }
    }
    OsVersionRecord r = Win9x(4, 10);
    r.productType = winhelpers::kNtServer;
    r.suiteMask = 0x400;
    EXPECT_EQ(OsVersionNameFor(r), "Windows 98");
}

TEST(WindowsNameOtherPlatforms, Win32sAndLaterPlatformIdsHaveNoName) {
    for (unsigned long platform : {0ul, 3ul, 4ul, 0xFFFFFFFFul}) {
        OsVersionRecord r = Workstation(6, 0);
        r.platformId = platform;
        EXPECT_EQ(OsVersionNameFor(r), "") << platform;
        r.minorVersion = 10;
        EXPECT_EQ(OsVersionNameFor(r), "") << platform;
    }
}

TEST(WindowsNameTrim, WhiteSpaceGoesAtBothEndsOnly) {
    EXPECT_EQ(winhelpers::TrimWhiteSpace("  Windows XP \t\r\n"), "Windows XP");
    EXPECT_EQ(winhelpers::TrimWhiteSpace("\v\fWindows  7\f"), "Windows  7");
    EXPECT_EQ(winhelpers::TrimWhiteSpace(" \t "), "");
    EXPECT_EQ(winhelpers::TrimWhiteSpace(""), "");
    EXPECT_EQ(winhelpers::TrimWhiteSpace("x"), "x");
}

} // namespace
