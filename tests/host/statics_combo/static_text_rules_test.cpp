#include <gtest/gtest.h>

#include <cstdint>

#include "gui/controls/static_text_rules.h"

namespace {

using namespace controls;

TEST(StaticTextFormat, EachStyleBitGivesItsFormat) {
    struct Case {
        std::uint32_t style;
        std::uint32_t format;
    };
    const Case cases[] = {
        {0x0, kDtWordBreak}, // SS_LEFT
        {kSsCenter, kDtCenter | kDtWordBreak},
        {kSsRight, kDtRight | kDtWordBreak},
        {kSsNoPrefix, kDtNoPrefix | kDtWordBreak},
        {kSsCenterImage, kDtVCenter | kDtSingleLine},
        {kSsCenterImage | kSsCenter, kDtVCenter | kDtSingleLine | kDtCenter},
        {kSsEndEllipsis, kDtWordEllipsis | kDtEndEllipsis},
        {kSsPathEllipsis, kDtWordEllipsis | kDtPathEllipsis},
        {kSsWordEllipsis, kDtWordEllipsis | kDtEndEllipsis | kDtPathEllipsis},
        // The type bits 0x4 and 0x8 stop wrapping; SS_SIMPLE's low bits still
        // read as SS_RIGHT and SS_CENTER.
        {kSsSimple, kDtRight | kDtCenter},
        {kSsLeftNoWordWrap, 0},
        {0x4, 0},
        {0x8, 0},
        {kSsRight | kSsNoPrefix | kSsCenterImage,
         kDtRight | kDtNoPrefix | kDtVCenter | kDtSingleLine},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(StaticTextFormat(c.style), c.format) << std::hex << "style 0x" << c.style;
    }
}

TEST(StaticTextFormat, OtherBitsChangeNothingAndWrappingStaysAlone) {
    // WS_CHILD | WS_VISIBLE | WS_GROUP, SS_NOTIFY (0x100), SS_RIGHTJUST (0x400),
    // SS_REALSIZEIMAGE (0x800), SS_SUNKEN (0x1000), SS_EDITCONTROL (0x2000),
    // and the type bit 0x10 and size bits 0x20 and 0x40.
    const std::uint32_t noise = 0x50020000u | 0x100 | 0x400 | 0x800 | 0x1000 | 0x2000 | 0x70;
    for (std::uint32_t style = 0; style <= 0xFFFF; ++style) {
        const std::uint32_t f = StaticTextFormat(style);
        ASSERT_EQ(StaticTextFormat(style | noise), StaticTextFormat(style & ~noise))
            << std::hex << "style 0x" << style;
        if ((f & kDtWordBreak) != 0) {
            ASSERT_EQ(f & (kDtSingleLine | kDtWordEllipsis | kDtEndEllipsis | kDtPathEllipsis), 0u)
                << std::hex << "style 0x" << style;
        }
    }
}

} // namespace
