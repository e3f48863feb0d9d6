// The shared fonts against Wine's font system. The prefix has no "Calibri",
// so this process makes none of the fourteen. The cases with a "Calibri" run
// in a child, started after Wine was told to offer the metric-compatible
// Carlito under that name (a font replacement, which Wine reads when a program
// starts); the replacement is removed again when the child has ended.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "gui/controls/orv_font.h"
#include "gui/controls/orv_font_rules.h"
#include "tests/win32/winhelpers/winhelpers_test_support.h"

namespace {

const char* const kReplacementsKey = "Software\\Wine\\Fonts\\Replacements";

struct SlotRow {
    int height;
    LONG weight;
};
// The application's slot order: heights 15 to 21, each normal then bold.
const SlotRow kSlots[14] = {{15, 400}, {15, 700}, {16, 400}, {16, 700}, {17, 400},
                            {17, 700}, {18, 400}, {18, 700}, {19, 400}, {19, 700},
                            {20, 400}, {20, 700}, {21, 400}, {21, 700}};

bool ReplacementIsSet() {
    HKEY key = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kReplacementsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    const UniqueRegKey owner(key);
    return ::RegQueryValueExA(key, "Calibri", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// Runs the current case in a child that sees "Calibri" as Carlito.
DWORD RunWithCalibri() {
    const CScopedValue replacement(HKEY_CURRENT_USER, kReplacementsKey, "Calibri");
    if (!replacement.SetString("Carlito")) {
        return 0xF0; // the replacement could not be set
    }
    return RunThisTestInChild();
}

// Puts the display-language index back.
class CLanguageIndexRestore {
public:
    CLanguageIndexRestore() : m_nSaved(g_nUiLanguage) {}
    ~CLanguageIndexRestore() { g_nUiLanguage = m_nSaved; }
    CLanguageIndexRestore(const CLanguageIndexRestore&) = delete;
    CLanguageIndexRestore& operator=(const CLanguageIndexRestore&) = delete;

private:
    int m_nSaved;
};

TEST(FontsWithoutCalibri, ThePrefixReallyLacksCalibri) {
    ASSERT_FALSE(ReplacementIsSet());
    const COrvFont font(8);
    EXPECT_FALSE(font.IsFontInstalled("Calibri"));
    // The enumeration itself works: the replacement's target is installed.
    EXPECT_TRUE(font.IsFontInstalled("Carlito"));
    EXPECT_FALSE(font.IsFontInstalled("No Such Face At All"));
    EXPECT_FALSE(font.IsFontInstalled(""));
    EXPECT_FALSE(font.IsFontInstalled(std::string(40, 'C')));
}

TEST(FontsWithoutCalibri, NoFallbackAndNoFont) {
    COrvFont font(8);
    EXPECT_EQ(font.GetFallbackLanguage(), 0);
    EXPECT_FALSE(font.CreateForLanguage(8, 15, 0));
    EXPECT_FALSE(font.IsValid());
    EXPECT_EQ(font.GetLanguage(), 8);
    // A face of another code that is missing as well falls back to nothing.
    COrvFont arial(10);
    ASSERT_FALSE(arial.IsFontInstalled("Arial"));
    EXPECT_FALSE(arial.CreateForLanguage(10, 15, 1));
    EXPECT_FALSE(arial.IsValid());
    // Code 1 tries code 2, whose face is "Calibri" too.
    COrvFont one(1);
    EXPECT_EQ(one.GetFallbackLanguage(), 0);
    EXPECT_FALSE(one.CreateForLanguage(1, 16, 0));
    EXPECT_FALSE(one.IsValid());
}

TEST(FontsWithoutCalibri, NoneOfTheFourteenIsMade) {
    ASSERT_FALSE(COrvFont(8).IsFontInstalled("Calibri"));
    for (std::size_t slot = 0; slot < kSharedFontFactories.size(); ++slot) {
        EXPECT_EQ(kSharedFontFactories[slot](), nullptr) << "slot " << slot + 1;
    }
}

TEST(FontsWithoutCalibri, CodesWithoutAFaceFailAtOnce) {
    COrvFont font(0);
    EXPECT_EQ(font.GetFaceName(0), "");
    EXPECT_EQ(font.GetFaceName(24), "");
    EXPECT_EQ(font.GetFaceName(-3), "");
    EXPECT_FALSE(font.CreateForLanguage(0, 15, 0));
    EXPECT_FALSE(font.CreateForLanguage(24, 15, 0));
    EXPECT_FALSE(font.CreateForLanguage(-3, 15, 0));
}

TEST(FontLanguage, CodeFollowsTheDisplayLanguageIndex) {
    const CLanguageIndexRestore restore;
    EXPECT_EQ(GetLanguageCode(), 8);
    g_nUiLanguage = 15;
    EXPECT_EQ(GetLanguageCode(), 23);
}

TEST(FontsWithCalibri, TheFaceIsThere) {
    if (!IsChildRun()) {
        ASSERT_FALSE(ReplacementIsSet());
        EXPECT_EQ(RunWithCalibri(), 0u);
        EXPECT_FALSE(ReplacementIsSet());
        return;
    }
    const COrvFont font(8);
    EXPECT_TRUE(font.IsFontInstalled("Calibri"));
    EXPECT_EQ(font.GetFallbackLanguage(), 1);
    EXPECT_EQ(COrvFont(1).GetFallbackLanguage(), 2);
}

TEST(FontsWithCalibri, AllFourteenAreMadeWithTheirHeightsAndWeights) {
    if (!IsChildRun()) {
        EXPECT_EQ(RunWithCalibri(), 0u);
        return;
    }
    const CMemoryDC dc(nullptr);
    ASSERT_TRUE(dc.IsValid());
    for (std::size_t slot = 0; slot < kSharedFontFactories.size(); ++slot) {
        SCOPED_TRACE("slot " + std::to_string(slot + 1));
        const std::unique_ptr<COrvFont> font = kSharedFontFactories[slot]();
        ASSERT_NE(font, nullptr);
        ASSERT_TRUE(font->IsValid());
        EXPECT_EQ(font->GetLanguage(), 8);
        LOGFONTA lf{};
        ASSERT_TRUE(font->GetLogFont(&lf));
        EXPECT_EQ(lf.lfHeight, kSlots[slot].height);
        EXPECT_EQ(lf.lfWeight, kSlots[slot].weight);
        EXPECT_STREQ(lf.lfFaceName, "Calibri");
        EXPECT_EQ(lf.lfCharSet, 0); // the LOGFONT starts zeroed: ANSI_CHARSET
        EXPECT_FALSE(lf.lfItalic);

        // Realised: a positive height is the cell height. Wine rounds ascent
        // and descent apart, so its cell comes out up to one unit short.
        const ScopedSelect select(dc, font->GetSafeHandle());
        TEXTMETRICA tm{};
        ASSERT_TRUE(::GetTextMetricsA(dc, &tm));
        EXPECT_LE(tm.tmHeight, kSlots[slot].height);
        EXPECT_GE(tm.tmHeight, kSlots[slot].height - 1);
        EXPECT_EQ(tm.tmWeight, kSlots[slot].weight);
        char face[LF_FACESIZE] = {};
        ASSERT_GT(::GetTextFaceA(dc, LF_FACESIZE, face), 0);
        EXPECT_STREQ(face, "Calibri");
    }
}

TEST(FontsWithCalibri, MissingFaceFallsBackToCodeOne) {
    if (!IsChildRun()) {
        EXPECT_EQ(RunWithCalibri(), 0u);
        return;
    }
    for (int code : {5, 10, 14, 16, 20}) {
        SCOPED_TRACE("code " + std::to_string(code));
        COrvFont font(code);
        ASSERT_FALSE(font.IsFontInstalled(font.GetFaceName(code)));
        EXPECT_TRUE(font.CreateForLanguage(code, 18, 1));
        EXPECT_EQ(font.GetLanguage(), 1);
        LOGFONTA lf{};
        ASSERT_TRUE(font.GetLogFont(&lf));
        EXPECT_STREQ(lf.lfFaceName, "Calibri");
        EXPECT_EQ(lf.lfHeight, 18);
        EXPECT_EQ(lf.lfWeight, 700);
    }
}

TEST(FontsWithCalibri, FallbackKeepsACharacterHeight) {
    if (!IsChildRun()) {
        EXPECT_EQ(RunWithCalibri(), 0u);
        return;
    }
    COrvFont font(14);
    ASSERT_TRUE(font.CreateForLanguage(14, -15, 1));
    EXPECT_EQ(font.GetLanguage(), 1);
    LOGFONTA lf{};
    ASSERT_TRUE(font.GetLogFont(&lf));
    EXPECT_STREQ(lf.lfFaceName, "Calibri");
    EXPECT_EQ(lf.lfHeight, -15);
    EXPECT_EQ(lf.lfWeight, 700);
}

TEST(FontsWithCalibri, CodeOneNeedsNoFallback) {
    if (!IsChildRun()) {
        EXPECT_EQ(RunWithCalibri(), 0u);
        return;
    }
    COrvFont font(1);
    ASSERT_TRUE(font.CreateForLanguage(1, 16, 0));
    EXPECT_EQ(font.GetLanguage(), 1);
    LOGFONTA lf{};
    ASSERT_TRUE(font.GetLogFont(&lf));
    EXPECT_STREQ(lf.lfFaceName, "Calibri");
    EXPECT_EQ(lf.lfHeight, 16);
    EXPECT_EQ(lf.lfWeight, 400);
}

TEST(FontsWithCalibri, FactoriesFollowTheLanguageIndex) {
    if (!IsChildRun()) {
        EXPECT_EQ(RunWithCalibri(), 0u);
        return;
    }
    const CLanguageIndexRestore restore;
    // Index 6 is code 14 ("Mangal", missing): the fallback face, with the
    // height that code's row gives.
    g_nUiLanguage = 6;
    const std::unique_ptr<COrvFont> font = CreateFontStep3Bold();
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->GetLanguage(), 1);
    LOGFONTA lf{};
    ASSERT_TRUE(font->GetLogFont(&lf));
    EXPECT_EQ(lf.lfHeight, controls::FactoryHeightFor(3, 14));
    EXPECT_STREQ(lf.lfFaceName, "Calibri");
    EXPECT_EQ(lf.lfWeight, 700);
}

} // namespace
