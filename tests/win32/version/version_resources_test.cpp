// Every field of the programs' version resources, read back from the built
// files with GetFileVersionInfoA and VerQueryValueA: the texts of the US
// English block, the fixed numbers, and the build number this tree was
// configured with (SULVANTIX_BUILD_NUMBER).
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "tests/support/standins_env.h"

namespace {

constexpr unsigned kBuild = SULVANTIX_EXPECTED_BUILD_NUMBER;

struct CProgram {
    const char* m_pszBuiltPath; // under the build tree
    const char* m_pszName;
    const char* m_pszDescription;
};

const CProgram kSulvantix = {"/gui/app/Sulvantix.exe", "Sulvantix",
                             "Sulvantix anonymous proxy switcher"};
const CProgram kVettor = {"/checker/Vettor.exe", "Vettor", "Vettor proxy checker"};

// Names the program in a failure, not its bytes.
void PrintTo(const CProgram& program, std::ostream* out) {
    *out << program.m_pszName;
}

std::string VersionText() {
    return "1.0." + std::to_string(kBuild) + ".0";
}

class CVersionInfo {
public:
    explicit CVersionInfo(const CProgram& program) {
        const char* tree = std::getenv("SULVANTIX_BINARY_DIR");
        if (tree == nullptr) {
            return;
        }
        m_strPath = standins_env::WinePath(tree + std::string(program.m_pszBuiltPath));
        DWORD handle = 0;
        const DWORD size = ::GetFileVersionInfoSizeA(m_strPath.c_str(), &handle);
        if (size == 0) {
            return;
        }
        m_bytes.resize(size);
        if (!::GetFileVersionInfoA(m_strPath.c_str(), 0, size, m_bytes.data())) {
            m_bytes.clear();
        }
    }

    bool Loaded() const { return !m_bytes.empty(); }
    const std::string& Path() const { return m_strPath; }

    const VS_FIXEDFILEINFO* Fixed() const {
        void* value = nullptr;
        UINT length = 0;
        if (!Query("\\", &value, &length) || length < sizeof(VS_FIXEDFILEINFO)) {
            return nullptr;
        }
        return static_cast<const VS_FIXEDFILEINFO*>(value);
    }

    // The first translation: language and code page.
    bool Translation(WORD& language, WORD& codePage) const {
        void* value = nullptr;
        UINT length = 0;
        if (!Query("\\VarFileInfo\\Translation", &value, &length) || length < 4) {
            return false;
        }
        language = static_cast<const WORD*>(value)[0];
        codePage = static_cast<const WORD*>(value)[1];
        return true;
    }

    // A text of the US English block in UTF-16; "<missing>" when there is none.
    std::string Text(const char* field) const {
        void* value = nullptr;
        UINT length = 0;
        const std::string path = std::string("\\StringFileInfo\\040904B0\\") + field;
        if (!Query(path.c_str(), &value, &length) || value == nullptr) {
            return "<missing>";
        }
        return std::string(static_cast<const char*>(value));
    }

private:
    bool Query(const char* path, void** value, UINT* length) const {
        // VerQueryValueA takes a non-const block; it only reads it.
        return ::VerQueryValueA(const_cast<unsigned char*>(m_bytes.data()), path, value, length) !=
               FALSE;
    }

    std::string m_strPath;
    std::vector<unsigned char> m_bytes;
};

class ProgramVersion : public ::testing::TestWithParam<CProgram> {};

TEST_P(ProgramVersion, TextsNameTheProductTheProgramAndTheBuild) {
    const CProgram& program = GetParam();
    const CVersionInfo info(program);
    ASSERT_TRUE(info.Loaded()) << "no version resource in " << info.Path();

    WORD language = 0;
    WORD codePage = 0;
    ASSERT_TRUE(info.Translation(language, codePage));
    EXPECT_EQ(language, 0x0409);
    EXPECT_EQ(codePage, 1200);

    EXPECT_EQ(info.Text("ProductName"), "Sulvantix");
    EXPECT_EQ(info.Text("CompanyName"), "Sulvantix");
    EXPECT_EQ(info.Text("LegalCopyright"), "Copyright (C) 2026 Sulvantix");
    EXPECT_EQ(info.Text("FileDescription"), program.m_pszDescription);
    EXPECT_EQ(info.Text("InternalName"), program.m_pszName);
    EXPECT_EQ(info.Text("OriginalFilename"), std::string(program.m_pszName) + ".exe");
    EXPECT_EQ(info.Text("FileVersion"), VersionText());
    EXPECT_EQ(info.Text("ProductVersion"), VersionText());
}

TEST_P(ProgramVersion, FixedNumbersAreOneZeroBuildZero) {
    const CVersionInfo info(GetParam());
    ASSERT_TRUE(info.Loaded()) << "no version resource in " << info.Path();
    const VS_FIXEDFILEINFO* fixed = info.Fixed();
    ASSERT_NE(fixed, nullptr);
    EXPECT_EQ(fixed->dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, kBuild));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(0, kBuild));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
    EXPECT_EQ(fixed->dwFileFlags & fixed->dwFileFlagsMask, 0u); // no debug, pre-release or patch
}

INSTANTIATE_TEST_SUITE_P(BuiltPrograms, ProgramVersion, ::testing::Values(kSulvantix, kVettor),
                         [](const ::testing::TestParamInfo<CProgram>& info) {
                             return std::string(info.param.m_pszName);
                         });

} // namespace
