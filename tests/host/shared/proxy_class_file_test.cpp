// The checker's class file as Sulvantix reads it: the entry's last whole line
// counts, and anything doubtful about it says nothing rather than a wrong class.
#include "shared/proxy_class_file.h"

#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

namespace {

std::string Said(const std::optional<CProxyClass>& found) {
    return found ? found->m_strClass + " " + std::to_string(found->m_nRoundTripMs) : "-";
}

TEST(ProxyClassFile, TheEntrysLastWholeLineCountsAndADoubtfulOneSaysNothing) {
    // Either line end; the last line wins; a prefix of an entry is another one.
    const std::string text = "127.0.0.1:80 anonymous 7\r\n127.0.0.1:8 unknown 0\n" +
                             ProxyClassLine("127.0.0.1:80", "elite", 412) + "\r\n";
    CScratchDir dir;
    EXPECT_EQ(Said(ReadProxyClass(dir.Write(kProxyClassFile, text), "127.0.0.1:80")), "elite 412");
    EXPECT_EQ(Said(FindProxyClass(text, "127.0.0.1:8")), "unknown 0");
    EXPECT_EQ(Said(FindProxyClass(text, "127.0.0.1:800")), "-");
    EXPECT_EQ(Said(ReadProxyClass(dir.File("missing.txt"), "127.0.0.1:80")), "-");

    for (const char* garbled :
         {" shady 5", " elite 4x2", " elite 1234567890", " elite", "  elite 5", ""}) {
        const std::string spoilt = text + "127.0.0.1:80" + garbled + "\n127.0.0.1:8 elite 3\n";
        EXPECT_EQ(Said(FindProxyClass(spoilt, "127.0.0.1:80")), "-") << garbled;
    }

    // Padded up to the bound the file is read; one byte more says nothing.
    const std::string full = std::string(kMaxProxyClassFileBytes - text.size(), '\n') + text;
    EXPECT_EQ(Said(ReadProxyClass(dir.Write(kProxyClassFile, full), "127.0.0.1:80")), "elite 412");
    EXPECT_EQ(Said(ReadProxyClass(dir.Write(kProxyClassFile, full + "\n"), "127.0.0.1:80")), "-");
}

} // namespace
