#include "shared/list_lines.h"

#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <utility>
#include <vector>

using Entries = std::vector<std::string>;

namespace {

Entries Split(const std::string& text) {
    Entries entries;
    SplitListText(text, entries);
    return entries;
}

} // namespace

TEST(ListTrim, RemovesTheSixWhiteSpaceCharactersAtBothEnds) {
    EXPECT_EQ(TrimListText(" \t\r\n\v\f1.2.3.4:80\f\v\n\r\t "), "1.2.3.4:80");
    EXPECT_EQ(TrimListText("a b\tc"), "a b\tc");
    EXPECT_EQ(TrimListText(" \t \r\n"), "");
    EXPECT_EQ(TrimListText(""), "");
}

TEST(ListTrim, KeepsOtherBytes) {
    // No-break space and other control bytes are not white space here.
    EXPECT_EQ(TrimListText("\xA0x\xA0"), "\xA0x\xA0");
    EXPECT_EQ(TrimListText("\x01x\x1F"), "\x01x\x1F");
}

TEST(ListSplit, SkipsBlankLinesAndLinesOfSpaces) {
    EXPECT_EQ(Split("\n\n  \n\t\n1.1.1.1:80\n   \n2.2.2.2:8080\n\n"),
              (Entries{"1.1.1.1:80", "2.2.2.2:8080"}));
}

TEST(ListSplit, CarriageReturnsBeforeLineFeedsGoWithTheTrimming) {
    EXPECT_EQ(Split("a:1\r\n b:2 \r\n\r\nc:3\r"), (Entries{"a:1", "b:2", "c:3"}));
}

TEST(ListSplit, OnlyLineFeedsEndLines) {
    EXPECT_EQ(Split("a:1\rb:2\n"), (Entries{"a:1\rb:2"}));
    // Carriage returns alone (old Mac line ends) make one line of the whole
    // file; only its ends are trimmed.
    EXPECT_EQ(Split("\ra:1\rb:2\r\rc:3\r\r"), (Entries{"a:1\rb:2\r\rc:3"}));
}

TEST(ListSplit, LastLineNeedsNoLineEnd) {
    EXPECT_EQ(Split("a:1\nb:2"), (Entries{"a:1", "b:2"}));
    EXPECT_EQ(Split("b:2"), (Entries{"b:2"}));
    EXPECT_TRUE(Split("").empty());
    EXPECT_TRUE(Split(" \r\n \n").empty());
}

TEST(ListSplit, KeepsDuplicatesAndFileOrder) {
    EXPECT_EQ(Split("z:1\na:1\nz:1\n"), (Entries{"z:1", "a:1", "z:1"}));
}

TEST(ListSplit, ANulByteEndsTheLineAsALineFeedDoes) {
    using namespace std::string_literals;
    EXPECT_EQ(Split("ab\0cd\nef\n"s), (Entries{"ab", "cd", "ef"}));
    EXPECT_EQ(Split("\0abc\n x \0 y\n"s), (Entries{"abc", "x", "y"}));
    EXPECT_EQ(Split("q\0\n\0\0"s), (Entries{"q"}));
    // A list kept as NUL-separated strings reads entry by entry.
    EXPECT_EQ(Split("1.1.1.1:80\0002.2.2.2:8080\0\0\0"s), (Entries{"1.1.1.1:80", "2.2.2.2:8080"}));
}

TEST(ListSplit, AUtf8MarkAtTheStartIsSkipped) {
    EXPECT_EQ(Split("\xEF\xBB\xBF"
                    "1.1.1.1:80\r\n2.2.2.2:80"),
              (Entries{"1.1.1.1:80", "2.2.2.2:80"}));
    EXPECT_TRUE(Split("\xEF\xBB\xBF").empty());
    // Anywhere else, and the bytes after the mark, are taken as they stand.
    EXPECT_EQ(Split("\xEF\xBB\xBF\xEF\xBB\xBF"
                    "a\xE9:1\n\xEF\xBB\xBF"
                    "b:2"),
              (Entries{"\xEF\xBB\xBF"
                       "a\xE9:1",
                       "\xEF\xBB\xBF"
                       "b:2"}));
    // Texts too short for a mark, or only starting like one, are bytes.
    EXPECT_EQ(Split("\xEF\xBB"), (Entries{"\xEF\xBB"}));
    EXPECT_EQ(Split("\xEF\xBBx:1"), (Entries{"\xEF\xBBx:1"}));
    EXPECT_EQ(Split("\xFF"), (Entries{"\xFF"}));
    EXPECT_EQ(Split("\xFE\xFE:1"), (Entries{"\xFE\xFE:1"}));
}

