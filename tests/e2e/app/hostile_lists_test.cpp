// List files no list should be, fed to both real programs: the downloaded
// list saved as UTF-16, a user's list of tens of megabytes with a UTF-8
// byte-order mark, NUL-separated entries, carriage-return-only line ends,
// binary garbage and a 10 MB line. Neither program crashes or stalls, and
// both read what the list rules say; the checker writes single-byte lists.
//
// The checker's inputs hold loopback addresses only: it probes every entry,
// and a garbage entry would make the library look its name up elsewhere.
#include <windows.h>

#include <random>
#include <string>
#include <vector>

#include "shared/list_box_model.h"
#include "shared/list_lines.h"
#include "tests/e2e/app/sulvantix_e2e_fixture.h"
#include "tests/support/checker_process.h"
#include "tests/support/file_access.h"
#include "tests/support/message_pump.h"
#include "tests/support/standins_env.h"
#include "tools/standins/standin_ports.h"

namespace sx_e2e {
namespace {

using standins::kFarmForbidden;
using standins::kFarmOk;
using standins::kFarmRelay;
using standins::kFarmServerError;
using standins::kFarmSilent;
using standins::kFarmSlowPieces;
using standins::kFarmSplitBody;

constexpr int kFarmClosed = 18099;
constexpr char kUtf8Mark[] = "\xEF\xBB\xBF";

// ASCII text as UTF-16 LE after its mark, as Notepad saves "Unicode".
std::string Utf16Le(const std::string& text) {
    std::string bytes = "\xFF\xFE";
    for (char c : text) {
        bytes += c;
        bytes += '\0';
    }
    return bytes;
}

std::string Nul() {
    return std::string(1, '\0');
}

// Random bytes, each line ending in a line feed or a NUL about every 128.
std::string Garbage(std::size_t size) {
    std::mt19937 random(20260417);
    std::string bytes(size, '\0');
    for (char& c : bytes) {
        c = static_cast<char>(random());
    }
    return bytes;
}

// The items the load gives for the files as they are now, by the portable
// reader and the list box's duplicate rule (both tested on their own).
std::size_t ExpectedItemCount(const std::string& userList, const std::string& proxyList) {
    std::vector<std::string> staged;
    ReadListFileEntries(userList, staged);
    ReadListFileEntries(proxyList, staged);
    return SelectListBoxAdditions(staged, AsciiListBoxFold()).size();
}

LRESULT FindExact(HWND main, const std::string& text) {
    return ::SendMessageA(::GetDlgItem(main, kIdList), LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                          reinterpret_cast<LPARAM>(text.c_str()));
}

} // namespace

TEST_F(SulvantixE2e, HostileListFilesReadAlikeInBothPrograms) {
    // The download: UTF-16 with a NUL character between two entries.
    const std::string served = Utf16Le(Entry(kFarmOk) + "\r\n" + Entry(kFarmForbidden) + Nul() +
                                       Entry(kFarmClosed) + "\r\n");
    ASSERT_TRUE(WriteWholeFile(standins_env::StatePath("www/Proxylist.txt"), served));

    // The user's list: about 40 MB, a 10 MB line among them.
    const std::string longLine = "10.9.8.7:" + std::string(10 * 1048576, '7');
    const std::string crOnly = Entry(kFarmRelay) + "\r" + Entry(kFarmSilent);
    const std::string bigUserList =
        kUtf8Mark + Entry(kFarmSlowPieces) + Nul() + Entry(kFarmServerError) + "\r\n\r" + crOnly +
        "\r\r\n" + longLine + "\n" + Garbage(30 * 1048576) + "\n \t" + Entry(kFarmSplitBody);
    const std::string userList = SystemFile("Userproxy.txt");
    ASSERT_TRUE(WriteWholeFile(userList, bigUserList));

    HWND main = StartProgram(m_app);
    ASSERT_NE(main, nullptr);
    // The start-up update put the download in place as it came.
    ASSERT_EQ(ReadWholeFile(SystemFile("Proxylist.txt")), served);
    ASSERT_EQ(ReadWholeFile(Install().Path("Vettorlist.txt")), served);

    const HWND list = ::GetDlgItem(main, kIdList);
    EXPECT_EQ(static_cast<std::size_t>(::SendMessageA(list, LB_GETCOUNT, 0, 0)),
              ExpectedItemCount(userList, SystemFile("Proxylist.txt")));
    for (const std::string& entry :
         {Entry(kFarmOk), Entry(kFarmForbidden), Entry(kFarmClosed), Entry(kFarmSlowPieces),
          Entry(kFarmServerError), crOnly, Entry(kFarmSplitBody)}) {
        EXPECT_GE(FindExact(main, entry), 0) << entry;
    }
    // The long line is one item, whole; it is looked for by its start, as
    // messages between programs carry no 10 MB texts.
    const LRESULT longItem =
        ::SendMessageA(list, LB_FINDSTRING, static_cast<WPARAM>(-1),
                       reinterpret_cast<LPARAM>(longLine.substr(0, 40).c_str()));
    ASSERT_GE(longItem, 0);
    EXPECT_EQ(::SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(longItem), 0),
              static_cast<LRESULT>(longLine.size()));
    // The mark is no part of the first entry, and the window still answers.
    EXPECT_LT(FindExact(main, kUtf8Mark + Entry(kFarmSlowPieces)), 0);
    ASSERT_TRUE(m_app.IsRunning());
    EXPECT_TRUE(IsEnabled(main, kIdStartStop));

