#include <cstring>
#include <set>
#include <string>

#include "driver/catalogue.h"
#include "driver/setup_context.h"
#include "install/restart_deletions.h"
#include "platform/ascii_case.h"
#include "tests/install/install_world.h"

namespace {

using namespace std::string_literals;

class RestartDeletionsTest : public InstallWorld {
  protected:
    std::string WininitPath() const { return JoinedPath(WindowsFolder(), "wininit.ini"); }
    std::string Wininit() const {
        std::string text;
        ReadTestFile(WininitPath(), text);
        return text;
    }
    // Web selected, Email not, both uninstallers present so that they have short paths.
    void SelectWebNotEmail(SetupContext& context) {
        for (DWORD i = 0; i < context.moduleCount; ++i)
            context.selected[i] = i == 0;
        ASSERT_TRUE(WriteTestFile(context.modules[0].uninstallerPath.get(), "web"));
        ASSERT_TRUE(WriteTestFile(context.modules[1].uninstallerPath.get(), "email"));
    }
    void TearDown() override {
        if (g_currentContext) {
            DeleteFileA(g_currentContext->modules[0].uninstallerPath.get());
            DeleteFileA(g_currentContext->modules[1].uninstallerPath.get());
        }
        InstallWorld::TearDown();
    }
};

// A pending-list pair: source and destination, each with its zero.
std::string Pair(const std::string& source, const std::string& destination) {
    return source + '\0' + destination + '\0';
}

std::wstring WidePair(const std::wstring& source, const std::wstring& destination) {
    return source + L'\0' + destination + L'\0';
}

// The test's paths are ASCII, so each byte is its character.
std::wstring Widened(const std::string& text) {
    return std::wstring(text.begin(), text.end());
}

} // namespace

TEST_F(RestartDeletionsTest, RewriteTurnsEveryNqKeyIntoNulInPlace) {
    const std::string before = "[Rename]\r\n"
                               "NQ1=C:\\WINDOWS\\SYSTEM\\NETQUI~1.DLL\r\n"
                               "  NQ7=C:\\WINDOWS\\IRCQUI~1.EXE\r\n"
                               "nq1=C:\\LOWER.TXT\r\n"
                               "NQZ=C:\\NOTHEX.TXT\r\n"
                               "[Other]\r\n"
                               "NQa=C:\\HEX.TXT\r\n"
                               "NQ3=C:\\LAST.TXT";
    ASSERT_TRUE(WriteTestFile(WininitPath(), before));
    RewriteWininitKeys();
    const std::string after = "[Rename]\r\n"
                              "NUL=C:\\WINDOWS\\SYSTEM\\NETQUI~1.DLL\r\n"
                              "  NUL=C:\\WINDOWS\\IRCQUI~1.EXE\r\n"
                              "nq1=C:\\LOWER.TXT\r\n"
                              "NQZ=C:\\NOTHEX.TXT\r\n"
                              "[Other]\r\n"
                              "NUL=C:\\HEX.TXT\r\n"
                              "NUL=C:\\LAST.TXT";
    EXPECT_EQ(after, Wininit());
}

// The edits seek to positions read while reading lines: they must be byte counts whatever the
// file's line ends, as the C runtime's text mode does not give for a line ending in LF alone.
TEST_F(RestartDeletionsTest, Win9xEditsHitTheirLinesWhateverTheLineEnds) {
    if (!UseWin9xFamily())
        GTEST_SKIP() << "needs the 95 family";
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectWebNotEmail(context);
    const std::string web = ShortPath(context.modules[0].uninstallerPath.get());
    ASSERT_FALSE(web.empty());
    const std::string padding(40, 'x');
    for (const char* end : {"\n", "\r\n"}) {
        SCOPED_TRACE(end == std::string("\n") ? "LF only" : "mixed");
        // Lines long enough that the runtime's buffer holds several line ends at once.
        const std::string before = "[Rename]\n;" + padding + "\nNQ1=C:\\" + padding + ".TXT" + end +
                                   "NUL=" + web + "\n;" + padding + end + "NQ2=C:\\B.TXT\n";
        ASSERT_TRUE(WriteTestFile(WininitPath(), before));
        RewriteWininitKeys();
        CancelPendingDeletes(context);
        const std::string after = "[Rename]\n;" + padding + "\nNUL=C:\\" + padding + ".TXT" + end +
                                  std::string(4 + web.size() + 1, ' ') + ";" + padding + end +
                                  "NUL=C:\\B.TXT\n";
        EXPECT_EQ(after, Wininit());
    }
}

