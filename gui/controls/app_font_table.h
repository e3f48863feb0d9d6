// The application's fourteen fonts (seven size steps, each regular then
// bold), owned by the application object and found by the program's windows
// through Current() while it lives. Entry 7 is the hint and message text,
// 8 the field labels, 12 the captions of the skinned buttons.
#pragma once

#include <windows.h>

#include <array>
#include <atomic>
#include <memory>

#include "gui/controls/orv_font.h"

class CAppFontTable {
public:
    static constexpr int kEntries = 14;

    CAppFontTable();
    ~CAppFontTable();
    CAppFontTable(const CAppFontTable&) = delete;
    CAppFontTable& operator=(const CAppFontTable&) = delete;

    // Fills entries 1 to 14 in order; a font already in a slot is deleted and
    // the slot cleared first. A font that cannot be made leaves its slot empty.
    void Create();
    // Deletes every font, emptying each slot.
    void DeleteAll();

    // The font of entry 1..14, or null (the control then keeps the system font).
    HFONT Font(int entry) const;
    // The table of the running application, or null.
    static const CAppFontTable* Current() { return s_pCurrent.load(); }

private:
    std::array<std::unique_ptr<COrvFont>, kEntries> m_apFonts;
    static std::atomic<const CAppFontTable*> s_pCurrent;
};

// The font of `entry` in the running application's table, or null.
HFONT AppFont(int entry);

// The display-scaling class the application measured at start (96, 120 or
// 98120); 96 until then.
extern std::atomic<unsigned> g_nAppDpiValue;
