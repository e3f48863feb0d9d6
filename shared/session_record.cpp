#include "shared/session_record.h"

#include <array>
#include <cstdint>
#include <utility>

// A record, one field a line, each line ending in a single LF. Texts are
// hex-encoded, so any byte survives; "null" is a null text, text "" an empty
// one. The seven slots come in their order, then the entry last applied, then
// the CRC-32 of every byte above the checksum line:
//
//   sulvantix-session-record 1
//   option 5 number 1
//   option 4 text "687474703a2f2f777061642f70726f78792e706163"
//   option 1 number 5
//   option 3 text "3c6c6f63616c3e"
//   option 2 text ""
//   option 6 null
//   option 7 number 30
//   applied "31302e302e302e313a38303830"
//   crc32 <8 lowercase hex digits>
//
// Hex digits are lowercase and numbers plain decimal, so each record has
// exactly one spelling; the parser checks that by writing its result again.

namespace {

constexpr std::string_view kHeader = "sulvantix-session-record 1";
constexpr std::string_view kOptionPrefix = "option ";
constexpr std::string_view kAppliedPrefix = "applied ";
constexpr std::string_view kChecksumPrefix = "crc32 ";
constexpr std::uint64_t kMaxNumber = 0xFFFFFFFFu;
constexpr unsigned long kProxyTypeProxy = 2;
constexpr char kHexDigits[] = "0123456789abcdef";

constexpr std::array<std::uint32_t, 256> MakeCrcTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) != 0 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[i] = c;
    }
    return table;
}
constexpr std::array<std::uint32_t, 256> kCrcTable = MakeCrcTable();

std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char ch : bytes) {
        crc = kCrcTable[(crc ^ static_cast<unsigned char>(ch)) & 0xFFu] ^ (crc >> 8);
    }
    return crc ^ 0xFFFFFFFFu;
}

void AppendHex(std::string& out, std::string_view bytes) {
    for (const char ch : bytes) {
        const auto byte = static_cast<unsigned char>(ch);
        out += kHexDigits[byte >> 4];
        out += kHexDigits[byte & 0xFu];
    }
}

std::string ChecksumLine(std::string_view body) {
    std::string line(kChecksumPrefix);
    const std::uint32_t crc = Crc32(body);
    for (int shift = 28; shift >= 0; shift -= 4) {
        line += kHexDigits[(crc >> shift) & 0xFu];
    }
    return line;
}

// Exactly the seven slots, each field of its kind and none of the other.
bool IsWritable(const CSessionRecord& record) {
    if (record.m_options.size() != std::size(kSessionRecordSlots)) {
        return false;
    }
    std::size_t textBytes = record.m_strAppliedEntry.size();
    for (std::size_t i = 0; i < record.m_options.size(); ++i) {
        const CSavedProxyOption& option = record.m_options[i];
        if (option.m_nOption != kSessionRecordSlots[i].m_nOption ||
            option.m_bIsText != kSessionRecordSlots[i].m_bIsText) {
            return false;
        }
        if (option.m_bIsText) {
            if (option.m_nNumber != 0 || (!option.m_bHasText && !option.m_strText.empty())) {
                return false;
            }
        } else if (option.m_nNumber > kMaxNumber || option.m_bHasText ||
                   !option.m_strText.empty()) {
            return false;
        }
        textBytes += option.m_strText.size();
    }
    // Each text byte takes two hex digits; refuse before building anything huge.
    return textBytes <= kMaxSessionRecordBytes / 2;
}

bool ParseNumber(std::string_view digits, std::uint64_t& value) {
    if (digits.empty() || digits.size() > 10 || (digits.size() > 1 && digits[0] == '0')) {
        return false;
    }
    value = 0;
    for (const char ch : digits) {
        if (ch < '0' || ch > '9') {
            return false;
        }
        value = value * 10 + static_cast<std::uint64_t>(ch - '0');
    }
    return value <= kMaxNumber;
}

int HexValue(char ch) {
    if (ch >= '0' && ch <= '9') {
        return ch - '0';
    }
    if (ch >= 'a' && ch <= 'f') {
        return ch - 'a' + 10;
    }
    return -1;
}

// "<hex>" with the quotes.
bool ParseQuotedHex(std::string_view field, std::string& text) {
    if (field.size() < 2 || field.front() != '"' || field.back() != '"' || field.size() % 2 != 0) {
        return false;
    }
    text.clear();
    for (std::size_t i = 1; i + 1 < field.size(); i += 2) {
        const int high = HexValue(field[i]);
        const int low = HexValue(field[i + 1]);
        if (high < 0 || low < 0) {
            return false;
        }
        text += static_cast<char>(high * 16 + low);
    }
    return true;
}

