// Layout of in-memory dialog templates: header fields, font block, item
// alignment and class/text encodings, read back independently of the writer.
#include "framework/dialog_template.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

class Reader {
public:
    explicit Reader(const std::vector<std::uint8_t>& b) : m_b(b) {}
    std::uint16_t Word() {
        EXPECT_LE(m_pos + 2, m_b.size());
        if (m_pos + 2 > m_b.size()) {
            m_pos = m_b.size();
            return 0;
        }
        std::uint16_t v = static_cast<std::uint16_t>(m_b[m_pos] | (m_b[m_pos + 1] << 8));
        m_pos += 2;
        return v;
    }
    std::uint32_t Dword() {
        std::uint32_t lo = Word();
        std::uint32_t hi = Word();
        return lo | (hi << 16);
    }
    std::uint8_t Byte() {
        EXPECT_LT(m_pos, m_b.size());
        return m_pos < m_b.size() ? m_b[m_pos++] : 0;
    }
    std::string Text() {
        std::string s;
        for (std::uint16_t c = Word(); c != 0 && m_pos < m_b.size(); c = Word()) {
            s.push_back(static_cast<char>(c));
        }
        return s;
    }
    void AlignDword() {
        while (m_pos % 4 != 0) {
            EXPECT_EQ(Byte(), 0) << "padding must be zero";
        }
    }
    std::size_t Pos() const { return m_pos; }

private:
    const std::vector<std::uint8_t>& m_b;
    std::size_t m_pos = 0;
};

const std::uint32_t kSetFont = 0x40;

TEST(DialogTemplateHeader, CarriesStylesGeometryTitleAndCount) {
    CDialogTemplate t(0x80C80000u, 0x40000u, 3, -4, 218, 90, "Sulvantix");
    t.AddControl(CDialogTemplate::kStatic, 1020, "Static", 0x50000001u, 32, 26, 163, 23);
    std::vector<std::uint8_t> bytes = t.Build();

    Reader r(bytes);
    EXPECT_EQ(r.Word(), 1);      // version
    EXPECT_EQ(r.Word(), 0xFFFF); // extended layout
    EXPECT_EQ(r.Dword(), 0u);    // help ID
    EXPECT_EQ(r.Dword(), 0x40000u);
    EXPECT_EQ(r.Dword(), 0x80C80000u);
    EXPECT_EQ(r.Word(), 1); // one control
    EXPECT_EQ(static_cast<short>(r.Word()), 3);
    EXPECT_EQ(static_cast<short>(r.Word()), -4);
    EXPECT_EQ(r.Word(), 218);
    EXPECT_EQ(r.Word(), 90);
    EXPECT_EQ(r.Word(), 0); // menu
    EXPECT_EQ(r.Word(), 0); // class
    EXPECT_EQ(r.Text(), "Sulvantix");
}

TEST(DialogTemplateHeader, FontBlockOnlyWithTheSetFontStyle) {
    CDialogTemplate without(0x80000000u, 0, 0, 0, 10, 10, "A");
    without.SetFont(9, "Tahoma");
    CDialogTemplate with(0x80000000u | kSetFont, 0, 0, 0, 10, 10, "A");
    with.SetFont(9, "Tahoma", 700, true, 204);

    std::vector<std::uint8_t> a = without.Build();
    std::vector<std::uint8_t> b = with.Build();
    // Header up to the title: 26 bytes, 2 + 2 empty sz_Or_Ord, "A" and its zero.
    EXPECT_EQ(a.size(), 26u + 4u + 4u);

    Reader r(b);
    for (int i = 0; i < 15; ++i) {
        r.Word();
    }
    EXPECT_EQ(r.Text(), "A");
    EXPECT_EQ(r.Word(), 9);
    EXPECT_EQ(r.Word(), 700);
    EXPECT_EQ(r.Byte(), 1);
    EXPECT_EQ(r.Byte(), 204);
    EXPECT_EQ(r.Text(), "Tahoma");
    EXPECT_EQ(r.Pos(), b.size());
}

TEST(DialogTemplateHeader, DefaultFontIsTheShellDialogFontAtEightPoints) {
    CDialogTemplate t(kSetFont, 0, 0, 0, 10, 10, "");
    std::vector<std::uint8_t> bytes = t.Build();
    Reader r(bytes);
    for (int i = 0; i < 15; ++i) {
        r.Word();
    }
    EXPECT_EQ(r.Text(), "");
    EXPECT_EQ(r.Word(), 8);
    r.Word();
    r.Byte();
    r.Byte();
    EXPECT_EQ(r.Text(), "MS Shell Dlg");
}

