// The font tables: face name by display-language code, the fallback code,
// weights, the language code of the UI index, and the heights of the fourteen
// shared fonts. The Win32 font object asks EnumFontFamiliesExA whether a face
// is installed and creates the LOGFONT these functions describe.
#pragma once

#include <array>
#include <functional>
#include <string>

namespace controls {

constexpr int kWeightNormal = 400; // FW_NORMAL
constexpr int kWeightBold = 700;   // FW_BOLD
constexpr int kWeightCodeNormal = 0;
constexpr int kWeightCodeBold = 1;

// Process-wide inputs nothing in the program changes: the UI language index
// (so the language code is always 8) and the font resolution (96, not high).
constexpr int kUiLanguageIndex = 0;
constexpr unsigned kFontDpi = 96;

// Index 1 to 15 gives code index + 8, every other index 8.
int LanguageCodeFor(int uiLanguageIndex);

// The face of a code, or empty when the code has none.
std::string FaceNameFor(int code);

// The code GetFallbackLanguage tries for an object of this code: 1, or 2 for
// an object that already is code 1.
int FallbackCandidateFor(int ownCode);

// The fallback code when its face is installed, otherwise 0.
int FallbackLanguageFor(int ownCode, const std::function<bool(const std::string&)>& isInstalled);

// Weight code 1 is bold, every other code normal.
int WeightFor(int weightCode);

// The cell heights of the shared fonts: 14 + size step.
int BaseHeightFor(int sizeStep);

// Height by size step and code. highDpi: the font resolution is above 96;
// newWindows: the Windows name names Vista, 7 or 8. Negative heights ask for
// the character height, positive ones for the cell height.
int HeightFor(int sizeStep, int code, bool highDpi, bool newWindows);

// True when a Windows name counts as new for the height table.
bool IsNewWindowsName(const std::string& windowsName);

// The height the factories use: the program's own font resolution and a
// Windows name that nothing fills.
int FactoryHeightFor(int sizeStep, int code);

// One of the fourteen factory routines, in the application's slot order.
struct FontFactoryRow {
    int slot;
    int sizeStep;
    int weightCode;
};
extern const std::array<FontFactoryRow, 14> kFontFactories;

// What CreateForLanguage asks of CreateFontIndirect, after the face check.
struct FontRequest {
    bool ok = false; // false: no face, or neither the face nor a fallback is installed
    int code = 0;    // the object's code afterwards (the fallback code when it fell back)
    std::string face;
    int height = 0;
    int weight = 0;
};
FontRequest PlanFont(int code, int height, int weightCode,
                     const std::function<bool(const std::string&)>& isInstalled);

} // namespace controls
