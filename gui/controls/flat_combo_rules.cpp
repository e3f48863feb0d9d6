#include "gui/controls/flat_combo_rules.h"

namespace controls {

namespace {

FrameRect Deflated(FrameRect r, int by) {
    return FrameRect{r.left + by, r.top + by, r.right - by, r.bottom - by};
}

} // namespace

std::vector<FrameRing> FlatComboFrames(FrameRect client, int dropButtonWidth, bool enabled,
                                       FlatComboState state, std::uint32_t topLeft,
                                       std::uint32_t bottomRight, const FlatComboColours& colours) {
    const std::uint32_t face = colours.face;
    const std::uint32_t highlight = colours.highlight;
    std::vector<FrameRing> rings;
    rings.reserve(6);

    FrameRect r = client;
    rings.push_back({r, topLeft, bottomRight});

    // The system's sunken border is painted over; a disabled control keeps a
    // light inner ring.
    r = Deflated(r, 1);
    const std::uint32_t second = enabled ? face : highlight;
    rings.push_back({r, second, second});

    r = Deflated(r, 1);
    r.left = r.right - dropButtonWidth;
    rings.push_back({r, face, face});

    r = Deflated(r, 1);
    rings.push_back({r, face, face});

    if (!enabled) {
        return rings;
    }
    r.top -= 1;
    r.bottom += 1;
    switch (state) {
    case FlatComboState::kFlat:
        rings.push_back({r, highlight, highlight});
        r.left -= 1;
        rings.push_back({r, highlight, highlight});
        break;
    case FlatComboState::kRaised:
        rings.push_back({r, highlight, colours.shadow});
        break;
    case FlatComboState::kPressed:
        r.left += 1;
        r.right += 1;
        r.top += 1;
        r.bottom += 1;
        rings.push_back({r, colours.shadow, highlight});
        break;
    }
    return rings;
}

HoverStep DecideHoverStep(bool buttonDown, bool cursorInside, bool focused, bool hotDrawn) {
    HoverStep step;
    if (buttonDown || (!cursorInside && !focused)) {
        // Polling ends: the pressed look replaces a raised one, or the cursor
        // has gone and the flat look comes back.
        step.killTimer = true;
        if (hotDrawn) {
            step.draw = buttonDown ? FlatComboState::kPressed : FlatComboState::kFlat;
        }
        step.hotDrawn = false;
        return step;
    }
    step.hotDrawn = true;
    if (!hotDrawn) {
        step.draw = FlatComboState::kRaised;
        step.passToDefault = true;
    }
    return step;
}

std::optional<EditSelection> EditSelectionFromResult(std::int64_t result) {
    // CB_ERR is -1; read as a 32-bit answer on either bitness.
    const std::uint32_t bits = static_cast<std::uint32_t>(result);
    if (bits == 0xFFFFFFFFu) {
        return std::nullopt;
    }
    return EditSelection{static_cast<int>(bits & 0xFFFFu), static_cast<int>(bits >> 16)};
}

AutoCompletePlan PlanAutoComplete(int typedLength, std::optional<EditSelection> selection,
                                  bool matched) {
    AutoCompletePlan plan;
    if (!matched) {
        plan.restoreText = true;
        plan.restoreSelection = selection;
    }
    if (selection && selection->end < typedLength) {
        // The user is editing inside the text: the caret stays there.
        plan.finalSelection = *selection;
    } else {
        // Select the completed tail, so further typing replaces it.
        plan.finalSelection = EditSelection{typedLength, -1};
    }
    return plan;
}

} // namespace controls
