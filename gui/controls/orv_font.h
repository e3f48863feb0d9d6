// The application's shared fonts: a font that finds its face by display
// language, checks the face is installed, falls back once, and the fourteen
// factory routines (seven size steps, each normal and bold).
#pragma once

#include <windows.h>

#include <array>
#include <memory>
#include <string>

#include "framework/gdi.h"

// The display-language index; nothing in the program changes it, so the
// language code is 8.
extern int g_nUiLanguage;

// Index 1 to 15 gives code index + 8, every other index 8.
int GetLanguageCode();

class COrvFont : public CFont {
public:
    explicit COrvFont(int languageCode);
    ~COrvFont() override;
    COrvFont(COrvFont&&) noexcept = default;
    COrvFont& operator=(COrvFont&&) noexcept = default;

    int GetLanguage() const { return m_nLanguageCode; }

    std::string GetFaceName(int code) const;
    // True when EnumFontFamiliesExA on the screen reports a font of that face.
    bool IsFontInstalled(const std::string& face) const;
    // The fallback code when its face is installed, otherwise 0.
    int GetFallbackLanguage() const;
    // 1 gives bold (700), anything else normal (400).
    int GetWeight(int weightCode) const;
    // Creates the font of the code's face (or the fallback's); positive
    // heights are cell heights. False when no face is installed.
    bool CreateForLanguage(int code, int height, int weightCode);

private:
    int m_nLanguageCode;
};

// Each returns a new font owned by the caller, or none when no face fits.
std::unique_ptr<COrvFont> CreateFontStep1Normal();
std::unique_ptr<COrvFont> CreateFontStep1Bold();
std::unique_ptr<COrvFont> CreateFontStep2Normal();
std::unique_ptr<COrvFont> CreateFontStep2Bold();
std::unique_ptr<COrvFont> CreateFontStep3Normal();
std::unique_ptr<COrvFont> CreateFontStep3Bold();
std::unique_ptr<COrvFont> CreateFontStep4Normal();
std::unique_ptr<COrvFont> CreateFontStep4Bold();
std::unique_ptr<COrvFont> CreateFontStep5Normal();
std::unique_ptr<COrvFont> CreateFontStep5Bold();
std::unique_ptr<COrvFont> CreateFontStep6Normal();
std::unique_ptr<COrvFont> CreateFontStep6Bold();
std::unique_ptr<COrvFont> CreateFontStep7Normal();
std::unique_ptr<COrvFont> CreateFontStep7Bold();

// The fourteen routines in the application's slot order (slot 1 first).
using SharedFontFactory = std::unique_ptr<COrvFont> (*)();
extern const std::array<SharedFontFactory, 14> kSharedFontFactories;