    // The checker reads the same rules: the UTF-16 download beside it and a
    // user's list with a UTF-8 mark, NULs and carriage returns.
    ASSERT_TRUE(WriteWholeFile(userList, kUtf8Mark + Entry(kFarmSlowPieces) + Nul() +
                                             Entry(kFarmServerError) + Nul() + Nul() + " \t" +
                                             Nul() + "\r\n\r" + Entry(kFarmRelay) + "\r\r"));
    CCheckerProcess checker;
    ASSERT_TRUE(checker.Start(Install().Path("Vettor.exe"), false));
    const Lines live = Sorted({Entry(kFarmOk), Entry(kFarmSlowPieces), Entry(kFarmRelay)});
    const Lines dead = Sorted({Entry(kFarmForbidden), Entry(kFarmClosed), Entry(kFarmServerError)});
    // The window reloads on the checker's word: the live list and the user's.
    const Lines shown = Sorted(
        {Entry(kFarmOk), Entry(kFarmServerError), Entry(kFarmSlowPieces), Entry(kFarmRelay)});
    // Counted first: reading a quarter of a million items across processes
    // takes longer than the checker's whole run.
    const auto shows = [&] {
        return static_cast<std::size_t>(::SendMessageA(list, LB_GETCOUNT, 0, 0)) == shown.size() &&
               ListItems(main) == shown;
    };
    EXPECT_TRUE(PumpMessagesUntil(shows, 60000))
        << "the list holds " << ::SendMessageA(list, LB_GETCOUNT, 0, 0) << " items";
    EXPECT_TRUE(checker.Close());

    // Its results are single-byte text, CR LF per line, no mark and no NUL.
    for (const auto& [name, expected] :
         {std::pair<const char*, Lines>{"proxylist.txt", live}, {"Invalidproxylist.txt", dead}}) {
        const std::string bytes = ReadWholeFile(Install().Path(name));
        EXPECT_EQ(Sorted(FileLines(Install().Path(name))), expected) << name;
        EXPECT_EQ(bytes.find('\0'), std::string::npos) << name;
        EXPECT_NE(bytes.substr(0, 3), kUtf8Mark) << name;
        std::string crlf;
        for (const std::string& line : expected) {
            crlf += line + "\r\n";
        }
        EXPECT_EQ(bytes.size(), crlf.size()) << name;
    }
    EXPECT_EQ(Sorted(FileLines(SystemFile("Proxylist.txt"))), live);

    EXPECT_TRUE(CloseQuietly(m_app, main));
}

} // namespace sx_e2e
