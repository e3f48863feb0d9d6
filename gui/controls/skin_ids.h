// Resource identifiers of the skins: the JPEG pictures (type "JPGTYPE") and
// the button bitmaps, by display class where they differ.
#pragma once

// Main window backgrounds at display classes 96, 120 and 98120.
inline constexpr unsigned IDR_BACKGROUND_96 = 172;
inline constexpr unsigned IDR_BACKGROUND_120 = 222;
inline constexpr unsigned IDR_BACKGROUND_98120 = 223;
// Message box backgrounds at the same classes.
inline constexpr unsigned IDR_MESSAGE_BACKGROUND_96 = 224;
inline constexpr unsigned IDR_MESSAGE_BACKGROUND_120 = 225;
inline constexpr unsigned IDR_MESSAGE_BACKGROUND_98120 = 226;

// One button's bitmaps, in SetSkin's order; 0 is none.
struct CSkinIds {
    unsigned normal, down, over, disabled, focus, mask;
};
inline constexpr CSkinIds kSkinStart = {176, 177, 174, 175, 0, 0};
inline constexpr CSkinIds kSkinStop = {203, 201, 204, 202, 0, 0};
inline constexpr CSkinIds kSkinAdd = {182, 183, 183, 184, 0, 229};
inline constexpr CSkinIds kSkinRemove = {187, 186, 186, 188, 0, 229};
inline constexpr CSkinIds kSkinUpdate = {200, 219, 219, 199, 0, 229};
inline constexpr CSkinIds kSkinVettor = {192, 191, 191, 193, 0, 230};
inline constexpr CSkinIds kSkinHidden = {196, 197, 197, 195, 0, 0};
inline constexpr CSkinIds kSkinHelp = {205, 206, 206, 0, 0, 0};
inline constexpr CSkinIds kSkinMinimise = {209, 210, 210, 0, 0, 0};
inline constexpr CSkinIds kSkinClose = {207, 208, 208, 0, 0, 0};
inline constexpr CSkinIds kSkinMessageOK = {217, 218, 218, 216, 0, 229};

// The captions of the skinned buttons: RGB(30, 144, 255) in every state.
inline constexpr unsigned long kSkinCaptionColour = 0xFF901E;

// SetSkin with one button's bitmaps; draw mode, border and focus margin 0.
template <class Button> void ApplySkin(Button& button, const CSkinIds& ids) {
    button.SetSkin(ids.normal, ids.down, ids.over, ids.disabled, ids.focus, ids.mask, 0, 0, 0);
}
