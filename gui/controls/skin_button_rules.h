// Decisions of the skin button over plain values, without Windows headers:
// what a button style makes of the control, how check state changes, which
// look a drawing takes and where its caption goes.
#pragma once

#include "skin_button_geometry.h"

enum SkinButtonKind : int {
    kSkinPushButton = 0,
    kSkinCheckBox = 2,
    kSkinRadioButton = 4,
};

// By bit pattern of the style's low bits, not by button type: every style
// containing 3 is a check box (BS_AUTOCHECKBOX, also BS_GROUPBOX and
// BS_OWNERDRAW), then every one containing 9 a radio button
// (BS_AUTORADIOBUTTON); BS_CHECKBOX and BS_RADIOBUTTON lack the automatic
// bit and stay push buttons.
int ClassifySkinButtonStyle(unsigned long style);

// Draw modes: 0 copy at natural size, 1 stretch, 2 tile; above 2 tiles,
// below 0 copies.
short ClampSkinDrawMode(short mode);
short ClampSkinFocusMargin(short margin);
// Bitmap identifiers use their low 16 bits; 0 is none.
inline unsigned SkinResourceId(unsigned id) {
    return id & 0xFFFFu;
}

// The check flag after BM_SETCHECK: a push button never holds one.
bool SkinCheckedAfterSet(int kind, bool requested);
// What a click released over the control, or the space key, asks BM_SETCHECK
// for: a check box the inverse, a radio button 1; -1 asks nothing.
int SkinCheckRequest(int kind, bool checked);

// While pressed by the mouse the pushed look follows the cursor.
enum class SkinPushChange { kNone, kPush, kRelease };
SkinPushChange FollowPush(bool cursorOver, bool pushed);

// The looks in the order in which drawing decides.
enum class SkinLook { kDisabled, kPressed, kPlainFace, kHover, kFocus, kNormal };
struct SkinLookInput {
    bool disabled, selected, focus; // from the owner-draw record
    bool checked, hover;            // kept by the control
    bool hasNormal, hasOver, hasFocus;
};
SkinLook ChooseSkinLook(const SkinLookInput& in);

enum class SkinTextColour { kKeep, kNormal, kPressed, kHover, kGray };
SkinTextColour CaptionColourFor(SkinLook look);
// Only a pressed look sinks.
inline bool IsSunkenLook(SkinLook look) {
    return look == SkinLook::kPressed;
}
inline bool DrawsFocusRect(SkinLook look, bool focus, short focusMargin) {
    return look != SkinLook::kDisabled && focus && focusMargin > 0;
}

// DrawText format bits (the values of DT_CENTER ... DT_SINGLELINE).
inline constexpr unsigned kDtCenter = 0x01;
inline constexpr unsigned kDtVCenter = 0x04;
inline constexpr unsigned kDtBottom = 0x08;
inline constexpr unsigned kDtWordBreak = 0x10;
inline constexpr unsigned kDtSingleLine = 0x20;

struct SkinCaptionSettings {
    short focusMargin;
    unsigned align;
    bool drawCaption, shiftWhenPressed, twoLine, raised;
    bool hasCompanion;
};
struct SkinCaption {
    bool draw;
    // Disabled single-line captions are drawn twice at one place: highlight,
    // then gray text.
    bool embossed;
    SkinRect rect;
    unsigned format;
};
SkinCaption LayoutSkinCaption(const SkinRect& item, SkinLook look, const SkinCaptionSettings& s);
