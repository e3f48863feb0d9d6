#include "skin_button_rules.h"

int ClassifySkinButtonStyle(unsigned long style) {
    if ((style & 3u) == 3u) {
        return kSkinCheckBox;
    }
    if ((style & 9u) == 9u) {
        return kSkinRadioButton;
    }
    return kSkinPushButton;
}

short ClampSkinDrawMode(short mode) {
    if (mode >= 2) {
        return 2;
    }
    return mode < 0 ? static_cast<short>(0) : mode;
}

short ClampSkinFocusMargin(short margin) {
    return margin < 0 ? static_cast<short>(0) : margin;
}

bool SkinCheckedAfterSet(int kind, bool requested) {
    return kind != kSkinPushButton && requested;
}

int SkinCheckRequest(int kind, bool checked) {
    switch (kind) {
    case kSkinCheckBox:
        return checked ? 0 : 1;
    case kSkinRadioButton:
        return 1;
    default:
        return -1;
    }
}

SkinPushChange FollowPush(bool cursorOver, bool pushed) {
    if (cursorOver && !pushed) {
        return SkinPushChange::kPush;
    }
    if (!cursorOver && pushed) {
        return SkinPushChange::kRelease;
    }
    return SkinPushChange::kNone;
}

SkinLook ChooseSkinLook(const SkinLookInput& in) {
    if (in.disabled) {
        return SkinLook::kDisabled;
    }
    if (in.selected || in.checked) {
        return SkinLook::kPressed;
    }
    if (!in.hasNormal) {
        return SkinLook::kPlainFace;
    }
    if (in.hover && in.hasOver) {
        return SkinLook::kHover;
    }
    return in.focus && in.hasFocus ? SkinLook::kFocus : SkinLook::kNormal;
}

SkinTextColour CaptionColourFor(SkinLook look) {
    switch (look) {
    case SkinLook::kDisabled:
        return SkinTextColour::kGray;
    case SkinLook::kPressed:
        return SkinTextColour::kPressed;
    case SkinLook::kPlainFace:
        return SkinTextColour::kKeep;
    case SkinLook::kHover:
        return SkinTextColour::kHover;
    case SkinLook::kFocus:
    case SkinLook::kNormal:
        break;
    }
    return SkinTextColour::kNormal;
}

namespace {

void PlaceTwoLines(SkinCaption& c, int extraTop) {
    c.rect.top += 43 + extraTop;
    c.rect.bottom -= 5;
    c.format = kDtCenter | kDtWordBreak;
    c.draw = true;
}

} // namespace

SkinCaption LayoutSkinCaption(const SkinRect& item, SkinLook look, const SkinCaptionSettings& s) {
    int side = s.focusMargin + 2;
    SkinCaption c{false, false, {item.left + side, item.top, item.right - side, item.bottom}, 0};
    if (look == SkinLook::kDisabled) {
        if (s.align == kDtBottom) {
            c.rect.top -= 2;
            c.rect.bottom -= 5;
        }
        if (s.twoLine) {
            // The companion's extra room applies to enabled looks only.
            PlaceTwoLines(c, 0);
        } else if (s.drawCaption) {
            c.draw = true;
            c.embossed = true;
            c.format = s.align | kDtSingleLine | kDtCenter;
        }
        return c;
    }
    if (look == SkinLook::kPressed && s.shiftWhenPressed) {
        c.rect = {c.rect.left + 1, c.rect.top + 1, c.rect.right + 1, c.rect.bottom + 1};
    }
    if (s.twoLine) {
        PlaceTwoLines(c, s.hasCompanion ? 5 : 0);
        return c;
    }
    if (!s.drawCaption) {
        return c;
    }
    c.draw = true;
    if (s.align == kDtBottom) {
        c.rect.top -= 2;
        c.rect.bottom -= 5;
        c.format = kDtSingleLine | kDtBottom | kDtCenter;
    } else if (s.align == kDtVCenter && s.raised) {
        c.rect.top -= 3;
        c.format = kDtSingleLine | kDtVCenter | kDtCenter;
    } else {
        c.format = s.align | kDtSingleLine;
    }
    return c;
}