namespace {

// `text` of ASCII and \u escapes as UTF-16 bytes after the mark.
std::string Utf16(const std::u16string& text, bool bigEndian) {
    std::string bytes = bigEndian ? "\xFE\xFF" : "\xFF\xFE";
    for (char16_t unit : text) {
        const auto high = static_cast<char>(unit >> 8);
        const auto low = static_cast<char>(unit & 0xFF);
        bytes += bigEndian ? high : low;
        bytes += bigEndian ? low : high;
    }
    return bytes;
}

} // namespace

TEST(ListSplit, AUtf16FileReadsAsAsciiWithEveryOtherCharacterAQuestionMark) {
    using namespace std::string_literals;
    // "é", "€", one surrogate pair (U+1F600), a lone high and a lone low
    // surrogate, a NUL character, and the line ends and spaces of UTF-16.
    const std::u16string text =
        u" 1.1.1.1:80\r\n\u00E9x\u20AC:1\r\n\U0001F600y\r\n\xD800z\xDC00\r\n"
        u"a:1\u0000b:2\u2028c\r\n\t\u00A0\r\n\r\n  last:9"s;
    const Entries expected{"1.1.1.1:80", "?x?:1", "?y", "?z?", "a:1", "b:2?c", "?", "last:9"};
    EXPECT_EQ(Split(Utf16(text, false)), expected);
    EXPECT_EQ(Split(Utf16(text, true)), expected);
    // A high surrogate at the very end, and a last odd byte, which is no character.
    EXPECT_EQ(Split(Utf16(u"a:1\n\xD83D", false)), (Entries{"a:1", "?"}));
    EXPECT_EQ(Split(Utf16(u"a:1\nb:2", false) + "c"), (Entries{"a:1", "b:2"}));
    EXPECT_EQ(Split(Utf16(u"", true) + "c"), Entries{});
    // Without its mark the same bytes are single-byte text, cut at each NUL.
    EXPECT_EQ(Split(Utf16(u"ab:1\r\n", false).substr(2)), (Entries{"a", "b", ":", "1"}));
}

TEST(ListSplit, PiecesOfAnySizeGiveTheSameEntries) {
    using namespace std::string_literals;
    const std::string plain = " a:1 \r\n\n\t\nbb:22\r\n   ccc:333 \0dd\nlast"s;
    const std::u16string wide = u" a:1 \r\n\n\t\nbb:22\r\n  \U0001F600ccc:333 \u0000dd\nlast"s;
    const Entries expected{"a:1", "bb:22", "ccc:333", "dd", "last"};
    Entries wideExpected = expected;
    wideExpected[2] = "?ccc:333";
    const std::pair<std::string, Entries> cases[] = {{plain, expected},
                                                     {"\xEF\xBB\xBF" + plain, expected},
                                                     {Utf16(wide, false), wideExpected},
                                                     {Utf16(wide, true), wideExpected}};
    for (const auto& [text, want] : cases) {
        ASSERT_EQ(Split(text), want);
        for (std::size_t size = 1; size <= text.size(); ++size) {
            Entries entries;
            CListLineSplitter splitter(entries);
            for (std::size_t at = 0; at < text.size(); at += size) {
                splitter.Feed(std::string_view(text).substr(at, size));
            }
            splitter.Finish();
            EXPECT_EQ(entries, want) << "piece size " << size;
        }
    }
}

