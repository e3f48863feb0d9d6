// The session record: a fixed text that older records keep parsing to, round
// trips of hostile values, rejection of torn, flipped and forged bytes, the
// size bound, and the rule that decides what a start-up recovery does.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "shared/session_record.h"

namespace {

using Text = std::optional<std::string>;

// Appends the checksum line, with a bitwise CRC-32 of our own.
std::string Signed(const std::string& body) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char ch : body) {
        crc ^= static_cast<unsigned char>(ch);
        for (int k = 0; k < 8; ++k) {
            crc = (crc >> 1) ^ ((crc & 1u) != 0 ? 0xEDB88320u : 0u);
        }
    }
    char line[32];
    std::snprintf(line, sizeof line, "crc32 %08x\n", static_cast<unsigned>(~crc));
    return body + line;
}

CSessionRecord Record(unsigned long detect, Text script, unsigned long flags, Text bypass,
                      Text server, Text secondary, unsigned long delay, std::string applied) {
    auto text = [](unsigned long id, const Text& value) {
        return CSavedProxyOption{id, true, 0, value.has_value(), value.value_or("")};
    };
    return {{{5, false, detect, false, ""},
             text(4, script),
             {1, false, flags, false, ""},
             text(3, bypass),
             text(2, server),
             text(6, secondary),
             {7, false, delay, false, ""}},
            std::move(applied)};
}

// A user on an automatic configuration script, as Windows reports one.
CSessionRecord ScriptUser() {
    return Record(1, "http://wpad.corp.example/proxy.pac", 5, "<local>;*.corp.example", "",
                  std::nullopt, 30, "10.0.0.1:8080");
}

const std::string kScriptUserBody =
    "sulvantix-session-record 1\n"
    "option 5 number 1\n"
    "option 4 text \"687474703a2f2f777061642e636f72702e6578616d706c652f70726f78792e706163\"\n"
    "option 1 number 5\n"
    "option 3 text \"3c6c6f63616c3e3b2a2e636f72702e6578616d706c65\"\n"
    "option 2 text \"\"\n"
    "option 6 null\n"
    "option 7 number 30\n"
    "applied \"31302e302e302e313a38303830\"\n";

// Every field, texts with their lengths, so two records compare as one string.
std::string Describe(const CSessionRecord& record) {
    std::string text = record.m_strAppliedEntry + "/" + std::to_string(record.m_options.size());
    for (const CSavedProxyOption& o : record.m_options) {
        text += "|" + std::to_string(o.m_nOption) + (o.m_bIsText ? "t" : "n") +
                std::to_string(o.m_nNumber) +
                (o.m_bHasText ? "=" + std::to_string(o.m_strText.size()) + ":" + o.m_strText : "-");
    }
    return text;
}

// Parsing must fail and leave the record as it was.
void ExpectRejected(const std::string& bytes, const std::string& why) {
    const CSessionRecord sentinel = Record(9, std::nullopt, 9, "", "", "", 9, "keep");
    CSessionRecord record = sentinel;
    EXPECT_FALSE(ParseSessionRecord(bytes, record)) << why;
    EXPECT_EQ(Describe(record), Describe(sentinel)) << why;
}

TEST(SessionRecordFormat, WritesTheFixedTextAndRoundTripsHostileValues) {
    std::string every;
    for (int b = 0; b < 256; ++b) {
        every += static_cast<char>(b);
    }
    const std::string breaks("\r\n\0\"\\ option 2 null\n", 21);
    const std::vector<CSessionRecord> records = {
        ScriptUser(),
        Record(0xFFFFFFFFu, "", 0xFFFFFFFFu, std::nullopt, every, breaks, 0xFFFFFFFFu, ""),
        Record(0, std::nullopt, 0, "", std::nullopt, "", 0, every)};
    ASSERT_EQ(FormatSessionRecord(records[0]), Signed(kScriptUserBody));
    for (const CSessionRecord& original : records) {
        const std::string bytes = FormatSessionRecord(original);
        ASSERT_FALSE(bytes.empty());
        for (const char ch : bytes) {
            ASSERT_TRUE(ch == '\n' || (ch >= ' ' && ch <= '~')) << int(ch);
        }
        CSessionRecord back;
        ASSERT_TRUE(ParseSessionRecord(bytes, back));
        EXPECT_EQ(Describe(back), Describe(original));
    }
}

TEST(SessionRecordParse, RejectsEveryTornPrefixEveryChangedByteAndTrailingBytes) {
    const std::string bytes = FormatSessionRecord(ScriptUser());
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        ExpectRejected(bytes.substr(0, length), "prefix of " + std::to_string(length));
    }
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        for (int delta = 1; delta < 256; ++delta) {
            std::string changed = bytes;
            changed[i] = static_cast<char>(static_cast<unsigned char>(changed[i]) + delta);
            CSessionRecord record;
            ASSERT_FALSE(ParseSessionRecord(changed, record)) << "byte " << i << " + " << delta;
        }
    }
    ExpectRejected(bytes + "\n", "extra line end");
    ExpectRejected(bytes + bytes, "two records");
}

