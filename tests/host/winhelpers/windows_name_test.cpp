#include <gtest/gtest.h>

#include <string>

#include "os_version_name.h"

namespace {

using winhelpers::OsVersionRecord;
using winhelpers::WindowsNameFor;
using winhelpers::WindowsNameTable;

constexpr WindowsNameTable kBothTables[] = {WindowsNameTable::kSystemHelper,
                                            WindowsNameTable::kCpuInfo};

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

TEST(WindowsNameVista, SixZeroIsVistaInBothTables) {
    for (WindowsNameTable t : kBothTables) {
        EXPECT_EQ(WindowsNameFor(Workstation(6, 0), t), "Windows Vista");
    }
}

TEST(WindowsNameVista, SystemHelperNamesNoLaterSixRelease) {
    for (unsigned long minor = 1; minor <= 40; ++minor) {
        EXPECT_EQ(winhelpers::OsVersionNameFor(Workstation(6, minor)), "") << minor;
    }
}

TEST(WindowsNameVista, CpuInfoNamesSevenAndEightThenNothing) {
    EXPECT_EQ(WindowsNameFor(Workstation(6, 1), WindowsNameTable::kCpuInfo), "Windows 7");
    EXPECT_EQ(WindowsNameFor(Workstation(6, 2), WindowsNameTable::kCpuInfo), "Windows 8");
    for (unsigned long minor = 3; minor <= 40; ++minor) {
        EXPECT_EQ(WindowsNameFor(Workstation(6, minor), WindowsNameTable::kCpuInfo), "") << minor;
    }
}

TEST(WindowsNameVista, SixThreeHasNoNameInEitherTable) {
    for (WindowsNameTable t : kBothTables) {
        EXPECT_EQ(WindowsNameFor(Workstation(6, 3, 0x100), t), "");
    }
}

TEST(WindowsNameXp, SixtyFourBitAndTwoThousand) {
    for (WindowsNameTable t : kBothTables) {
        EXPECT_EQ(WindowsNameFor(Workstation(5, 2), t), "Windows XP 64 bit");
        EXPECT_EQ(WindowsNameFor(Workstation(5, 0), t), "Windows 2000");
        EXPECT_EQ(WindowsNameFor(Workstation(5, 0, 0x200), t), "Windows 2000");
    }
}

TEST(WindowsNameXp, PersonalSuiteBitMakesHomeEdition) {
    for (WindowsNameTable t : kBothTables) {
        for (unsigned short suite : {0x200, 0x300, 0x2FF, 0xFFFF}) {
            EXPECT_EQ(WindowsNameFor(Workstation(5, 1, suite), t), "Windows XP Home Edition")
                << suite;
        }
        for (unsigned short suite : {0x0, 0x100, 0x400, 0x1FF, 0xFDFF}) {
            EXPECT_EQ(WindowsNameFor(Workstation(5, 1, suite), t),
                      "Windows XP Professional Edition")
                << suite;
        }
    }
}

TEST(WindowsNameXp, LaterFiveReleasesHaveNoName) {
    for (WindowsNameTable t : kBothTables) {
        for (unsigned long minor = 3; minor <= 40; ++minor) {
            EXPECT_EQ(WindowsNameFor(Workstation(5, minor), t), "") << minor;
        }
    }
}

TEST(WindowsNameNt4, EveryOtherWorkstationMajorIsNt4) {
    for (WindowsNameTable t : kBothTables) {
        for (unsigned long major : {0ul, 1ul, 3ul, 4ul, 7ul, 10ul, 0xFFFFFFFFul}) {
            for (unsigned long minor : {0ul, 1ul, 2ul, 3ul, 51ul}) {
                EXPECT_EQ(WindowsNameFor(Workstation(major, minor), t), "Windows NT 4.0")
                    << major << "." << minor;
            }
        }
    }
}

TEST(WindowsNameServer, BelowFiveIsNt4ServerWhateverTheSuite) {
    for (WindowsNameTable t : kBothTables) {
        for (unsigned long major = 0; major < 5; ++major) {
            for (unsigned short suite : {0x0, 0x2, 0x80, 0x400}) {
                EXPECT_EQ(WindowsNameFor(Server(major, 2, suite), t), "Windows NT 4.0 Server");
            }
        }
    }
}

TEST(WindowsNameServer, MinorTwoIsDotNetOtherwiseTwoThousand) {
    for (WindowsNameTable t : kBothTables) {
        for (unsigned long major : {5ul, 6ul, 10ul}) {
            EXPECT_EQ(WindowsNameFor(Server(major, 2), t), "Windows .Net Server");
            for (unsigned long minor : {0ul, 1ul, 3ul, 4ul}) {
                EXPECT_EQ(WindowsNameFor(Server(major, minor), t), "Windows 2000 Server")
                    << major << "." << minor;
            }
        }
    }
}

TEST(WindowsNameServer, SuiteSuffixesInOrderOfPrecedence) {
    for (WindowsNameTable t : kBothTables) {
        EXPECT_EQ(WindowsNameFor(Server(5, 0, 0x80), t), "Windows 2000 DataCenter Server");
        EXPECT_EQ(WindowsNameFor(Server(5, 2, 0x82), t), "Windows .Net DataCenter Server");
        EXPECT_EQ(WindowsNameFor(Server(5, 0, 0x480), t), "Windows 2000 DataCenter Server");
        EXPECT_EQ(WindowsNameFor(Server(5, 2, 0x2), t), "Windows .Net Enterprise Server");
        EXPECT_EQ(WindowsNameFor(Server(5, 0, 0x402), t), "Windows 2000 Enterprise Server");
        EXPECT_EQ(WindowsNameFor(Server(5, 2, 0x400), t), "Windows .Net Web Server");
        EXPECT_EQ(WindowsNameFor(Server(5, 0, 0x0), t), "Windows 2000 Server");
        EXPECT_EQ(WindowsNameFor(Server(5, 0, 0x10), t), "Windows 2000 Server");
    }
}

TEST(WindowsNameServer, WebServerNeedsTheBladeSuiteAlone) {
    // VER_SUITE_BLADE with VER_SUITE_SINGLEUSERTS (0x100) is a plain server.
    for (WindowsNameTable t : kBothTables) {
        EXPECT_EQ(WindowsNameFor(Server(5, 2, 0x400 | 0x100), t), "Windows .Net Server");
        EXPECT_EQ(WindowsNameFor(Server(5, 2, 0x400 | 0x200), t), "Windows .Net Server");
        EXPECT_EQ(WindowsNameFor(Server(5, 2, 0x401), t), "Windows .Net Server");
    }
}

TEST(WindowsNameServer, DomainControllersAndOtherProductTypesHaveNoName) {
    for (WindowsNameTable t : kBothTables) {
        for (unsigned char type : {0, 2, 4, 255}) {
            for (unsigned long major : {4ul, 5ul, 6ul}) {
                EXPECT_EQ(WindowsNameFor(Nt(type, major, 0), t), "") << int(type);
                EXPECT_EQ(WindowsNameFor(Nt(type, major, 2, 0x400), t), "") << int(type);
            }
        }
    }
}

TEST(WindowsName9x, MinorVersionAloneDecides) {
    for (WindowsNameTable t : kBothTables) {
        for (unsigned long major : {0ul, 4ul, 5ul}) {
            for (unsigned long minor = 0; minor <= 300; ++minor) {
                const char* expected =
                    minor < 10 ? "Windows 95" : (minor < 90 ? "Windows 98" : "Windows ME");
                EXPECT_EQ(WindowsNameFor(Win9x(major, minor), t), expected) << minor;
            }
        }
        OsVersionRecord r = Win9x(4, 10);
        r.productType = winhelpers::kNtServer;
        r.suiteMask = 0x400;
        EXPECT_EQ(WindowsNameFor(r, t), "Windows 98");
    }
}

TEST(WindowsNameOtherPlatforms, Win32sAndLaterPlatformIdsHaveNoName) {
    for (WindowsNameTable t : kBothTables) {
        for (unsigned long platform : {0ul, 3ul, 4ul, 0xFFFFFFFFul}) {
            OsVersionRecord r = Workstation(6, 0);
            r.platformId = platform;
            EXPECT_EQ(WindowsNameFor(r, t), "") << platform;
            r.minorVersion = 10;
            EXPECT_EQ(WindowsNameFor(r, t), "") << platform;
        }
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