TEST(ListSplit, BinaryGarbageLosesNothingButLineEndsAndWhiteSpace) {
    std::mt19937 random(7);
    std::string text(1 << 20, '\0');
    for (char& c : text) {
        c = static_cast<char>(random());
    }
    // Never the start of a mark, which would change the rest's meaning.
    text[0] = 'x';
    const Entries entries = Split(text);
    const auto dropSpaceAndNul = [](std::string bytes) {
        bytes.erase(std::remove_if(bytes.begin(), bytes.end(),
                                   [](char c) { return c == '\0' || IsListSpace(c); }),
                    bytes.end());
        return bytes;
    };
    std::string joined;
    for (const std::string& entry : entries) {
        ASSERT_FALSE(entry.empty());
        ASSERT_EQ(entry.find('\n'), std::string::npos);
        ASSERT_EQ(entry.find('\0'), std::string::npos);
        ASSERT_EQ(TrimListText(entry), entry);
        joined += entry;
    }
    EXPECT_EQ(dropSpaceAndNul(joined), dropSpaceAndNul(text));
    // About one line per 128 bytes: a line feed or a NUL ends each.
    EXPECT_GT(entries.size(), 7500u);
    EXPECT_LT(entries.size(), 9000u);
}

TEST(ListSplit, AppendsToWhatIsAlreadyStaged) {
    Entries entries{"first:1"};
    SplitListText("second:2\n", entries);
    EXPECT_EQ(entries, (Entries{"first:1", "second:2"}));
}

TEST(ListRead, MissingFileReadsAsEmpty) {
    CScratchDir dir;
    Entries entries{"kept:1"};
    EXPECT_EQ(ReadListFileEntries(dir.File("absent.txt"), entries), ListReadResult::NotOpened);
    EXPECT_EQ(entries, (Entries{"kept:1"}));
}

TEST(ListRead, ReadsAFileOfBlankLinesSpacesAndCrLf) {
    CScratchDir dir;
    const std::string path = dir.Write(
        "Proxylist.txt", "\r\n  1.2.3.4:80  \r\n\t\r\n   \r\n5.6.7.8:3128\r\n\r\n9.9.9.9:1");
    Entries entries;
    EXPECT_EQ(ReadListFileEntries(path, entries), ListReadResult::Read);
    EXPECT_EQ(entries, (Entries{"1.2.3.4:80", "5.6.7.8:3128", "9.9.9.9:1"}));
}

TEST(ListRead, AMegabyteLineIsReadWhole) {
    CScratchDir dir;
    std::string line(1 << 20, 'x');
    for (std::size_t i = 0; i < line.size(); i += 997) {
        line[i] = static_cast<char>('a' + i % 26);
    }
    Entries entries;
    EXPECT_EQ(ReadListFileEntries(dir.Write("a.txt", "  " + line + "\r\nnext:1"), entries),
              ListReadResult::Read);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0], line);
    EXPECT_EQ(entries[1], "next:1");

    entries.clear();
    EXPECT_EQ(ReadListFileEntries(dir.Write("b.txt", line), entries), ListReadResult::Read);
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0], line);
}

TEST(ListRead, ATensOfMegabytesListReadsEveryLine) {
    CScratchDir dir;
    std::string text;
    constexpr int kLines = 1000000;
    text.reserve(kLines * 24);
    for (int i = 0; i < kLines; ++i) {
        text += std::to_string(i % 223 + 1) + "." + std::to_string(i % 251) + ".7." +
                std::to_string(i % 256) + ":" + std::to_string(i) + "\r\n";
    }
    Entries entries;
    EXPECT_EQ(ReadListFileEntries(dir.Write("big.txt", text), entries), ListReadResult::Read);
    ASSERT_EQ(entries.size(), static_cast<std::size_t>(kLines));
    EXPECT_EQ(entries.front(), "1.0.7.0:0");
    EXPECT_EQ(entries.back(),
              std::to_string((kLines - 1) % 223 + 1) + "." + std::to_string((kLines - 1) % 251) +
                  ".7." + std::to_string((kLines - 1) % 256) + ":" + std::to_string(kLines - 1));
}

