#include "gui/controls/app_font_table.h"

std::atomic<const CAppFontTable*> CAppFontTable::s_pCurrent{nullptr};
std::atomic<unsigned> g_nAppDpiValue{96};

CAppFontTable::CAppFontTable() {
    const CAppFontTable* expected = nullptr;
    s_pCurrent.compare_exchange_strong(expected, this);
}

CAppFontTable::~CAppFontTable() {
    const CAppFontTable* expected = this;
    s_pCurrent.compare_exchange_strong(expected, nullptr);
    DeleteAll();
}

void CAppFontTable::Create() {
    for (int i = 0; i < kEntries; ++i) {
        m_apFonts[i].reset();
        try {
            m_apFonts[i] = kSharedFontFactories[i]();
        } catch (...) {
            m_apFonts[i].reset();
        }
    }
}

void CAppFontTable::DeleteAll() {
    for (std::unique_ptr<COrvFont>& font : m_apFonts) {
        font.reset();
    }
}

HFONT CAppFontTable::Font(int entry) const {
    if (entry < 1 || entry > kEntries || !m_apFonts[entry - 1]) {
        return nullptr;
    }
    return static_cast<HFONT>(m_apFonts[entry - 1]->GetSafeHandle());
}

HFONT AppFont(int entry) {
    const CAppFontTable* table = CAppFontTable::Current();
    return table != nullptr ? table->Font(entry) : nullptr;
}
