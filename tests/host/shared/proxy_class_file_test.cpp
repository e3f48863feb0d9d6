// The checker's class file read: what is doubtful says nothing, never a wrong class.
#include "shared/proxy_class_file.h"

#include "tests/support/scratch_dir.h"

#include <gtest/gtest.h>

static std::string Said(const std::optional<CProxyClass>& found) {
    return found ? found->m_strClass + " " + std::to_string(found->m_nRoundTripMs) : "-";
}

TEST(ProxyClassFile, TheEntrysLastWholeLineWithinTheBoundCountsAndADoubtfulOneSaysNothing) {
    // Either line end; the last line wins; a prefix of an entry is another one.
    const std::string text = "127.0.0.1:80 anonymous 7\r\n127.0.0.1:8 unknown 0\n" +
                             ProxyClassLine("127.0.0.1:80", "elite", 412) + "\r\n";
    EXPECT_EQ(Said(FindProxyClass(text, "127.0.0.1:8")), "unknown 0");
    EXPECT_EQ(Said(FindProxyClass(text, "127.0.0.1:800")), "-");
    for (const char* garbled :
         {" shady 5", " elite 4x2", " elite 1234567890", " elite", "  elite 5", ""}) {
        const std::string spoilt = text + "127.0.0.1:80" + garbled + "\n127.0.0.1:8 elite 3";
        EXPECT_FALSE(FindProxyClass(spoilt, "127.0.0.1:80")) << garbled;
    }
    // Read up to the bound; a byte more, or no file, says nothing.
    CScratchDir dir;
    const std::string full = std::string(kMaxProxyClassFileBytes - text.size(), '\n') + text;
    EXPECT_EQ(Said(ReadProxyClass(dir.Write(kProxyClassFile, full), "127.0.0.1:80")), "elite 412");
    EXPECT_EQ(Said(ReadProxyClass(dir.Write(kProxyClassFile, full + "\n"), "127.0.0.1:80")), "-");
    EXPECT_EQ(Said(ReadProxyClass(dir.File("missing.txt"), "127.0.0.1:80")), "-");
}