TEST_F(RestartDeletionsTest, RewriteNeverCreatesTheFile) {
    RewriteWininitKeys();
    EXPECT_FALSE(PathExists(WininitPath()));
}

TEST_F(RestartDeletionsTest, Win9xCancelBlanksMatchingLinesWithTheirLineEnds) {
    if (!UseWin9xFamily())
        GTEST_SKIP() << "needs the 95 family";
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectWebNotEmail(context);
    const std::string web = ShortPath(context.modules[0].uninstallerPath.get());
    const std::string email = ShortPath(context.modules[1].uninstallerPath.get());
    ASSERT_FALSE(web.empty());
    ASSERT_FALSE(email.empty());
    const std::string first = "NUL=" + web + "\r\n";
    const std::string lower = "nul = " + web + "\r\n";
    const std::string before =
        "[Rename]\r\n" + first + "NUL=C:\\OTHER\\FILE.TXT\r\n" + lower + "NUL=" + email + "\r\n";
    ASSERT_TRUE(WriteTestFile(WininitPath(), before));

    CancelPendingDeletes(context);

    // The blanks join the next line, which is still an entry of its own; Email was not chosen.
    const std::string after = "[Rename]\r\n" + std::string(first.size(), ' ') +
                              "NUL=C:\\OTHER\\FILE.TXT\r\n" + std::string(lower.size(), ' ') +
                              "NUL=" + email + "\r\n";
    EXPECT_EQ(after, Wininit());
}

TEST_F(RestartDeletionsTest, Win9xScheduledEntriesEndAsNulLines) {
    if (!UseWin9xFamily())
        GTEST_SKIP() << "needs the 95 family";
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectWebNotEmail(context);
    bool written = false;
    ScheduleDeleteAtRestart(JoinedPath(kScratchFolder, "missing.exe").c_str(), 1, written);
    EXPECT_FALSE(written) << "a missing file has no short path, so nothing is written";
    EXPECT_FALSE(PathExists(WininitPath()));

    ScheduleDeleteAtRestart(context.modules[0].uninstallerPath.get(), 2, written);
    ScheduleDeleteAtRestart(context.modules[1].uninstallerPath.get(), 0xB, written);
    EXPECT_TRUE(written);
    FinishWininitEntries();

    std::string text = Wininit();
    EXPECT_NE(std::string::npos, text.find("[Rename]"));
    EXPECT_NE(std::string::npos,
              text.find("NUL=" + ShortPath(context.modules[0].uninstallerPath.get()) + "\r\n"));
    EXPECT_NE(std::string::npos,
              text.find("NUL=" + ShortPath(context.modules[1].uninstallerPath.get()) + "\r\n"));
    EXPECT_EQ(std::string::npos, text.find("NQ")) << text;
}

TEST_F(RestartDeletionsTest, ScheduleAppendsADeletionPairToThePendingList) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    const std::string rename = Pair("\\??\\C:\\A.TXT", "\\??\\C:\\B.TXT");
    WritePendingList(rename + '\0');
    bool written = false;
    const std::string path = JoinedPath(kScratchFolder, "Not There.exe");
    ScheduleDeleteAtRestart(path.c_str(), 3, written);
    EXPECT_FALSE(written) << "only the 95 family writes wininit.ini";

    std::string list;
    DWORD type = REG_NONE;
    ASSERT_TRUE(ReadPendingList(list, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), type);
    EXPECT_EQ(rename + Pair("\\??\\" + path, "") + '\0', list);
}

TEST_F(RestartDeletionsTest, CancelRemovesOnlyTheInstalledFilesPairs) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    context.selected[1] = 0; // Email's pending deletion is not this install's business
    const std::string web = context.modules[0].uninstallerPath.get();
    const std::string email = context.modules[1].uninstallerPath.get();
    const std::string library = context.findMenuLibraryPath.get();
    const std::string first = Pair("\\??\\C:\\Other\\old.dll", "\\??\\C:\\Other\\new.dll");
    const std::string webPair = Pair("\\??\\" + web, "");
    const std::string middle = Pair("\\??\\C:\\Else\\a.txt", "\\??\\C:\\Else\\b.txt");
    const std::string libraryPair = Pair("\\??\\" + library, "");
    const std::string emailPair = Pair("\\??\\" + email, "");
    const std::string before = first + webPair + middle + libraryPair + emailPair + '\0';
    WritePendingList(before);

    CancelPendingDeletes(context);

    std::string after;
    ASSERT_TRUE(ReadPendingList(after));
    EXPECT_EQ(first + middle + emailPair + '\0', after);
    EXPECT_EQ(before.size() - webPair.size() - libraryPair.size(), after.size());
}

