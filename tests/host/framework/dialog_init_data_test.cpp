// Dialog initialisation data: the records as the resource compiler lays them
// out, read back in order; anything cut short or unterminated is refused
// whole. Each case reads from a buffer of exactly the data's size, so the
// native sanitizer build catches a read past the end.
#include "framework/dialog_init_data.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace {

using Target = DialogInitString::Target;

class Records {
public:
    Records& Add(std::uint16_t id, std::uint16_t message, const std::string& bytes) {
        return AddWithLength(id, message, static_cast<std::uint32_t>(bytes.size()), bytes);
    }
    Records& AddWithLength(std::uint16_t id, std::uint16_t message, std::uint32_t length,
                           const std::string& bytes) {
        Word(id);
        Word(message);
        Word(static_cast<std::uint16_t>(length & 0xFFFF));
        Word(static_cast<std::uint16_t>(length >> 16));
        m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end());
        return *this;
    }
    Records& End() {
        Word(0);
        return *this;
    }
    const std::vector<std::uint8_t>& Bytes() const { return m_bytes; }

private:
    void Word(std::uint16_t w) {
        m_bytes.push_back(static_cast<std::uint8_t>(w & 0xFF));
        m_bytes.push_back(static_cast<std::uint8_t>(w >> 8));
    }
    std::vector<std::uint8_t> m_bytes;
};

// Parses the first `size` bytes from a heap block of exactly that size; the
// output starts non-empty so a refusal must clear it.
bool Parse(const std::vector<std::uint8_t>& bytes, std::size_t size,
           std::vector<DialogInitString>& out) {
    std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[size == 0 ? 1 : size]);
    std::copy(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size), exact.get());
    out.assign(1, DialogInitString{7, Target::kListBox, "stale"});
    return ParseDialogInitData(exact.get(), size, out);
}

std::string Z(const std::string& text) {
    return text + std::string(1, '\0');
}

TEST(DialogInitData, ReadsStringRecordsInOrderAndPassesOverOthers) {
    Records r;
    r.Add(1009, 0x0403, Z("20 Sec"))
        .Add(1001, 0x0401, Z("127.0.0.1:8080"))
        .Add(1009, 0x1234, "opaque control data without a zero") // another message
        .Add(1009, 0x0403, Z("2 Hrs") + "tail after the zero")
        .Add(1009, 0x0403, Z(""))
        .End();
    std::vector<std::uint8_t> bytes = r.Bytes();
    bytes.push_back(0); // resource padding after the end mark
    bytes.push_back(0);

    std::vector<DialogInitString> out;
    ASSERT_TRUE(Parse(bytes, bytes.size(), out));
    ASSERT_EQ(out.size(), 4u);
    EXPECT_EQ(out[0].controlId, 1009);
    EXPECT_EQ(out[0].target, Target::kComboBox);
    EXPECT_EQ(out[0].text, "20 Sec");
    EXPECT_EQ(out[1].controlId, 1001);
    EXPECT_EQ(out[1].target, Target::kListBox);
    EXPECT_EQ(out[1].text, "127.0.0.1:8080");
    EXPECT_EQ(out[2].text, "2 Hrs") << "the text ends at its first zero";
    EXPECT_EQ(out[3].text, "");

    // Only an end mark: valid, nothing to add.
    std::vector<std::uint8_t> empty = Records().End().Bytes();
    ASSERT_TRUE(Parse(empty, empty.size(), out));
    EXPECT_TRUE(out.empty());
}

TEST(DialogInitData, RefusesEveryCutShortCopyWhole) {
    Records r;
    r.Add(1009, 0x0403, Z("20 Sec")).Add(1009, 0x7777, "xyz").Add(1009, 0x0403, Z("40 Sec")).End();
    const std::vector<std::uint8_t>& bytes = r.Bytes();
    std::vector<DialogInitString> out;
    ASSERT_TRUE(Parse(bytes, bytes.size(), out));
    ASSERT_EQ(out.size(), 2u);
    // Every shorter copy lacks at least the end mark.
    for (std::size_t size = 0; size < bytes.size(); ++size) {
        EXPECT_FALSE(Parse(bytes, size, out)) << "cut at " << size;
        EXPECT_TRUE(out.empty()) << "cut at " << size;
    }
    EXPECT_FALSE(ParseDialogInitData(nullptr, 0, out));
}

TEST(DialogInitData, RefusesLengthsBeyondTheDataAndUnterminatedStrings) {
    std::vector<DialogInitString> out;
    struct Case {
        const char* what;
        Records records;
    };
    std::vector<Case> cases;
    cases.push_back(
        {"length past the end", Records().AddWithLength(1009, 0x0403, 100, Z("20 Sec")).End()});
    cases.push_back({"length that wraps a 32-bit size",
                     Records().AddWithLength(1009, 0x0403, 0xFFFFFFFFu, Z("20 Sec")).End()});
    cases.push_back({"combo string without its zero", Records().Add(1009, 0x0403, "20 Sec").End()});
    cases.push_back({"list string without its zero", Records().Add(1001, 0x0401, "a:1").End()});
    cases.push_back({"empty string record", Records().Add(1009, 0x0403, "").End()});
    cases.push_back({"good record, then a bad one",
                     Records().Add(1009, 0x0403, Z("20 Sec")).Add(1009, 0x0403, "40").End()});
    for (const Case& c : cases) {
        const std::vector<std::uint8_t>& bytes = c.records.Bytes();
        EXPECT_FALSE(Parse(bytes, bytes.size(), out)) << c.what;
        EXPECT_TRUE(out.empty()) << c.what;
    }
}

} // namespace
