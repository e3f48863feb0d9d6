// The session record: whatever ParseSessionRecord accepts, FormatSessionRecord
// gives back byte for byte; a refused input leaves the record alone. The
// checksum would stop most inputs at once, so each input is also tried with
// a correct checksum line added, and read as a record to write and read back.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include <fuzzer/FuzzedDataProvider.h>

#include "shared/session_record.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

std::uint32_t Crc32(std::string_view bytes) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char ch : bytes) {
        crc ^= static_cast<unsigned char>(ch);
        for (int bit = 0; bit < 8; ++bit) {
            crc = (crc >> 1) ^ ((crc & 1u) != 0 ? 0xEDB88320u : 0u);
        }
    }
    return ~crc;
}

std::string WithChecksum(std::string_view body) {
    static const char kHex[] = "0123456789abcdef";
    std::string out(body);
    const std::uint32_t crc = Crc32(body);
    out += "crc32 ";
    for (int shift = 28; shift >= 0; shift -= 4) {
        out += kHex[(crc >> shift) & 0xFu];
    }
    out += '\n';
    return out;
}

bool SameRecord(const CSessionRecord& a, const CSessionRecord& b) {
    if (a.m_strAppliedEntry != b.m_strAppliedEntry || a.m_options.size() != b.m_options.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.m_options.size(); ++i) {
        const CSavedProxyOption& x = a.m_options[i];
        const CSavedProxyOption& y = b.m_options[i];
        if (x.m_nOption != y.m_nOption || x.m_bIsText != y.m_bIsText ||
            x.m_nNumber != y.m_nNumber || x.m_bHasText != y.m_bHasText ||
            x.m_strText != y.m_strText) {
            return false;
        }
    }
    return true;
}

CSessionRecord Sentinel() {
    CSessionRecord record;
    record.m_strAppliedEntry = "sentinel";
    record.m_options.resize(1);
    record.m_options[0].m_nOption = 99;
    return record;
}

void CheckParse(std::string_view bytes) {
    CSessionRecord record = Sentinel();
    if (!ParseSessionRecord(bytes, record)) {
        FUZZ_CHECK(SameRecord(record, Sentinel()));
        return;
    }
    FUZZ_CHECK(FormatSessionRecord(record) == bytes);
    FUZZ_CHECK(record.m_options.size() == std::size(kSessionRecordSlots));
    for (std::size_t i = 0; i < record.m_options.size(); ++i) {
        FUZZ_CHECK(record.m_options[i].m_nOption == kSessionRecordSlots[i].m_nOption);
        FUZZ_CHECK(record.m_options[i].m_bIsText == kSessionRecordSlots[i].m_bIsText);
    }
}

// A record built from the input, mostly of the seven slots, sometimes not.
CSessionRecord BuildRecord(FuzzedDataProvider& provider) {
    CSessionRecord record;
    const bool strict = provider.ConsumeIntegralInRange<int>(0, 7) != 0;
    const std::size_t count = strict ? std::size(kSessionRecordSlots)
                                     : provider.ConsumeIntegralInRange<std::size_t>(0, 9);
    for (std::size_t i = 0; i < count; ++i) {
        CSavedProxyOption option;
        if (strict && i < std::size(kSessionRecordSlots)) {
            option.m_nOption = kSessionRecordSlots[i].m_nOption;
            option.m_bIsText = kSessionRecordSlots[i].m_bIsText;
        } else {
            option.m_nOption = provider.ConsumeIntegralInRange<unsigned long>(0, 9);
            option.m_bIsText = provider.ConsumeBool();
        }
        if (option.m_bIsText) {
            option.m_bHasText = provider.ConsumeBool();
            if (option.m_bHasText) {
                option.m_strText = provider.ConsumeRandomLengthString(256);
            }
        } else {
            option.m_nNumber = provider.ConsumeIntegral<std::uint32_t>();
        }
        if (!strict && provider.ConsumeIntegralInRange<int>(0, 3) == 0) {
            option.m_nNumber = provider.ConsumeIntegral<unsigned long>();
        }
        record.m_options.push_back(option);
    }
    record.m_strAppliedEntry = provider.ConsumeRandomLengthString(64);
    // Now and then texts near the size limit, where a record can no longer be written.
    if (provider.ConsumeIntegralInRange<int>(0, 15) == 0) {
        const auto length = provider.ConsumeIntegralInRange<std::size_t>(
            kMaxSessionRecordBytes / 2 - 600, kMaxSessionRecordBytes / 2 + 8);
        record.m_strAppliedEntry.append(length, provider.ConsumeIntegral<char>());
    }
    return record;
}

// The saved options go back only while the proxy applied last is still on.
void CheckRecovery(const CSessionRecord& record, FuzzedDataProvider& provider) {
    CCurrentProxySettings current;
    current.m_nFlags = provider.ConsumeIntegral<std::uint32_t>();
    current.m_bHasServer = provider.ConsumeBool();
    current.m_strServer =
        provider.ConsumeBool() ? record.m_strAppliedEntry : provider.ConsumeRandomLengthString(64);
    const bool restore = (current.m_nFlags & 2) != 0 && current.m_bHasServer &&
                         current.m_strServer == record.m_strAppliedEntry;
    FUZZ_CHECK((DecideRecovery(record, current) == RecoveryAction::RestoreSaved) == restore);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CheckParse(bytes);
    CheckParse(WithChecksum(bytes));

    FuzzedDataProvider provider(data, size);
    const CSessionRecord built = BuildRecord(provider);
    CheckRecovery(built, provider);
    const std::string formatted = FormatSessionRecord(built);
    if (formatted.empty()) {
        return 0;
    }
    FUZZ_CHECK(formatted.size() <= kMaxSessionRecordBytes);
    CSessionRecord back;
    FUZZ_CHECK(ParseSessionRecord(formatted, back));
    FUZZ_CHECK(SameRecord(back, built));

    // A flipped byte or a cut anywhere is refused.
    const auto at = provider.ConsumeIntegralInRange<std::size_t>(0, formatted.size() - 1);
    std::string flipped = formatted;
    flipped[at] = static_cast<char>(flipped[at] ^ provider.ConsumeIntegralInRange<int>(1, 255));
    CSessionRecord untouched = Sentinel();
    FUZZ_CHECK(!ParseSessionRecord(flipped, untouched));
    FUZZ_CHECK(!ParseSessionRecord(std::string_view(formatted).substr(0, at), untouched));
    FUZZ_CHECK(!ParseSessionRecord(formatted + formatted.substr(at), untouched));
    FUZZ_CHECK(SameRecord(untouched, Sentinel()));
    return 0;
}
