#include "gui/controls/orv_font_rules.h"

namespace controls {

int LanguageCodeFor(int uiLanguageIndex) {
    if (uiLanguageIndex >= 1 && uiLanguageIndex <= 15) {
        return uiLanguageIndex + 8;
    }
    return 8;
}

std::string FaceNameFor(int code) {
    switch (code) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 6:
    case 7:
    case 8:
    case 9:
        return "Calibri";
    case 5:
        return "Crystal";
    case 10:
    case 11:
    case 12:
    case 13:
    case 21:
    case 22:
    case 23:
        return "Arial";
    case 14:
    case 15:
        return "Mangal";
    case 16:
        return "Saumil_guj2";
    case 17:
        return "BRH Telugu RN";
    case 18:
        return "TAMLKamban";
    case 19:
        return "BRH Amerikannada";
    case 20:
        return "Kalpurush";
    default:
        return std::string();
    }
}

int FallbackCandidateFor(int ownCode) {
    return ownCode == 1 ? 2 : 1;
}

int WeightFor(int weightCode) {
    return weightCode == kWeightCodeBold ? kWeightBold : kWeightNormal;
}

int BaseHeightFor(int sizeStep) {
    return 14 + sizeStep;
}

int HeightFor(int sizeStep, int code, bool highDpi, bool newWindows) {
    const int b = BaseHeightFor(sizeStep);
    // Columns: normal/not new, normal/new, high/not new, high/new.
    auto pick = [&](int normalOld, int normalNew, int highOld, int highNew) {
        if (highDpi) {
            return newWindows ? highNew : highOld;
        }
        return newWindows ? normalNew : normalOld;
    };
    switch (code) {
    case 8:
    case 9:
    case 10:
    case 11:
    case 12:
    case 13:
    case 23:
        return pick(b, b, b + 2, b + 2);
    case 14:
    case 15:
        return pick(-15, 18, 17, 20);
    case 16:
        return pick(-15, -15, 16, -16);
    case 17:
    case 19:
        return pick(-16, -18, -18, 24);
    case 18:
        return pick(-15, -15, 16, 18);
    case 20:
        return pick(18, 18, 20, 20);
    case 21:
    case 22:
        return pick(14, 14, 18, 18);
    default:
        return b;
    }
}

bool IsNewWindowsName(const std::string& windowsName) {
    for (const char* name : {"Windows Vista", "Windows 7", "Windows 8"}) {
        if (windowsName.find(name) != std::string::npos) {
            return true;
        }
    }
    return false;
}

int FactoryHeightFor(int sizeStep, int code) {
    // The Windows name the height table looks at is never filled.
    const std::string unfilledWindowsName;
    return HeightFor(sizeStep, code, kFontDpi > 96, IsNewWindowsName(unfilledWindowsName));
}

} // namespace controls
