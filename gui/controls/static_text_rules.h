// How a transparent static lays out its text: the DrawText format made from
// the static's style. Portable; the numbers are Windows' own, and
// transparent_static.cpp checks them against the system headers.
#pragma once

#include <cstdint>

namespace controls {

// Static control styles that shape the text.
constexpr std::uint32_t kSsCenter = 0x1;
constexpr std::uint32_t kSsRight = 0x2;
constexpr std::uint32_t kSsSimple = 0xB;
constexpr std::uint32_t kSsLeftNoWordWrap = 0xC;
constexpr std::uint32_t kSsNoPrefix = 0x80;
constexpr std::uint32_t kSsCenterImage = 0x200;
constexpr std::uint32_t kSsEndEllipsis = 0x4000;
constexpr std::uint32_t kSsPathEllipsis = 0x8000;
constexpr std::uint32_t kSsWordEllipsis = 0xC000;

// DrawText format bits.
constexpr std::uint32_t kDtCenter = 0x1;
constexpr std::uint32_t kDtRight = 0x2;
constexpr std::uint32_t kDtVCenter = 0x4;
constexpr std::uint32_t kDtWordBreak = 0x10;
constexpr std::uint32_t kDtSingleLine = 0x20;
constexpr std::uint32_t kDtNoPrefix = 0x800;
constexpr std::uint32_t kDtPathEllipsis = 0x4000;
constexpr std::uint32_t kDtEndEllipsis = 0x8000;
constexpr std::uint32_t kDtWordEllipsis = 0x40000;

// Each style bit adds its format bit on its own, even where Windows gives the
// bits a combined meaning (SS_RIGHT | SS_CENTER is SS_ICON): the text is laid
// out the way these controls have always drawn it. Words wrap only when none
// of the ellipsis bits, SS_CENTERIMAGE or the type bits 0x4 and 0x8 (carried
// by SS_SIMPLE and SS_LEFTNOWORDWRAP) is set.
std::uint32_t StaticTextFormat(std::uint32_t style);

} // namespace controls
