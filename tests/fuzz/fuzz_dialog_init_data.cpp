// ParseDialogInitData over exactly-sized copies of the input (and of a
// prefix of it), so any read past the given size is caught; its answer is
// compared with a plain reading of the record layout written here.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "framework/dialog_init_data.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

struct Model {
    bool accepted = false;
    std::vector<DialogInitString> strings;
};

Model ModelParse(const std::uint8_t* data, std::size_t size) {
    Model model;
    std::size_t pos = 0;
    const auto word = [&](std::size_t at) {
        return static_cast<unsigned>(data[at]) | static_cast<unsigned>(data[at + 1]) << 8;
    };
    for (;;) {
        if (pos + 2 > size) {
            return Model();
        }
        const unsigned id = word(pos);
        if (id == 0) {
            model.accepted = true;
            return model;
        }
        if (pos + 8 > size) {
            return Model();
        }
        const unsigned message = word(pos + 2);
        const std::uint64_t length = word(pos + 4) | static_cast<std::uint64_t>(word(pos + 6))
                                                         << 16;
        pos += 8;
        if (pos + length > size) {
            return Model();
        }
        const auto* text = reinterpret_cast<const char*>(data + pos);
        pos += static_cast<std::size_t>(length);
        if (message != 0x0401 && message != 0x0403) {
            continue;
        }
        const std::size_t textLength = strnlen(text, static_cast<std::size_t>(length));
        if (textLength == length) {
            return Model();
        }
        DialogInitString s;
        s.controlId = static_cast<std::uint16_t>(id);
        s.target = message == 0x0401 ? DialogInitString::Target::kListBox
                                     : DialogInitString::Target::kComboBox;
        s.text.assign(text, textLength);
        model.strings.push_back(s);
    }
}

void CheckOne(const std::uint8_t* source, std::size_t size) {
    // A heap copy of exactly `size` bytes: a byte past it is out of bounds.
    std::unique_ptr<std::uint8_t[]> copy(new std::uint8_t[size == 0 ? 1 : size]);
    if (size > 0) {
        std::memcpy(copy.get(), source, size);
    }
    std::vector<DialogInitString> strings(1);
    const bool accepted = ParseDialogInitData(copy.get(), size, strings);
    const Model model = ModelParse(copy.get(), size);
    FUZZ_CHECK(accepted == model.accepted);
    FUZZ_CHECK(strings.size() == model.strings.size());
    for (std::size_t i = 0; i < strings.size(); ++i) {
        FUZZ_CHECK(strings[i].controlId == model.strings[i].controlId);
        FUZZ_CHECK(strings[i].controlId != 0);
        FUZZ_CHECK(strings[i].target == model.strings[i].target);
        FUZZ_CHECK(strings[i].text == model.strings[i].text);
        FUZZ_CHECK(strings[i].text.find('\0') == std::string::npos);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<DialogInitString> strings(1);
    FUZZ_CHECK(!ParseDialogInitData(nullptr, size, strings) && strings.empty());
    CheckOne(data, size);
    // Cut-short data: the last byte's value picks where.
    if (size > 1) {
        CheckOne(data, data[size - 1] % size);
    }
    return 0;
}