TEST(ListRead, AReadErrorKeepsTheCompleteLinesBeforeIt) {
    const std::vector<std::string> pieces{"a:1\nb:", "2\nc:3"};
    std::size_t next = 0;
    Entries entries;
    const auto result = ReadListEntries(
        [&](char* buffer, std::size_t capacity) -> std::ptrdiff_t {
            if (next == pieces.size()) {
                return -1;
            }
            const std::string& piece = pieces[next++];
            EXPECT_LE(piece.size(), capacity);
            piece.copy(buffer, capacity);
            return static_cast<std::ptrdiff_t>(piece.size());
        },
        entries);
    EXPECT_EQ(result, ListReadResult::ReadError);
    // "c:3" had no line end yet when the error came.
    EXPECT_EQ(entries, (Entries{"a:1", "b:2"}));
}

TEST(ListAppend, CreatesTheFileAndAppendsOneLineEach) {
    CScratchDir dir;
    const std::string path = dir.File("Userproxy.txt");
    EXPECT_TRUE(AppendListLine(path, "10.0.0.1:8080"));
    EXPECT_TRUE(AppendListLine(path, "10.0.0.2:80"));
    EXPECT_EQ(CScratchDir::Read(path),
              std::string("10.0.0.1:8080") + kTextLineEnd + "10.0.0.2:80" + kTextLineEnd);
}

TEST(ListAppend, StartsANewLineWhenTheLastOneHasNoLineEnd) {
    CScratchDir dir;
    const std::string path = dir.Write("Userproxy.txt", "1.1.1.1:80");
    EXPECT_TRUE(AppendListLine(path, "2.2.2.2:80"));
    Entries entries;
    ReadListFileEntries(path, entries);
    EXPECT_EQ(entries, (Entries{"1.1.1.1:80", "2.2.2.2:80"}));
}

TEST(ListAppend, NeverTruncates) {
    CScratchDir dir;
    const std::string path = dir.Write("Userproxy.txt", "\r\n  old:1 \r\n");
    EXPECT_TRUE(AppendListLine(path, "new:2"));
    EXPECT_EQ(CScratchDir::Read(path), std::string("\r\n  old:1 \r\nnew:2") + kTextLineEnd);
}

TEST(ListAppend, AUtf16ListGetsTheLineInItsOwnByteOrder) {
    CScratchDir dir;
    for (const bool bigEndian : {false, true}) {
        const std::string path = dir.Write("Userproxy.txt", Utf16(u"1.1.1.1:80", bigEndian));
        EXPECT_TRUE(AppendListLine(path, "2.2.2.2:80"));
        EXPECT_TRUE(AppendListLine(path, "3.3.3.3:\xE9"));
        EXPECT_EQ(CScratchDir::Read(path),
                  Utf16(u"1.1.1.1:80\r\n2.2.2.2:80\r\n3.3.3.3:?\r\n", bigEndian));
        Entries entries;
        ReadListFileEntries(path, entries);
        EXPECT_EQ(entries, (Entries{"1.1.1.1:80", "2.2.2.2:80", "3.3.3.3:?"}));
    }
    // A stray last byte is made a whole character first, so the new line
    // is read in step; a file of its mark alone just gets the line.
    const std::string odd = dir.Write("odd.txt", Utf16(u"1.1.1.1:80", false) + "!");
    EXPECT_TRUE(AppendListLine(odd, "2.2.2.2:80"));
    Entries entries;
    ReadListFileEntries(odd, entries);
    EXPECT_EQ(entries, (Entries{"1.1.1.1:80!", "2.2.2.2:80"}));
    const std::string mark = dir.Write("mark.txt", Utf16(u"", true));
    EXPECT_TRUE(AppendListLine(mark, "2.2.2.2:80"));
    EXPECT_EQ(CScratchDir::Read(mark), Utf16(u"2.2.2.2:80\r\n", true));
}

TEST(ListAppend, FailsWhenTheFolderIsMissing) {
    CScratchDir dir;
    EXPECT_FALSE(AppendListLine(dir.File("no-such-folder/Userproxy.txt"), "a:1"));
}

TEST(ListRemove, AllCopiesGoAndBlankLinesAreDropped) {
    CScratchDir dir;
    const std::string path =
        dir.Write("Proxylist.txt",
                  "1.1.1.1:80\r\n\r\n  2.2.2.2:80 \r\n1.1.1.1:80\n \n1.1.1.1:80\r\n3.3.3.3:1");
    EXPECT_TRUE(RemoveListLine(path, "1.1.1.1:80"));
    EXPECT_EQ(CScratchDir::Read(path),
              std::string("2.2.2.2:80") + kTextLineEnd + "3.3.3.3:1" + kTextLineEnd);
}