bool StripPrefix(std::string_view& line, std::string_view prefix) {
    if (line.substr(0, prefix.size()) != prefix) {
        return false;
    }
    line.remove_prefix(prefix.size());
    return true;
}

// "option <id> number <n>", "option <id> text "<hex>"" or "option <id> null".
bool ParseOptionLine(std::string_view line, CSavedProxyOption& option) {
    if (!StripPrefix(line, kOptionPrefix)) {
        return false;
    }
    const std::size_t space = line.find(' ');
    std::uint64_t id = 0;
    if (space == std::string_view::npos || !ParseNumber(line.substr(0, space), id)) {
        return false;
    }
    option.m_nOption = static_cast<unsigned long>(id);
    line.remove_prefix(space + 1);
    if (line == "null") {
        option.m_bIsText = true;
        return true;
    }
    if (StripPrefix(line, "text ")) {
        option.m_bIsText = true;
        option.m_bHasText = true;
        return ParseQuotedHex(line, option.m_strText);
    }
    std::uint64_t number = 0;
    if (StripPrefix(line, "number ") && ParseNumber(line, number)) {
        option.m_nNumber = static_cast<unsigned long>(number);
        return true;
    }
    return false;
}

bool ParseBody(std::string_view body, CSessionRecord& record) {
    std::vector<std::string_view> lines;
    while (!body.empty()) {
        const std::size_t end = body.find('\n');
        lines.push_back(body.substr(0, end));
        body.remove_prefix(end + 1);
    }
    if (lines.size() < 2 || lines.front() != kHeader) {
        return false;
    }
    for (std::size_t i = 1; i + 1 < lines.size(); ++i) {
        CSavedProxyOption option;
        if (!ParseOptionLine(lines[i], option)) {
            return false;
        }
        record.m_options.push_back(std::move(option));
    }
    std::string_view applied = lines.back();
    return StripPrefix(applied, kAppliedPrefix) &&
           ParseQuotedHex(applied, record.m_strAppliedEntry);
}

} // namespace

std::string FormatSessionRecord(const CSessionRecord& record) {
    try {
        if (!IsWritable(record)) {
            return {};
        }
        std::string out(kHeader);
        out += '\n';
        for (const CSavedProxyOption& option : record.m_options) {
            out += kOptionPrefix;
            out += std::to_string(option.m_nOption);
            if (!option.m_bIsText) {
                out += " number " + std::to_string(option.m_nNumber);
            } else if (!option.m_bHasText) {
                out += " null";
            } else {
                out += " text \"";
                AppendHex(out, option.m_strText);
                out += '"';
            }
            out += '\n';
        }
        out += kAppliedPrefix;
        out += '"';
        AppendHex(out, record.m_strAppliedEntry);
        out += "\"\n";
        out += ChecksumLine(out) + '\n';
        if (out.size() > kMaxSessionRecordBytes) {
            return {};
        }
        return out;
    } catch (...) {
        return {};
    }
}

bool ParseSessionRecord(std::string_view bytes, CSessionRecord& record) {
    try {
        if (bytes.size() < 2 || bytes.size() > kMaxSessionRecordBytes || bytes.back() != '\n') {
            return false;
        }
        // The checksum goes first: a torn or flipped record stops here.
        const std::size_t bodyEnd = bytes.rfind('\n', bytes.size() - 2);
        if (bodyEnd == std::string_view::npos) {
            return false;
        }
        const std::string_view body = bytes.substr(0, bodyEnd + 1);
        if (bytes.substr(bodyEnd + 1, bytes.size() - bodyEnd - 2) != ChecksumLine(body)) {
            return false;
        }
        CSessionRecord parsed;
        if (!ParseBody(body, parsed) || FormatSessionRecord(parsed) != bytes) {
            return false;
        }
        record = std::move(parsed);
        return true;
    } catch (...) {
        return false;
    }
}

RecoveryAction DecideRecovery(const CSessionRecord& record, const CCurrentProxySettings& current) {
    if ((current.m_nFlags & kProxyTypeProxy) != 0 && current.m_bHasServer &&
        current.m_strServer == record.m_strAppliedEntry) {
        return RecoveryAction::RestoreSaved;
    }
    return RecoveryAction::LeaveCurrent;
}
