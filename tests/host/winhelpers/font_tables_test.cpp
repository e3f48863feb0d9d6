#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "font_tables.h"

namespace {

using controls::FaceNameFor;
using controls::HeightFor;

std::function<bool(const std::string&)> Installed(std::set<std::string> faces,
                                                  std::vector<std::string>* asked = nullptr) {
    return [faces, asked](const std::string& face) {
        if (asked != nullptr) {
            asked->push_back(face);
        }
        return faces.count(face) != 0;
    };
}

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

TEST(FontFallback, AnswersTheCandidateOnlyWhenItsFaceIsInstalled) {
    std::vector<std::string> asked;
    EXPECT_EQ(controls::FallbackLanguageFor(8, Installed({"Calibri"}, &asked)), 1);
    EXPECT_EQ(asked, std::vector<std::string>{"Calibri"});
    EXPECT_EQ(controls::FallbackLanguageFor(1, Installed({"Calibri"})), 2);
    EXPECT_EQ(controls::FallbackLanguageFor(8, Installed({"Arial"})), 0);
    EXPECT_EQ(controls::FallbackLanguageFor(1, Installed({})), 0);
    EXPECT_EQ(controls::FallbackLanguageFor(8, nullptr), 0);
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

TEST(FontFactories, FourteenSlotsOfSevenStepsNormalThenBold) {
    ASSERT_EQ(controls::kFontFactories.size(), 14u);
    for (std::size_t i = 0; i < controls::kFontFactories.size(); ++i) {
        const controls::FontFactoryRow& row = controls::kFontFactories[i];
        EXPECT_EQ(row.slot, static_cast<int>(i) + 1);
        EXPECT_EQ(row.sizeStep, static_cast<int>(i) / 2 + 1);
        EXPECT_EQ(row.weightCode, i % 2 == 0 ? 0 : 1);
    }
}

TEST(FontPlan, WithCalibriAllFourteenAreCalibriFifteenToTwentyOne) {
    const int code = controls::LanguageCodeFor(controls::kUiLanguageIndex);
    int slot = 0;
    for (const controls::FontFactoryRow& row : controls::kFontFactories) {
        const controls::FontRequest r =
            controls::PlanFont(code, controls::FactoryHeightFor(row.sizeStep, code), row.weightCode,
                               Installed({"Calibri"}));
        ++slot;
        ASSERT_TRUE(r.ok) << slot;
        EXPECT_EQ(r.code, 8);
        EXPECT_EQ(r.face, "Calibri");
        EXPECT_EQ(r.height, 14 + (slot + 1) / 2) << slot;
        EXPECT_EQ(r.weight, slot % 2 == 1 ? 400 : 700) << slot;
    }
}

TEST(FontPlan, WithoutCalibriNoFontIsPlanned) {
    // The fallback face is Calibri too, so it does not help.
    std::vector<std::string> asked;
    const controls::FontRequest r = controls::PlanFont(8, 15, 0, Installed({"Arial"}, &asked));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(asked, (std::vector<std::string>{"Calibri", "Calibri"}));
}

TEST(FontPlan, AMissingFaceFallsBackToCodeOne) {
    const controls::FontRequest r = controls::PlanFont(14, -15, 1, Installed({"Calibri"}));
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.face, "Calibri");
    EXPECT_EQ(r.height, -15);
    EXPECT_EQ(r.weight, 700);
}

TEST(FontPlan, CodeOneFallsBackToCodeTwo) {
    std::vector<std::string> asked;
    const controls::FontRequest r = controls::PlanFont(1, 16, 0, Installed({}, &asked));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(asked.size(), 2u);
    const controls::FontRequest ok = controls::PlanFont(1, 16, 0, Installed({"Calibri"}));
    ASSERT_TRUE(ok.ok);
    EXPECT_EQ(ok.code, 1);
}

TEST(FontPlan, ACodeWithoutAFaceFailsWithoutAskingTheSystem) {
    std::vector<std::string> asked;
    for (int code : {0, 24, -3}) {
        EXPECT_FALSE(controls::PlanFont(code, 15, 0, Installed({"Calibri"}, &asked)).ok);
    }
    EXPECT_TRUE(asked.empty());
}

} // namespace
