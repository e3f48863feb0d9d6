#include "framework/dialog_init_data.h"

#include <algorithm>
#include <utility>

namespace {

std::uint16_t ReadWord(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::uint32_t ReadDword(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(ReadWord(p)) |
           (static_cast<std::uint32_t>(ReadWord(p + 2)) << 16);
}

} // namespace

bool ParseDialogInitData(const std::uint8_t* data, std::size_t size,
                         std::vector<DialogInitString>& strings) {
    strings.clear();
    if (data == nullptr) {
        return false;
    }
    std::vector<DialogInitString> found;
    std::size_t pos = 0;
    for (;;) {
        if (size - pos < 2) {
            return false;
        }
        const std::uint16_t controlId = ReadWord(data + pos);
        if (controlId == 0) {
            break;
        }
        // Header: id, message, length.
        if (size - pos < 8) {
            return false;
        }
        const std::uint16_t message = ReadWord(data + pos + 2);
        const std::uint32_t length = ReadDword(data + pos + 4);
        pos += 8;
        if (length > size - pos) {
            return false;
        }
        const std::uint8_t* bytes = data + pos;
        pos += length;
        if (message != kDialogInitListBoxAddString && message != kDialogInitComboBoxAddString) {
            continue;
        }
        const std::uint8_t* end = std::find(bytes, bytes + length, std::uint8_t{0});
        if (end == bytes + length) {
            return false;
        }
        DialogInitString s;
        s.controlId = controlId;
        s.target = message == kDialogInitListBoxAddString ? DialogInitString::Target::kListBox
                                                          : DialogInitString::Target::kComboBox;
        s.text.assign(reinterpret_cast<const char*>(bytes), static_cast<std::size_t>(end - bytes));
        found.push_back(std::move(s));
    }
    strings = std::move(found);
    return true;
}
