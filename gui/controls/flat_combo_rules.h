// The flat combo box's decisions over plain values: which one-pixel frames a
// state paints, what a hover poll does, and how typed text is completed.
// Portable; flat_combo_box.cpp carries them out with GDI and combo messages.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace controls {

enum class FlatComboState {
    kFlat = 1,
    kRaised = 2,
    kPressed = 3,
};

struct FrameRect {
    int left, top, right, bottom;
};

// One Draw3dRect: top and left edges in topLeft, bottom and right in bottomRight.
struct FrameRing {
    FrameRect rect;
    std::uint32_t topLeft;
    std::uint32_t bottomRight;
};

struct FlatComboColours {
    std::uint32_t highlight;
    std::uint32_t shadow;
    std::uint32_t face;
};

// The frames DrawCombo paints, in order: the outer ring in the caller's
// colours, the second ring painted over (highlight while disabled), two rings
// over the drop-button area, then, only while enabled, the button's flat,
// raised or pressed edge.
std::vector<FrameRing> FlatComboFrames(FrameRect client, int dropButtonWidth, bool enabled,
                                       FlatComboState state, std::uint32_t topLeft,
                                       std::uint32_t bottomRight, const FlatComboColours& colours);

// What one poll of the hover timer does.
struct HoverStep {
    bool killTimer = false;
    std::optional<FlatComboState> draw; // DrawCombo in this state, if any
    bool hotDrawn = false;              // the flag afterwards
    bool passToDefault = false;         // the timer message goes on to the control
};

HoverStep DecideHoverStep(bool buttonDown, bool cursorInside, bool focused, bool hotDrawn);

struct EditSelection {
    int start;
    int end;
};

// CB_GETEDITSEL's answer: start in the low word, end in the high word, or
// CB_ERR (no edit field), which gives nothing.
std::optional<EditSelection> EditSelectionFromResult(std::int64_t result);

// Auto-complete after the edit field changed and CB_SELECTSTRING searched
// the list for the typed text.
struct AutoCompletePlan {
    bool restoreText = false;                      // no match: put the typed text back
    std::optional<EditSelection> restoreSelection; // CB_SETEDITSEL right after that
    EditSelection finalSelection{0, 0};            // CB_SETEDITSEL last; end -1: to the end
};

AutoCompletePlan PlanAutoComplete(int typedLength, std::optional<EditSelection> selection,
                                  bool matched);

} // namespace controls
