// Extended dialog templates (the layout of DIALOGEX resources) built in memory,
// for dialogs made at run time. Portable: no Windows header, plain numbers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class CDialogTemplate {
public:
    // Ordinal atoms of the predefined control classes.
    enum : std::uint16_t {
        kButton = 0x0080,
        kEdit = 0x0081,
        kStatic = 0x0082,
        kListBox = 0x0083,
        kScrollBar = 0x0084,
        kComboBox = 0x0085,
    };
    // The style bit that makes the template carry a font.
    static constexpr std::uint32_t kSetFontStyle = 0x40;

    // Texts are ASCII (Latin-1 at most); the template stores them as UTF-16.
    CDialogTemplate(std::uint32_t style, std::uint32_t exStyle, short x, short y, short cx,
                    short cy, const std::string& title);

    // Used only when the style carries kSetFontStyle; default "MS Shell Dlg", 8 points.
    void SetFont(std::uint16_t pointSize, const std::string& face, std::uint16_t weight = 0,
                 bool italic = false, std::uint8_t charset = 1);

    // False once the template holds 65535 controls, the most its count field can say.
    bool AddControl(std::uint16_t classAtom, std::uint32_t id, const std::string& text,
                    std::uint32_t style, short x, short y, short cx, short cy,
                    std::uint32_t exStyle = 0);
    bool AddControl(const std::string& className, std::uint32_t id, const std::string& text,
                    std::uint32_t style, short x, short y, short cx, short cy,
                    std::uint32_t exStyle = 0);

    std::size_t ControlCount() const { return m_items.size(); }

    // The template bytes. The vector's storage is suitably aligned for the system
    // (items are DWORD-aligned relative to its start).
    std::vector<std::uint8_t> Build() const;

private:
    struct Item {
        std::uint16_t classAtom = 0; // 0: the class is named by className
        std::string className;
        std::uint32_t id = 0;
        std::string text;
        std::uint32_t style = 0;
        std::uint32_t exStyle = 0;
        short x = 0, y = 0, cx = 0, cy = 0;
    };

    std::uint32_t m_style;
    std::uint32_t m_exStyle;
    short m_x, m_y, m_cx, m_cy;
    std::string m_title;
    std::uint16_t m_pointSize = 8;
    std::uint16_t m_weight = 0;
    bool m_italic = false;
    std::uint8_t m_charset = 1;
    std::string m_face = "MS Shell Dlg";
    std::vector<Item> m_items;
};
