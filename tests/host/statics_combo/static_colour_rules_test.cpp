#include <gtest/gtest.h>

#include "gui/controls/static_colour_rules.h"

namespace {

using controls::ChooseStaticColour;
using controls::kCtlColorStatic;
using controls::StaticColourAnswer;

TEST(StaticColourChoice, StaticsGoTransparentOverThePicture) {
    EXPECT_EQ(ChooseStaticColour(true, kCtlColorStatic, "Static"),
              StaticColourAnswer::kTransparent);
    // Whatever asks as a static is treated as one: read-only edits, check boxes.
    EXPECT_EQ(ChooseStaticColour(true, kCtlColorStatic, "Edit"), StaticColourAnswer::kTransparent);
    EXPECT_EQ(ChooseStaticColour(true, kCtlColorStatic, "Button"),
              StaticColourAnswer::kTransparent);
    EXPECT_EQ(ChooseStaticColour(true, kCtlColorStatic, ""), StaticColourAnswer::kTransparent);
}

TEST(StaticColourChoice, TrackbarKeepsItsBackgroundByExactClassName) {
    EXPECT_EQ(ChooseStaticColour(true, kCtlColorStatic, "msctls_trackbar32"),
              StaticColourAnswer::kDefault);
    EXPECT_EQ(ChooseStaticColour(true, kCtlColorStatic, "MSCTLS_TRACKBAR32"),
              StaticColourAnswer::kTransparent);
    EXPECT_EQ(ChooseStaticColour(true, kCtlColorStatic, "msctls_trackbar"),
              StaticColourAnswer::kTransparent);
    EXPECT_EQ(ChooseStaticColour(true, kCtlColorStatic, "msctls_trackbar32x"),
              StaticColourAnswer::kTransparent);
}

TEST(StaticColourChoice, OtherQueriesAndOpaqueDialogsKeepTheDefault) {
    // CTLCOLOR_MSGBOX .. CTLCOLOR_SCROLLBAR, except the static one.
    for (unsigned type : {0u, 1u, 2u, 3u, 4u, 5u}) {
        EXPECT_EQ(ChooseStaticColour(true, type, "Static"), StaticColourAnswer::kDefault) << type;
    }
    EXPECT_EQ(ChooseStaticColour(false, kCtlColorStatic, "Static"), StaticColourAnswer::kDefault);
}

} // namespace
