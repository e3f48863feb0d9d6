// The shared fonts' tables: face name by display-language code, the fallback
// code, weights, the language code of the UI index, and the heights of the
// fourteen shared fonts. COrvFont asks EnumFontFamiliesExA whether a face is
// installed and creates the LOGFONT these functions describe.
#pragma once

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

} // namespace controls