TEST(ListRemove, TrimmedLinesCountAsEqual) {
    CScratchDir dir;
    const std::string path = dir.Write("Userproxy.txt", "\t1.1.1.1:80 \r\n");
    EXPECT_TRUE(RemoveListLine(path, "1.1.1.1:80"));
    EXPECT_EQ(CScratchDir::Read(path), "");
}

TEST(ListRemove, ComparesCaseExactlyAndLeavesTheFileAlone) {
    CScratchDir dir;
    const std::string bytes = "Proxy.Example:80\r\n\r\nother:1";
    const std::string path = dir.Write("Userproxy.txt", bytes);
    EXPECT_FALSE(RemoveListLine(path, "proxy.example:80"));
    EXPECT_EQ(CScratchDir::Read(path), bytes);
}

TEST(ListRemove, AbsentEntryLeavesTheBytesUntouched) {
    CScratchDir dir;
    const std::string bytes = "  a:1\r\n\r\n\n\tb:2\rc:3";
    const std::string path = dir.Write("Proxylist.txt", bytes);
    EXPECT_FALSE(RemoveListLine(path, "a:"));
    EXPECT_FALSE(RemoveListLine(path, "b:2"));
    EXPECT_FALSE(RemoveListLine(path, ""));
    EXPECT_EQ(CScratchDir::Read(path), bytes);
}

TEST(ListRemove, AUtf16ListIsRewrittenAsSingleByteText) {
    CScratchDir dir;
    const std::string path =
        dir.Write("Userproxy.txt", Utf16(u"1.1.1.1:80\r\n\u00E9:1\r\n2.2.2.2:80\r\n", false));
    EXPECT_TRUE(RemoveListLine(path, "2.2.2.2:80"));
    EXPECT_EQ(CScratchDir::Read(path),
              std::string("1.1.1.1:80") + kTextLineEnd + "?:1" + kTextLineEnd);
}

TEST(ListRemove, AFirstLineThatLooksLikeAMarkKeepsItsBytes) {
    CScratchDir dir;
    const std::string path = dir.Write("Proxylist.txt", "a:1\n\xFF\xFE"
                                                        "b:2\n");
    EXPECT_TRUE(RemoveListLine(path, "a:1"));
    EXPECT_EQ(CScratchDir::Read(path), std::string("\xEF\xBB\xBF\xFF\xFE"
                                                   "b:2") +
                                           kTextLineEnd);
    Entries entries;
    ReadListFileEntries(path, entries);
    EXPECT_EQ(entries, Entries{"\xFF\xFE"
                               "b:2"});
}

TEST(ListRemove, AbsentFileIsNotCreated) {
    CScratchDir dir;
    const std::string path = dir.File("Userproxy.txt");
    EXPECT_FALSE(RemoveListLine(path, "a:1"));
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(ListRemove, AFolderIsNoListFile) {
    CScratchDir dir;
    const std::string path = dir.File("Proxylist.txt");
    std::filesystem::create_directory(path);
    EXPECT_FALSE(RemoveListLine(path, "a:1"));
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

TEST(ListRemove, ReplacesTheListWholeOrNotAtAll) {
    CScratchDir dir;
    const std::string bytes = "1.1.1.1:80\r\n2.2.2.2:80\r\n";
    const std::string path = dir.Write("Userproxy.txt", bytes);
    // The new list cannot be written beside the old one: the old stays as it was.
    std::filesystem::create_directory(path + ".new");
    EXPECT_FALSE(RemoveListLine(path, "1.1.1.1:80"));
    EXPECT_EQ(CScratchDir::Read(path), bytes);
    std::filesystem::remove(path + ".new");
    // Written whole, it takes the old one's place and nothing is left beside it.
    EXPECT_TRUE(RemoveListLine(path, "1.1.1.1:80"));
    EXPECT_EQ(CScratchDir::Read(path), std::string("2.2.2.2:80") + kTextLineEnd);
    EXPECT_FALSE(std::filesystem::exists(path + ".new"));
}
