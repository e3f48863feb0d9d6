#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/controls/orv_font_rules.h"

namespace {

using controls::FaceNameFor;
using controls::HeightFor;

TEST(FontFaces, EveryCodeOfTheTable) {
    for (int code : {1, 2, 3, 4, 6, 7, 8, 9}) {
        EXPECT_EQ(FaceNameFor(code), "Calibri") << code;
    }
    EXPECT_EQ(FaceNameFor(5), "Crystal");
    for (int code : {10, 11, 12, 13, 21, 22, 23}) {
        EXPECT_EQ(FaceNameFor(code), "Arial") << code;
    }
    EXPECT_EQ(FaceNameFor(14), "Mangal");
    EXPECT_EQ(FaceNameFor(15), "Mangal");
    EXPECT_EQ(FaceNameFor(16), "Saumil_guj2");
    EXPECT_EQ(FaceNameFor(17), "BRH Telugu RN");
    EXPECT_EQ(FaceNameFor(18), "TAMLKamban");
    EXPECT_EQ(FaceNameFor(19), "BRH Amerikannada");
    EXPECT_EQ(FaceNameFor(20), "Kalpurush");
}

TEST(FontFaces, CodesOutsideTheTableHaveNoFace) {
    for (int code : {-100, -1, 0, 24, 25, 99, 1000}) {
        EXPECT_EQ(FaceNameFor(code), "") << code;
    }
}

TEST(FontLanguage, IndexesOneToFifteenShiftByEight) {
    for (int index = 1; index <= 15; ++index) {
        EXPECT_EQ(controls::LanguageCodeFor(index), index + 8) << index;
    }
    for (int index : {-5, -1, 0, 16, 17, 100}) {
        EXPECT_EQ(controls::LanguageCodeFor(index), 8) << index;
    }
    EXPECT_EQ(controls::LanguageCodeFor(controls::kUiLanguageIndex), 8);
}

TEST(FontWeights, OneIsBoldEverythingElseNormal) {
    EXPECT_EQ(controls::WeightFor(1), 700);
    for (int code : {-1, 0, 2, 3, 700}) {
        EXPECT_EQ(controls::WeightFor(code), 400) << code;
    }
}

TEST(FontFallback, CodeOneTriesTwoEveryOtherCodeTriesOne) {
    EXPECT_EQ(controls::FallbackCandidateFor(1), 2);
    for (int code : {0, 2, 5, 8, 14, 23, 99}) {
        EXPECT_EQ(controls::FallbackCandidateFor(code), 1) << code;
    }
}

TEST(FontHeights, FactoriesUseFourteenPlusTheSizeStep) {
    for (int step = 1; step <= 7; ++step) {
        EXPECT_EQ(controls::BaseHeightFor(step), 14 + step);
        EXPECT_EQ(controls::FactoryHeightFor(step, 8), 14 + step);
    }
}

TEST(FontHeights, EveryRowAndColumnOfTheTable) {
    struct Row {
        std::vector<int> codes;
        bool followsStep;
        int normalOld, normalNew, highOld, highNew; // used when not following the step
    };
    const Row rows[] = {
        {{8, 9, 10, 11, 12, 13, 23}, true, 0, 0, 2, 2},
        {{14, 15}, false, -15, 18, 17, 20},
        {{16}, false, -15, -15, 16, -16},
        {{17, 19}, false, -16, -18, -18, 24},
        {{18}, false, -15, -15, 16, 18},
        {{20}, false, 18, 18, 20, 20},
        {{21, 22}, false, 14, 14, 18, 18},
        {{-1, 0, 1, 2, 3, 4, 5, 6, 7, 24, 50}, true, 0, 0, 0, 0},
    };
    for (const Row& row : rows) {
        for (int code : row.codes) {
            for (int step = 1; step <= 7; ++step) {
                const int b = row.followsStep ? 14 + step : 0;
                EXPECT_EQ(HeightFor(step, code, false, false), b + row.normalOld) << code;
                EXPECT_EQ(HeightFor(step, code, false, true), b + row.normalNew) << code;
                EXPECT_EQ(HeightFor(step, code, true, false), b + row.highOld) << code;
                EXPECT_EQ(HeightFor(step, code, true, true), b + row.highNew) << code;
            }
        }
    }
}

TEST(FontHeights, NewWindowsNames) {
    for (const char* name : {"Windows Vista", "Windows 7", "Windows 8", "Microsoft Windows 7"}) {
        EXPECT_TRUE(controls::IsNewWindowsName(name)) << name;
    }
    for (const char* name : {"", "Windows XP Professional Edition", "Windows 98", "Windows ME",
                             "Windows 2000", "windows vista"}) {
        EXPECT_FALSE(controls::IsNewWindowsName(name)) << name;
    }
}

TEST(FontHeights, FactoryHeightsSitInTheNormalNotNewColumn) {
    for (int code : {8, 14, 16, 17, 20, 21}) {
        for (int step = 1; step <= 7; ++step) {
            EXPECT_EQ(controls::FactoryHeightFor(step, code), HeightFor(step, code, false, false));
        }
    }
}

TEST(FontFaces, TheFactoriesCodeAndItsFallbackBothNameCalibri) {
    // So a machine without "Calibri" gets none of the fourteen: the fallback
    // does not help.
    const int code = controls::LanguageCodeFor(controls::kUiLanguageIndex);
    EXPECT_EQ(code, 8);
    EXPECT_EQ(FaceNameFor(code), "Calibri");
    EXPECT_EQ(FaceNameFor(controls::FallbackCandidateFor(code)), "Calibri");
    EXPECT_EQ(FaceNameFor(controls::FallbackCandidateFor(1)), "Calibri");
}

TEST(FontFactories, CalibriFifteenToTwentyOneNormalThenBold) {
    // The fourteen factories take steps 1 to 7, each normal then bold.
    const int code = controls::LanguageCodeFor(controls::kUiLanguageIndex);
    for (int step = 1; step <= 7; ++step) {
        EXPECT_EQ(controls::FactoryHeightFor(step, code), 14 + step) << step;
    }
    EXPECT_EQ(controls::WeightFor(controls::kWeightCodeNormal), 400);
    EXPECT_EQ(controls::WeightFor(controls::kWeightCodeBold), 700);
}

} // namespace
