#include "gui/controls/skin_button_rules.h"

#include <algorithm>

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

SkinCaption LayoutSkinCaption(const SkinRect& item, SkinLook look, short focusMargin) {
    const int side = focusMargin + 2;
    SkinCaption c{look == SkinLook::kDisabled,
                  {item.left + side, item.top, item.right - side, item.bottom}};
    if (look == SkinLook::kPressed) {
        c.rect = {c.rect.left + 1, c.rect.top + 1, c.rect.right + 1, c.rect.bottom + 1};
    }
    return c;
}

void FindMaskRuns(int width, int height, const std::function<bool(int x, int y)>& isOpaque,
                  CMaskRunList& runs) {
    for (int y = height - 1; y >= 0; --y) {
        int start = -1;
        for (int x = 0; x < width; ++x) {
            bool opaque = isOpaque(x, y);
            if (opaque && start < 0) {
                start = x;
            } else if (!opaque && start >= 0) {
                runs.Add(SkinRect{start, y, x, y + 1});
                start = -1;
            }
        }
        if (start >= 0) {
            runs.Add(SkinRect{start, y, width, y + 1});
        }
    }
}

std::vector<SkinRect> TileRects(const SkinRect& area, int tileWidth, int tileHeight) {
    std::vector<SkinRect> tiles;
    // A tile without area would never advance.
    if (tileWidth <= 0 || tileHeight <= 0) {
        return tiles;
    }
    for (int y = area.top; y < area.bottom; y += tileHeight) {
        for (int x = area.left; x < area.right; x += tileWidth) {
            tiles.push_back(SkinRect{x, y, std::min(x + tileWidth, area.right),
                                     std::min(y + tileHeight, area.bottom)});
        }
    }
    return tiles;
}