TEST(SessionRecordParse, RejectsForgedRecordsThatCarryAGoodChecksum) {
    auto edit = [](const std::string& from, const std::string& to) {
        std::string body = kScriptUserBody;
        const std::size_t at = body.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return Signed(body.replace(at, from.size(), to));
    };
    CSessionRecord control;
    ASSERT_TRUE(ParseSessionRecord(edit("", ""), control));
    const std::string five = "option 5 number 1\n";
    const std::string six = "option 6 null\n";
    const std::string seven = "option 7 number 30\n";
    const std::vector<std::pair<std::string, std::string>> forged = {
        {"record 1", "record 2"},
        {six, "option 3 null\n"},
        {five, ""},
        {seven, seven + seven},
        {seven, "option 8 number 30\n"},
        {six + seven, seven + six},
        {five, "option 5 text \"31\"\n"},
        {six, "option 6 number 0\n"},
        {"number 30", "number 030"},
        {"number 30", "number 4294967296"},
        {"number 30", "number -1"},
        {"\"3c6c", "\"3C6C"},
        {"\"3c6c", "\"3c6"},
        {"\"\"", ""},
        {"applied", "applied "},
        {"\n", "\r\n"}};
    for (const auto& [from, to] : forged) {
        ExpectRejected(edit(from, to), from + " -> " + to);
    }
}

TEST(SessionRecordFormat, RefusesWhatItCannotGiveBackAndBoundsTheSize) {
    std::vector<CSessionRecord> refused(8, ScriptUser());
    std::swap(refused[0].m_options[0], refused[0].m_options[1]);
    refused[1].m_options.pop_back();
    refused[2].m_options.push_back(refused[2].m_options.back());
    refused[3].m_options[0].m_bIsText = true;
    refused[4].m_options[2].m_strText = "x";
    refused[5].m_options[5].m_strText = "x";
    refused[6].m_options[1].m_nNumber = 1;
    refused[7].m_strAppliedEntry.assign(kMaxSessionRecordBytes / 2, 'a');
    if (sizeof(unsigned long) > 4) {
        refused.push_back(ScriptUser());
        refused.back().m_options[6].m_nNumber = static_cast<unsigned long>(0xFFFFFFFFu) + 1u;
    }
    for (std::size_t i = 0; i < refused.size(); ++i) {
        EXPECT_EQ(FormatSessionRecord(refused[i]), "") << "case " << i;
    }
    CSessionRecord largest = ScriptUser();
    largest.m_strAppliedEntry.assign(kMaxSessionRecordBytes / 2 - 400, 'a');
    CSessionRecord back;
    ASSERT_TRUE(ParseSessionRecord(FormatSessionRecord(largest), back));
    EXPECT_EQ(back.m_strAppliedEntry, largest.m_strAppliedEntry);

    std::string huge = kScriptUserBody;
    huge.insert(huge.find("applied \"") + 9, std::string(kMaxSessionRecordBytes, 'a'));
    ExpectRejected(Signed(huge), "huge record");
}

TEST(DecideRecovery, RestoresOnlyWhileTheAppliedEntryIsStillTheProxy) {
    const auto restore = RecoveryAction::RestoreSaved;
    const auto leave = RecoveryAction::LeaveCurrent;
    const std::string applied = "10.0.0.1:8080";
    // We apply flags 3; Wine reads them back as 2.
    const std::vector<std::pair<CCurrentProxySettings, RecoveryAction>> cases = {
        {{3, true, applied}, restore},       {{2, true, applied}, restore},
        {{7, true, applied}, restore},       {{1, true, applied}, leave},
        {{5, true, applied}, leave},         {{0, true, applied}, leave},
        {{3, false, applied}, leave},        {{3, false, ""}, leave},
        {{3, true, "10.0.0.1:8081"}, leave}, {{3, true, "10.0.0.1:808"}, leave},
        {{3, true, applied + " "}, leave},   {{3, true, "http=" + applied}, leave}};
    for (const auto& [current, expected] : cases) {
        EXPECT_EQ(DecideRecovery(ScriptUser(), current), expected)
            << current.m_nFlags << " " << current.m_bHasServer << " '" << current.m_strServer;
    }
    CSessionRecord named = ScriptUser();
    named.m_strAppliedEntry = "proxy.example:80";
    EXPECT_EQ(DecideRecovery(named, {3, true, "PROXY.example:80"}), leave);
}

} // namespace