TEST(DialogTemplateItems, EachItemStartsOnADwordBoundary) {
    // Titles of odd and even lengths shift the following item differently.
    CDialogTemplate t(kSetFont, 0, 0, 0, 100, 100, "ab");
    t.AddControl(CDialogTemplate::kButton, 1, "OK", 0x50010001u, 1, 2, 3, 4);
    t.AddControl(CDialogTemplate::kEdit, 1006, "xyz", 0x50810080u, 5, 6, 7, 8, 0x200u);
    t.AddControl("SysIPAddress32", 1000, "", 0x50010000u, 9, 10, 11, 12);
    std::vector<std::uint8_t> bytes = t.Build();

    Reader r(bytes);
    for (int i = 0; i < 15; ++i) {
        r.Word();
    }
    r.Text();
    r.Word();
    r.Word();
    r.Byte();
    r.Byte();
    r.Text();

    struct Expected {
        std::uint32_t exStyle, style;
        short x, y, cx, cy;
        std::uint32_t id;
        std::uint16_t atom;
        std::string className, text;
    } expected[] = {
        {0, 0x50010001u, 1, 2, 3, 4, 1, 0x0080, "", "OK"},
        {0x200u, 0x50810080u, 5, 6, 7, 8, 1006, 0x0081, "", "xyz"},
        {0, 0x50010000u, 9, 10, 11, 12, 1000, 0, "SysIPAddress32", ""},
    };
    for (const Expected& e : expected) {
        r.AlignDword();
        EXPECT_EQ(r.Pos() % 4, 0u);
        EXPECT_EQ(r.Dword(), 0u); // help ID
        EXPECT_EQ(r.Dword(), e.exStyle);
        EXPECT_EQ(r.Dword(), e.style);
        EXPECT_EQ(static_cast<short>(r.Word()), e.x);
        EXPECT_EQ(static_cast<short>(r.Word()), e.y);
        EXPECT_EQ(static_cast<short>(r.Word()), e.cx);
        EXPECT_EQ(static_cast<short>(r.Word()), e.cy);
        EXPECT_EQ(r.Dword(), e.id);
        if (e.atom != 0) {
            EXPECT_EQ(r.Word(), 0xFFFF);
            EXPECT_EQ(r.Word(), e.atom);
        } else {
            EXPECT_EQ(r.Text(), e.className);
        }
        EXPECT_EQ(r.Text(), e.text);
        EXPECT_EQ(r.Word(), 0); // creation data
    }
    EXPECT_EQ(r.Pos(), bytes.size());
    EXPECT_EQ(t.ControlCount(), 3u);
}

TEST(DialogTemplateItems, TextsAreWidenedByteForByte) {
    CDialogTemplate t(0, 0, 0, 0, 1, 1, "\xE9t\xE9");
    std::vector<std::uint8_t> bytes = t.Build();
    ASSERT_GE(bytes.size(), 38u);
    EXPECT_EQ(bytes[30], 0xE9);
    EXPECT_EQ(bytes[31], 0x00);
    EXPECT_EQ(bytes[32], 't');
    EXPECT_EQ(bytes[34], 0xE9);
    EXPECT_EQ(bytes[36], 0);
    EXPECT_EQ(bytes[37], 0);
}

TEST(DialogTemplateItems, CountFieldLimitsTheControls) {
    CDialogTemplate t(0, 0, 0, 0, 1, 1, "");
    for (int i = 0; i < 65535; ++i) {
        ASSERT_TRUE(t.AddControl(CDialogTemplate::kStatic, static_cast<std::uint32_t>(i), "", 0, 0,
                                 0, 1, 1));
    }
    EXPECT_FALSE(t.AddControl(CDialogTemplate::kStatic, 1, "", 0, 0, 0, 1, 1));
    EXPECT_FALSE(t.AddControl("Button", 1, "", 0, 0, 0, 1, 1));
    EXPECT_EQ(t.ControlCount(), 65535u);
    std::vector<std::uint8_t> bytes = t.Build();
    EXPECT_EQ(bytes[16] | (bytes[17] << 8), 65535);
}

} // namespace
