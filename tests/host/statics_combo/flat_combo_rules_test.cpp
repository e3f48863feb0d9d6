#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "gui/controls/flat_combo_rules.h"

namespace {

using namespace controls;

const std::uint32_t kHi = 0xFFFFFF, kShadow = 0x808080, kFace = 0xC0C0C0;
const std::uint32_t kOuterTL = 0x111111, kOuterBR = 0x222222;
const FlatComboColours kColours{kHi, kShadow, kFace};

struct Ring {
    int l, t, r, b;
    std::uint32_t tl, br;
};

void ExpectRings(const std::vector<FrameRing>& got, const std::vector<Ring>& want) {
    ASSERT_EQ(got.size(), want.size());
    for (size_t i = 0; i < want.size(); ++i) {
        const FrameRing& g = got[i];
        const Ring& w = want[i];
        EXPECT_TRUE(g.rect.left == w.l && g.rect.top == w.t && g.rect.right == w.r &&
                    g.rect.bottom == w.b && g.topLeft == w.tl && g.bottomRight == w.br)
            << "ring " << i << ": " << g.rect.left << "," << g.rect.top << "," << g.rect.right
            << "," << g.rect.bottom << " " << std::hex << g.topLeft << "/" << g.bottomRight;
    }
}

TEST(FlatComboFrames, EachStatePaintsOverTheBorderThenItsButtonEdge) {
    // 120 x 24 client, 17-pixel drop button: 118 - 17 = 101 is the button's
    // left edge inside the second ring.
    const FrameRect client{0, 0, 120, 24};
    const std::vector<Ring> border = {{0, 0, 120, 24, kOuterTL, kOuterBR},
                                      {1, 1, 119, 23, kFace, kFace},
                                      {101, 2, 118, 22, kFace, kFace},
                                      {102, 3, 117, 21, kFace, kFace}};
    auto with = [&](std::vector<Ring> extra) {
        std::vector<Ring> all = border;
        all.insert(all.end(), extra.begin(), extra.end());
        return all;
    };
    ExpectRings(
        FlatComboFrames(client, 17, true, FlatComboState::kFlat, kOuterTL, kOuterBR, kColours),
        with({{102, 2, 117, 22, kHi, kHi}, {101, 2, 117, 22, kHi, kHi}}));
    ExpectRings(
        FlatComboFrames(client, 17, true, FlatComboState::kRaised, kOuterTL, kOuterBR, kColours),
        with({{102, 2, 117, 22, kHi, kShadow}}));
    ExpectRings(
        FlatComboFrames(client, 17, true, FlatComboState::kPressed, kOuterTL, kOuterBR, kColours),
        with({{103, 3, 118, 23, kShadow, kHi}}));

    // Disabled: the border only, with a light second ring, whatever the state.
    std::vector<Ring> disabled = border;
    disabled[1].tl = disabled[1].br = kHi;
    for (FlatComboState s :
         {FlatComboState::kFlat, FlatComboState::kRaised, FlatComboState::kPressed}) {
        ExpectRings(FlatComboFrames(client, 17, false, s, kOuterTL, kOuterBR, kColours), disabled);
    }
}

// Drives the hover decision as the control does and records what it draws.
struct HoverModel {
    bool timer = false, hot = false, buttonDown = false, focused = false;
    std::vector<FlatComboState> draws;

    void Poll(bool cursorInside) {
        HoverStep s = DecideHoverStep(buttonDown, cursorInside, focused, hot);
        timer = timer && !s.killTimer;
        hot = s.hotDrawn;
        if (s.draw) {
            draws.push_back(*s.draw);
        }
        EXPECT_EQ(s.passToDefault, s.draw == FlatComboState::kRaised);
    }
    void MouseMove(bool inside) {
        timer = true;
        Poll(inside);
    }
};

TEST(HoverPolling, FramesChangeOnlyWhenTheHotLookDoes) {
    using S = FlatComboState;
    HoverModel m;
    m.MouseMove(false);
    EXPECT_FALSE(m.timer) << "a move outside draws nothing and stops at once";
    m.MouseMove(true);
    m.Poll(true);
    EXPECT_EQ(m.draws, std::vector<S>{S::kRaised});
    EXPECT_TRUE(m.timer);
    m.Poll(false);
    EXPECT_EQ(m.draws, (std::vector<S>{S::kRaised, S::kFlat}));
    EXPECT_FALSE(m.timer);

    m.MouseMove(true);
    m.buttonDown = true;
    m.Poll(true);
    m.MouseMove(true); // moves while the button is held draw nothing more
    EXPECT_EQ(m.draws, (std::vector<S>{S::kRaised, S::kFlat, S::kRaised, S::kPressed}));
    EXPECT_FALSE(m.timer);
    EXPECT_FALSE(m.hot);
}

TEST(HoverPolling, FocusKeepsPollingAfterTheCursorLeaves) {
    HoverModel m;
    m.focused = true;
    m.MouseMove(false);
    m.Poll(false);
    EXPECT_TRUE(m.timer);
    EXPECT_EQ(m.draws, std::vector<FlatComboState>{FlatComboState::kRaised});
    m.focused = false;
    m.Poll(false);
    EXPECT_FALSE(m.timer);
    EXPECT_EQ(m.draws.back(), FlatComboState::kFlat);
}

TEST(AutoComplete, SelectionWordsAndTheErrorAnswer) {
    auto sel = EditSelectionFromResult(0x00050001);
    ASSERT_TRUE(sel.has_value());
    EXPECT_EQ(sel->start, 1);
    EXPECT_EQ(sel->end, 5);
    EXPECT_FALSE(EditSelectionFromResult(-1).has_value());
    EXPECT_FALSE(EditSelectionFromResult(0xFFFFFFFFll).has_value()) << "CB_ERR read as a DWORD";
}

TEST(AutoComplete, PlanByMatchAndCaret) {
    struct Case {
        int length;
        std::optional<EditSelection> sel;
        bool matched;
        bool restoreText;
        EditSelection final;
    };
    const Case cases[] = {
        {2, EditSelection{2, 2}, true, false, {2, -1}}, // typed at the end: select the tail
        {3, EditSelection{3, 3}, false, true, {3, -1}}, // no match at the end: empty tail
        {7, EditSelection{2, 2}, false, true, {2, 2}},  // no match inside: caret stays
        {6, EditSelection{1, 3}, true, false, {1, 3}},  // match while editing inside
        {4, std::nullopt, true, false, {4, -1}},        {4, std::nullopt, false, true, {4, -1}},
    };
    for (const Case& c : cases) {
        AutoCompletePlan plan = PlanAutoComplete(c.length, c.sel, c.matched);
        SCOPED_TRACE(c.length);
        EXPECT_EQ(plan.restoreText, c.restoreText);
        EXPECT_EQ(plan.restoreSelection.has_value(), c.restoreText && c.sel.has_value());
        if (plan.restoreSelection) {
            EXPECT_EQ(plan.restoreSelection->start, c.sel->start);
            EXPECT_EQ(plan.restoreSelection->end, c.sel->end);
        }
        EXPECT_EQ(plan.finalSelection.start, c.final.start);
        EXPECT_EQ(plan.finalSelection.end, c.final.end);
    }
}

} // namespace
