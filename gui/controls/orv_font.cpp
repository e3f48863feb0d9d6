#include "gui/controls/orv_font.h"

#include <cstring>

#include "gui/controls/orv_font_rules.h"

int g_nUiLanguage = controls::kUiLanguageIndex;

int GetLanguageCode() {
    return controls::LanguageCodeFor(g_nUiLanguage);
}

namespace {

int CALLBACK StopAtFirstFace(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

std::unique_ptr<COrvFont> MakeSharedFont(int sizeStep, int weightCode) {
    try {
        const int code = GetLanguageCode();
        auto font = std::make_unique<COrvFont>(code);
        if (!font->CreateForLanguage(code, controls::FactoryHeightFor(sizeStep, code),
                                     weightCode)) {
            return nullptr;
        }
        return font;
    } catch (...) {
        return nullptr;
    }
}

} // namespace

COrvFont::COrvFont(int languageCode) : m_nLanguageCode(languageCode) {}

COrvFont::~COrvFont() = default;

std::string COrvFont::GetFaceName(int code) const {
    try {
        return controls::FaceNameFor(code);
    } catch (...) {
        return std::string();
    }
}

bool COrvFont::IsFontInstalled(const std::string& face) const {
    // An empty name would enumerate every family; a name longer than a LOGFONT
    // holds would be looked up cut short.
    if (face.empty() || face.size() >= LF_FACESIZE) {
        return false;
    }
    LOGFONTA lf{};
    lf.lfCharSet = DEFAULT_CHARSET;
    std::memcpy(lf.lfFaceName, face.data(), face.size());
    const ScopedGetDC screen(nullptr);
    if (screen.Get() == nullptr) {
        return false;
    }
    bool found = false;
    ::EnumFontFamiliesExA(screen, &lf, StopAtFirstFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

int COrvFont::GetFallbackLanguage() const {
    const int candidate = controls::FallbackCandidateFor(m_nLanguageCode);
    return IsFontInstalled(GetFaceName(candidate)) ? candidate : 0;
}

int COrvFont::GetWeight(int weightCode) const {
    return controls::WeightFor(weightCode);
}

bool COrvFont::CreateForLanguage(int code, int height, int weightCode) {
    try {
        std::string face = GetFaceName(code);
        if (face.empty()) {
            return false;
        }
        if (!IsFontInstalled(face)) {
            const int fallback = GetFallbackLanguage();
            if (fallback == 0) {
                return false;
            }
            m_nLanguageCode = fallback;
            face = GetFaceName(fallback);
            if (face.empty() || face.size() >= LF_FACESIZE) {
                return false;
            }
        }
        LOGFONTA lf{};
        lf.lfHeight = height;
        lf.lfWeight = GetWeight(weightCode);
        std::memcpy(lf.lfFaceName, face.data(), face.size());
        return CreateFontIndirect(&lf);
    } catch (...) {
        return false;
    }
}

std::unique_ptr<COrvFont> CreateFontStep1Normal() {
    return MakeSharedFont(1, controls::kWeightCodeNormal);
}
std::unique_ptr<COrvFont> CreateFontStep1Bold() {
    return MakeSharedFont(1, controls::kWeightCodeBold);
}
std::unique_ptr<COrvFont> CreateFontStep2Normal() {
    return MakeSharedFont(2, controls::kWeightCodeNormal);
}
std::unique_ptr<COrvFont> CreateFontStep2Bold() {
    return MakeSharedFont(2, controls::kWeightCodeBold);
}
std::unique_ptr<COrvFont> CreateFontStep3Normal() {
    return MakeSharedFont(3, controls::kWeightCodeNormal);
}
std::unique_ptr<COrvFont> CreateFontStep3Bold() {
    return MakeSharedFont(3, controls::kWeightCodeBold);
}
std::unique_ptr<COrvFont> CreateFontStep4Normal() {
    return MakeSharedFont(4, controls::kWeightCodeNormal);
}
std::unique_ptr<COrvFont> CreateFontStep4Bold() {
    return MakeSharedFont(4, controls::kWeightCodeBold);
}
std::unique_ptr<COrvFont> CreateFontStep5Normal() {
    return MakeSharedFont(5, controls::kWeightCodeNormal);
}
std::unique_ptr<COrvFont> CreateFontStep5Bold() {
    return MakeSharedFont(5, controls::kWeightCodeBold);
}
std::unique_ptr<COrvFont> CreateFontStep6Normal() {
    return MakeSharedFont(6, controls::kWeightCodeNormal);
}
std::unique_ptr<COrvFont> CreateFontStep6Bold() {
    return MakeSharedFont(6, controls::kWeightCodeBold);
}
std::unique_ptr<COrvFont> CreateFontStep7Normal() {
    return MakeSharedFont(7, controls::kWeightCodeNormal);
}
std::unique_ptr<COrvFont> CreateFontStep7Bold() {
    return MakeSharedFont(7, controls::kWeightCodeBold);
}

const std::array<SharedFontFactory, 14> kSharedFontFactories = {
    CreateFontStep1Normal, CreateFontStep1Bold, CreateFontStep2Normal, CreateFontStep2Bold,
    CreateFontStep3Normal, CreateFontStep3Bold, CreateFontStep4Normal, CreateFontStep4Bold,
    CreateFontStep5Normal, CreateFontStep5Bold, CreateFontStep6Normal, CreateFontStep6Bold,
    CreateFontStep7Normal, CreateFontStep7Bold,
};
