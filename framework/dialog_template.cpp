#include "framework/dialog_template.h"

#include <limits>

namespace {

class ByteWriter {
public:
    void Word(std::uint16_t v) {
        m_bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
        m_bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    void Dword(std::uint32_t v) {
        Word(static_cast<std::uint16_t>(v & 0xFFFF));
        Word(static_cast<std::uint16_t>(v >> 16));
    }
    void Short(short v) { Word(static_cast<std::uint16_t>(v)); }
    void Byte(std::uint8_t v) { m_bytes.push_back(v); }
    // Zero-terminated UTF-16; each byte of the ASCII text is one code unit.
    void Text(const std::string& s) {
        for (char c : s) {
            Word(static_cast<unsigned char>(c));
        }
        Word(0);
    }
    void AlignDword() {
        while (m_bytes.size() % 4 != 0) {
            m_bytes.push_back(0);
        }
    }
    std::vector<std::uint8_t> Take() { return std::move(m_bytes); }

private:
    std::vector<std::uint8_t> m_bytes;
};

} // namespace

CDialogTemplate::CDialogTemplate(std::uint32_t style, std::uint32_t exStyle, short x, short y,
                                 short cx, short cy, const std::string& title)
    : m_style(style), m_exStyle(exStyle), m_x(x), m_y(y), m_cx(cx), m_cy(cy), m_title(title) {}

void CDialogTemplate::SetFont(std::uint16_t pointSize, const std::string& face,
                              std::uint16_t weight, bool italic, std::uint8_t charset) {
    m_pointSize = pointSize;
    m_face = face;
    m_weight = weight;
    m_italic = italic;
    m_charset = charset;
}

bool CDialogTemplate::AddControl(std::uint16_t classAtom, std::uint32_t id, const std::string& text,
                                 std::uint32_t style, short x, short y, short cx, short cy,
                                 std::uint32_t exStyle) {
    if (m_items.size() >= std::numeric_limits<std::uint16_t>::max()) {
        return false;
    }
    Item item;
    item.classAtom = classAtom;
    item.id = id;
    item.text = text;
    item.style = style;
    item.exStyle = exStyle;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    m_items.push_back(std::move(item));
    return true;
}

bool CDialogTemplate::AddControl(const std::string& className, std::uint32_t id,
                                 const std::string& text, std::uint32_t style, short x, short y,
                                 short cx, short cy, std::uint32_t exStyle) {
    if (!AddControl(0, id, text, style, x, y, cx, cy, exStyle)) {
        return false;
    }
    m_items.back().className = className;
    return true;
}

std::vector<std::uint8_t> CDialogTemplate::Build() const {
    ByteWriter w;
    w.Word(1);      // template version
    w.Word(0xFFFF); // marks the extended layout
    w.Dword(0);     // help ID
    w.Dword(m_exStyle);
    w.Dword(m_style);
    w.Word(static_cast<std::uint16_t>(m_items.size()));
    w.Short(m_x);
    w.Short(m_y);
    w.Short(m_cx);
    w.Short(m_cy);
    w.Word(0); // no menu
    w.Word(0); // the system's dialog class
    w.Text(m_title);
    if ((m_style & kSetFontStyle) != 0) {
        w.Word(m_pointSize);
        w.Word(m_weight);
        w.Byte(m_italic ? 1 : 0);
        w.Byte(m_charset);
        w.Text(m_face);
    }
    for (const Item& item : m_items) {
        w.AlignDword();
        w.Dword(0); // help ID
        w.Dword(item.exStyle);
        w.Dword(item.style);
        w.Short(item.x);
        w.Short(item.y);
        w.Short(item.cx);
        w.Short(item.cy);
        w.Dword(item.id);
        if (item.classAtom != 0) {
            w.Word(0xFFFF);
            w.Word(item.classAtom);
        } else {
            w.Text(item.className);
        }
        w.Text(item.text);
        w.Word(0); // no creation data
    }
    return w.Take();
}
