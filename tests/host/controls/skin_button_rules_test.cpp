// The skin button's portable rules: style classification, clamps, check
// state, the look a drawing takes, caption placement, mask runs and tiles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/controls/skin_button_rules.h"

namespace {

TEST(SkinButtonStyle, ClassifiesByBitPatternOfTheLowBits) {
    // Every button type 0..15: only patterns holding 3 are check boxes, then
    // patterns holding 9 radio buttons (BS_CHECKBOX 2, BS_RADIOBUTTON 4 and
    // BS_AUTO3STATE 6 lack the automatic bit).
    const int expected[16] = {0, 0, 0, 2, 0, 0, 0, 2, 0, 4, 0, 2, 0, 4, 0, 2};
    for (unsigned type = 0; type < 16; ++type) {
        EXPECT_EQ(ClassifySkinButtonStyle(type), expected[type]) << "type " << type;
        // Higher style bits (BS_PUSHLIKE, BS_NOTIFY, text placement) change nothing.
        EXPECT_EQ(ClassifySkinButtonStyle(type | 0x4000u | 0x1000u | 0x20u), expected[type]);
    }
}

TEST(SkinButtonSettings, DrawModeAndFocusMarginAreClamped) {
    EXPECT_EQ(ClampSkinDrawMode(-32768), 0);
    EXPECT_EQ(ClampSkinDrawMode(-1), 0);
    EXPECT_EQ(ClampSkinDrawMode(0), 0);
    EXPECT_EQ(ClampSkinDrawMode(1), 1);
    EXPECT_EQ(ClampSkinDrawMode(7), 2);
    EXPECT_EQ(ClampSkinDrawMode(32767), 2);
    EXPECT_EQ(ClampSkinFocusMargin(-4), 0);
    EXPECT_EQ(ClampSkinFocusMargin(3), 3);
    EXPECT_EQ(SkinResourceId(0x10000u), 0u) << "only the low 16 bits name a bitmap";
    EXPECT_EQ(SkinResourceId(0x200C9u), 201u);
}

TEST(SkinButtonCheck, PushButtonsNeverHoldACheckAndRequestsFollowTheKind) {
    EXPECT_FALSE(SkinCheckedAfterSet(kSkinPushButton, true));
    EXPECT_TRUE(SkinCheckedAfterSet(kSkinCheckBox, true));
    EXPECT_TRUE(SkinCheckedAfterSet(kSkinRadioButton, true));
    EXPECT_FALSE(SkinCheckedAfterSet(kSkinRadioButton, false));
    EXPECT_EQ(SkinCheckRequest(kSkinCheckBox, false), 1);
    EXPECT_EQ(SkinCheckRequest(kSkinCheckBox, true), 0);
    EXPECT_EQ(SkinCheckRequest(kSkinRadioButton, true), 1);
    EXPECT_EQ(SkinCheckRequest(kSkinPushButton, false), -1);
    EXPECT_EQ(FollowPush(true, false), SkinPushChange::kPush);
    EXPECT_EQ(FollowPush(false, true), SkinPushChange::kRelease);
    EXPECT_EQ(FollowPush(true, true), SkinPushChange::kNone);
    EXPECT_EQ(FollowPush(false, false), SkinPushChange::kNone);
}

TEST(SkinButtonLook, StatesDecideInOrder) {
    SkinLookInput all{true, true, true, true, true, true, true, true};
    EXPECT_EQ(ChooseSkinLook(all), SkinLook::kDisabled);
    all.disabled = false;
    EXPECT_EQ(ChooseSkinLook(all), SkinLook::kPressed);
    SkinLookInput checkedOnly{false, false, false, true, false, false, false, false};
    EXPECT_EQ(ChooseSkinLook(checkedOnly), SkinLook::kPressed) << "checked looks pressed";
    SkinLookInput noNormal{false, false, true, false, true, false, true, true};
    EXPECT_EQ(ChooseSkinLook(noNormal), SkinLook::kPlainFace);
    SkinLookInput hover{false, false, true, false, true, true, true, true};
    EXPECT_EQ(ChooseSkinLook(hover), SkinLook::kHover) << "hover wins over focus";
    hover.hasOver = false;
    EXPECT_EQ(ChooseSkinLook(hover), SkinLook::kFocus);
    hover.hasFocus = false;
    EXPECT_EQ(ChooseSkinLook(hover), SkinLook::kNormal);

    EXPECT_EQ(CaptionColourFor(SkinLook::kDisabled), SkinTextColour::kGray);
    EXPECT_EQ(CaptionColourFor(SkinLook::kPressed), SkinTextColour::kPressed);
    EXPECT_EQ(CaptionColourFor(SkinLook::kPlainFace), SkinTextColour::kKeep);
    EXPECT_EQ(CaptionColourFor(SkinLook::kHover), SkinTextColour::kHover);
    EXPECT_EQ(CaptionColourFor(SkinLook::kFocus), SkinTextColour::kNormal);
    EXPECT_TRUE(DrawsFocusRect(SkinLook::kPressed, true, 1));
    EXPECT_FALSE(DrawsFocusRect(SkinLook::kDisabled, true, 4));
    EXPECT_FALSE(DrawsFocusRect(SkinLook::kNormal, true, 0));
}

struct CaptionCase {
    const char* name;
    SkinLook look;
    short focusMargin;
    SkinCaption expected;
};

TEST(SkinButtonCaption, PlacementForEveryLook) {
    const SkinRect item{0, 0, 100, 80};
    const std::vector<CaptionCase> cases = {
        {"normal", SkinLook::kNormal, 0, {false, {2, 0, 98, 80}}},
        {"margin widens the sides, pressed shifts", SkinLook::kPressed, 3, {false, {6, 1, 96, 81}}},
        {"hover", SkinLook::kHover, 0, {false, {2, 0, 98, 80}}},
        {"disabled: embossed, never shifted", SkinLook::kDisabled, 0, {true, {2, 0, 98, 80}}},
    };
    for (const CaptionCase& c : cases) {
        SkinCaption got = LayoutSkinCaption(item, c.look, c.focusMargin);
        EXPECT_EQ(got.embossed, c.expected.embossed) << c.name;
        EXPECT_EQ(got.rect, c.expected.rect) << c.name;
    }
    // One line, centred both ways (alignment 5).
    EXPECT_EQ(kSkinCaptionFormat, 5u | kDtSingleLine);
}

// A mask drawn as text rows, top row first; '#' is opaque.
std::vector<SkinRect> RunsOf(const std::vector<std::string>& rows) {
    CMaskRunList list;
    FindMaskRuns(
        static_cast<int>(rows[0].size()), static_cast<int>(rows.size()),
        [&](int x, int y) { return rows[static_cast<size_t>(y)][static_cast<size_t>(x)] == '#'; },
        list);
    return list.Runs();
}

TEST(SkinButtonMaskRuns, RowsBottomUpRunsLeftToRightClosedAtTheRowEnd) {
    std::vector<SkinRect> runs = RunsOf({
        "##..#",
        ".....",
        "....#",
        "#####",
    });
    std::vector<SkinRect> expected = {
        {0, 3, 5, 4}, // a full row is one run
        {4, 2, 5, 3}, // a run starting in the last column ends in its row
        {0, 0, 2, 1},
        {4, 0, 5, 1},
    };
    EXPECT_EQ(runs, expected);
    EXPECT_TRUE(RunsOf({"...", "..."}).empty()) << "all transparent: no runs";
}

TEST(SkinButtonMaskRuns, RoomGrowsFortyAtATime) {
    CMaskRunList list;
    EXPECT_EQ(list.Capacity(), 40u);
    // A checkerboard row of 81 pixels has 41 one-pixel runs.
    FindMaskRuns(
        81, 1, [](int x, int) { return x % 2 == 0; }, list);
    EXPECT_EQ(list.Size(), 41u);
    EXPECT_EQ(list.Capacity(), 80u);
}

TEST(SkinButtonTiles, RowByRowFromTheCornerCutAtTheEdges) {
    std::vector<SkinRect> tiles = TileRects({0, 0, 25, 15}, 10, 8);
    std::vector<SkinRect> expected = {
        {0, 0, 10, 8},  {10, 0, 20, 8},  {20, 0, 25, 8},
        {0, 8, 10, 15}, {10, 8, 20, 15}, {20, 8, 25, 15},
    };
    EXPECT_EQ(tiles, expected);
    EXPECT_TRUE(TileRects({0, 0, 25, 15}, 0, 8).empty()) << "an empty bitmap tiles nothing";
}

} // namespace
