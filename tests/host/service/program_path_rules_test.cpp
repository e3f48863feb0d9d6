// The text rules of a requested program path: one plain full path on a drive
// letter passes; shares, devices, relative names, stream names and other
// spellings are refused with their reason before anything is opened.
#include <gtest/gtest.h>

#include <string>

#include "service/program_path_rules.h"

namespace {

struct CPathCase {
    std::string path;
    Refusal expected;
};

void PrintTo(const CPathCase& c, std::ostream* out) {
    *out << '"' << c.path << '"';
}

class ProgramPathRules : public ::testing::TestWithParam<CPathCase> {};

TEST_P(ProgramPathRules, ClassifiesThePath) {
    EXPECT_EQ(ClassifyProgramPath(GetParam().path), GetParam().expected)
        << RefusalText(ClassifyProgramPath(GetParam().path));
}

INSTANTIATE_TEST_SUITE_P(
    Accepted, ProgramPathRules,
    ::testing::Values(CPathCase{"C:\\Program Files\\Sulvantix\\Vettor.exe", Refusal::None},
                      CPathCase{"c:\\x\\Vettor.exe", Refusal::None},
                      // ANSI code page letters, as GetModuleFileNameA gives them.
                      CPathCase{"C:\\Programme\\\xDC"
                                "ber\\Vettor.exe",
                                Refusal::None},
                      // Names that only begin like devices.
                      CPathCase{"C:\\svc\\COM10.exe", Refusal::None},
                      CPathCase{"C:\\svc\\CONSOLE\\Vettor.exe", Refusal::None},
                      CPathCase{"C:\\NULL\\LPT.exe", Refusal::None},
                      CPathCase{"C:\\svc\\COMx.exe", Refusal::None},
                      CPathCase{"C:\\" + std::string(256, 'p'), Refusal::None}));

INSTANTIATE_TEST_SUITE_P(
    Refused, ProgramPathRules,
    ::testing::Values(
        CPathCase{"", Refusal::PathEmpty},
        CPathCase{"\\\\server\\share\\Vettor.exe", Refusal::UncPath},
        CPathCase{"//server/share/Vettor.exe", Refusal::UncPath},
        CPathCase{"\\\\.\\C:\\svc\\Vettor.exe", Refusal::DevicePath},
        CPathCase{"\\\\?\\C:\\svc\\Vettor.exe", Refusal::DevicePath},
        CPathCase{"//?/C:/svc/Vettor.exe", Refusal::DevicePath},
        CPathCase{"\\??\\C:\\svc\\Vettor.exe", Refusal::DevicePath},
        CPathCase{"COM1", Refusal::DevicePath}, CPathCase{"C:\\svc\\COM1", Refusal::DevicePath},
        CPathCase{"C:COM1", Refusal::DevicePath},
        CPathCase{"C:\\svc\\com9.exe", Refusal::DevicePath},
        CPathCase{"C:\\svc\\nul.txt", Refusal::DevicePath},
        CPathCase{"C:\\CON \\Vettor.exe", Refusal::DevicePath},
        CPathCase{"C:\\svc\\CONOUT$", Refusal::DevicePath},
        CPathCase{"C:\\svc\\LPT\xB9", Refusal::DevicePath},
        CPathCase{"C:\\svc\\PRN:stream", Refusal::DevicePath},
        CPathCase{"Vettor.exe", Refusal::NotFullPath},
        CPathCase{"\\svc\\Vettor.exe", Refusal::NotFullPath},
        CPathCase{"C:Vettor.exe", Refusal::NotFullPath}, CPathCase{"C:", Refusal::NotFullPath},
        CPathCase{"1:\\svc\\Vettor.exe", Refusal::NotFullPath},
        CPathCase{"C:\\svc\\Vettor.exe:stream", Refusal::InvalidCharacters},
        CPathCase{"C:\\svc\\Vettor.exe::$DATA", Refusal::InvalidCharacters},
        CPathCase{"C:\\svc\\Vet\ttor.exe", Refusal::InvalidCharacters},
        CPathCase{"C:\\svc\\*.exe", Refusal::InvalidCharacters},
        CPathCase{"C:\\svc\\\"Vettor.exe\"", Refusal::InvalidCharacters},
        CPathCase{"C:\\svc\\..\\svc\\Vettor.exe", Refusal::NotCanonical},
        CPathCase{"C:\\svc\\.\\Vettor.exe", Refusal::NotCanonical},
        CPathCase{"C:\\svc\\\\Vettor.exe", Refusal::NotCanonical},
        CPathCase{"C:/svc/Vettor.exe", Refusal::NotCanonical},
        CPathCase{"C:\\svc\\Vettor.exe.", Refusal::NotCanonical},
        CPathCase{"C:\\svc\\Vettor.exe ", Refusal::NotCanonical},
        CPathCase{"C:\\svc \\Vettor.exe", Refusal::NotCanonical},
        CPathCase{"C:\\svc\\", Refusal::NotCanonical}, CPathCase{"C:\\", Refusal::NotCanonical}));

TEST(ReservedDeviceNames, CountUpToTheFirstDotWithoutTrailingSpaces) {
    EXPECT_TRUE(IsReservedDeviceName("nul"));
    EXPECT_TRUE(IsReservedDeviceName("NUL.tar.gz"));
    EXPECT_TRUE(IsReservedDeviceName("com0"));
    EXPECT_TRUE(IsReservedDeviceName("Lpt3  .txt"));
    EXPECT_TRUE(IsReservedDeviceName("conin$"));
    EXPECT_FALSE(IsReservedDeviceName(""));
    EXPECT_FALSE(IsReservedDeviceName(" nul"));
    EXPECT_FALSE(IsReservedDeviceName("nul1"));
    EXPECT_FALSE(IsReservedDeviceName("COM"));
    EXPECT_FALSE(IsReservedDeviceName("LPT12"));
}

} // namespace