// Other programs' pairs come back character for character, those outside the ANSI code page
// included; of ours, only deletions of the very paths go, in any letter case.
TEST_F(RestartDeletionsTest, CancelWithdrawsOnlyDeletionsOfTheInstalledPathsThemselves) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    const std::string web = context.modules[0].uninstallerPath.get();
    std::string upper = web;
    for (char& c : upper)
        c = AsciiUpper(c);
    ASSERT_NE(web, upper);
    EXPECT_TRUE(MatchesInstalledFile(web.c_str(), false));
    EXPECT_TRUE(MatchesInstalledFile(("\\??\\" + upper).c_str(), false));
    EXPECT_FALSE(MatchesInstalledFile(("\\??\\" + web + ".bak").c_str(), false));

    const std::wstring ours = WidePair(L"\\??\\" + Widened(web), L"");
    const std::wstring others =
        WidePair(L"\\??\\C:\\\x4E2D\\old.txt", L"\\??\\C:\\\x4E2D\\new.txt") +
        WidePair(L"\\??\\" + Widened(web) + L".bak", L"") +
        WidePair(L"\\??\\D:\\old\\" + Widened(web), L"") +
        WidePair(L"\\??\\" + Widened(web), L"\\??\\C:\\Other\\moved.exe"); // no deletion
    WriteWidePendingList(WidePair(L"\\??\\" + Widened(upper), L"") + others + L'\0');
    bool written = false;
    ScheduleDeleteAtRestart(web.c_str(), 2, written);
    std::wstring list;
    ASSERT_TRUE(ReadWidePendingList(list));
    ASSERT_EQ(WidePair(L"\\??\\" + Widened(upper), L"") + others + ours + L'\0', list);

    CancelPendingDeletes(context);
    ASSERT_TRUE(ReadWidePendingList(list));
    EXPECT_EQ(others + L'\0', list);
}

// Updates make the list long: ours is withdrawn however far on it lies. A list of another type
// is no list.
TEST_F(RestartDeletionsTest, CancelReadsALongListWholeAndLeavesAMistypedOneAlone) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    const std::string webPair = Pair("\\??\\"s + context.modules[0].uninstallerPath.get(), "");
    std::string filler;
    while (filler.size() <= 70000)
        filler += Pair("\\??\\C:\\Some\\long\\file\\name.txt", "");
    WritePendingList(filler + webPair + '\0');
    CancelPendingDeletes(context);
    std::string after;
    ASSERT_TRUE(ReadPendingList(after));
    EXPECT_EQ(filler + '\0', after);

    const std::string binary = webPair + '\0';
    WritePendingList(binary, REG_BINARY);
    CancelPendingDeletes(context);
    DWORD type = REG_NONE;
    ASSERT_TRUE(ReadPendingList(after, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    EXPECT_EQ(binary, after);
}

TEST_F(RestartDeletionsTest, CancelStopsAtAPairThatRunsPastTheValue) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    // No terminating zeros at all: the walk must not read past the stored bytes.
    const std::string cut = "\\??\\"s + context.modules[0].uninstallerPath.get();
    WritePendingList(cut, REG_MULTI_SZ);
    CancelPendingDeletes(context);
    std::string after;
    ASSERT_TRUE(ReadPendingList(after));
    EXPECT_EQ(cut, after.substr(0, cut.size()));
}

TEST_F(RestartDeletionsTest, CancelLeavesTheRenameKeyBehindWithoutInstalledFiles) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    CancelPendingDeletes(context);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTestFileRenameKey, 0, KEY_READ, &key));
    char name[1024];
    DWORD length = sizeof name;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS,
              RegEnumValueA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(key);

    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTestFileRenameKey, 0, KEY_ALL_ACCESS, &key));
    const std::string web = "\\??\\"s + context.modules[0].uninstallerPath.get();
    const std::string library = context.findMenuLibraryPath.get();
    const char other[] = "C:\\Other\\keep.txt";
    const std::string longer = web + ".bak"; // holds our path, but is not ours
    for (const std::string& name : {web, library, std::string(other), longer})
        RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    RegCloseKey(key);
    CancelPendingDeletes(context);
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTestFileRenameKey, 0, KEY_READ, &key));
    // Wine hands values out by name, Windows in the order they were written.
    std::set<std::string> kept;
    for (DWORD i = 0;; ++i) {
        length = sizeof name;
        if (RegEnumValueA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        kept.insert(name);
    }
    RegCloseKey(key);
    EXPECT_EQ((std::set<std::string>{other, longer}), kept);
}
