#include "gui/controls/static_text_rules.h"

namespace controls {

namespace {

// The bits that keep a static's text from wrapping.
constexpr std::uint32_t kNoWrapBits = 0xC20C;

} // namespace

std::uint32_t StaticTextFormat(std::uint32_t style) {
    std::uint32_t format = 0;
    if ((style & kSsRight) != 0) {
        format |= kDtRight;
    }
    if ((style & kSsCenter) != 0) {
        format |= kDtCenter;
    }
    if ((style & kSsCenterImage) != 0) {
        format |= kDtVCenter | kDtSingleLine;
    }
    if ((style & kSsNoPrefix) != 0) {
        format |= kDtNoPrefix;
    }
    if ((style & kSsWordEllipsis) != 0) {
        format |= kDtWordEllipsis;
    }
    if ((style & kSsEndEllipsis) != 0) {
        format |= kDtEndEllipsis;
    }
    if ((style & kSsPathEllipsis) != 0) {
        format |= kDtPathEllipsis;
    }
    if ((style & kNoWrapBits) == 0) {
        format |= kDtWordBreak;
    }
    return format;
}

} // namespace controls
