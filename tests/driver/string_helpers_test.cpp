#include <gtest/gtest.h>

#include <cstring>

#include "driver/string_helpers.h"

TEST(JoinPath, PutsExactlyOneBackslashBetween) {
    char path[MAX_PATH] = "C:\\Program Files";
    EXPECT_TRUE(JoinPath(path, "QuilloSoft"));
    EXPECT_STREQ("C:\\Program Files\\QuilloSoft", path);

    char root[MAX_PATH] = "C:\\";
    EXPECT_TRUE(JoinPath(root, "WebQuilloUninstall.exe"));
    EXPECT_STREQ("C:\\WebQuilloUninstall.exe", root);
}

TEST(JoinPath, RefusesAResultThatDoesNotFitAndLeavesThePath) {
    char path[8] = "C:\\ab";
    EXPECT_TRUE(JoinPath(path, "c", 8)); // "C:\ab\c" and its zero: exactly 8
    EXPECT_STREQ("C:\\ab\\c", path);
    char longer[8] = "C:\\ab";
    EXPECT_FALSE(JoinPath(longer, "cd", 8));
    EXPECT_STREQ("C:\\ab", longer);
}

TEST(DuplicateString, CopiesIntoItsOwnStorage) {
    char text[] = "NetQuillo";
    auto copy = DuplicateString(text);
    text[0] = 'X';
    EXPECT_STREQ("NetQuillo", copy.get());
    EXPECT_EQ(nullptr, DuplicateString(nullptr));
    EXPECT_STREQ("", DuplicateString("").get());
}

TEST(EqualIgnoringCase, FoldsLettersOnly) {
    EXPECT_TRUE(EqualIgnoringCase("news", "NEWS"));
    EXPECT_FALSE(EqualIgnoringCase("news", "newsx"));
    EXPECT_FALSE(EqualIgnoringCase("", "a"));
    EXPECT_TRUE(EqualIgnoringCase("", ""));
}

TEST(AppendHexNumber, UpperCaseWithoutLeadingZerosAndNeverCutShort) {
    char key[8] = "NQ";
    EXPECT_TRUE(AppendHexNumber(key, sizeof key, 0));
    EXPECT_STREQ("NQ0", key);
    char wide[16] = "NQ";
    EXPECT_TRUE(AppendHexNumber(wide, sizeof wide, 0xFFFFFFFFu));
    EXPECT_STREQ("NQFFFFFFFF", wide);
    char tight[5] = "NQ";
    EXPECT_FALSE(AppendHexNumber(tight, sizeof tight, 0x1AB));
    EXPECT_STREQ("NQ", tight);
}

// Where a path's first level begins, one rule for every caller: the install-folder check,
// deployment, the reparse-point check and the uninstaller's command line.
TEST(PathRootLength, EveryFormOfPath) {
    const struct {
        const char* path;
        size_t root;
    } cases[] = {
        {"C:\\Program Files", 3}, {"c:/Program Files", 3}, {"C:\\", 3},
        {"\\\\server\\share\\QuilloSoft", 15}, {"//server/share/QuilloSoft", 15},
        {"\\\\server\\share", 14}, {"\\\\server\\share\\", 15},
        {"\\\\?\\C:\\Program Files", 0}, {"\\\\.\\C:\\Program Files", 0},
        {"\\\\?\\UNC\\server\\share\\x", 0}, {"\\\\\\share\\x", 0}, {"\\\\server\\\\x", 0},
        {"\\\\server", 0}, {"\\\\server\\", 0}, {"1:\\Folder", 0}, {"C:", 0}, {"C:Folder", 0},
        {"\\Folder", 0}, {"Folder\\Sub", 0}, {"", 0}, {"C", 0},
    };
    for (const auto& form : cases)
        EXPECT_EQ(form.root, PathRootLength(form.path)) << form.path;
    char path[] = "C:\\A/B\\C";
    EXPECT_STREQ("\\C", LastPathSeparator(path));
    char joined[MAX_PATH] = "C:\\A/";
    ASSERT_TRUE(JoinPath(joined, "B"));
    EXPECT_STREQ("C:\\A/B", joined);
}

#if !defined(_WIN32)
#include "platform/host/emulation.h"

// With UTF-8 as the code page of the 8-bit calls, "Michał", "Ελένη" and "王芳" take more bytes
// than characters: buffers are counted in bytes, cuts fall between characters, and names that
// differ only beyond ASCII are different.
TEST(StringHelpers, MultibyteTextIsCountedInBytesAndNeverCutInsideACharacter_HostOnly) {
    hostemu::SetAnsiCodePage(CP_UTF8);
    const char michal[] = "Micha\xC5\x82";                                  // 7 bytes
    const char eleni[] = "\xCE\x95\xCE\xBB\xCE\xAD\xCE\xBD\xCE\xB7";         // 10 bytes
    const char wangFang[] = "\xE7\x8E\x8B\xE8\x8A\xB3";                     // 6 bytes
    EXPECT_EQ(2u, CharacterLength(michal + 5));
    EXPECT_EQ(2u, CharacterLength(eleni));
    EXPECT_EQ(3u, CharacterLength(wangFang));
    EXPECT_EQ(4u, CharacterLength("\xF0\x9F\x98\x80"));
    EXPECT_EQ(1u, CharacterLength("\x82x")) << "a stray follower stands alone";
    EXPECT_EQ(2u, CharacterLength("\xE7\x8E")) << "never past the zero";

    // The buffer edges: exactly fitting, one byte short.
    char buffer[8];
    EXPECT_TRUE(CopyString(buffer, michal, sizeof buffer));
    EXPECT_FALSE(CopyString(buffer, eleni, sizeof buffer));
    EXPECT_STREQ(michal, buffer) << "left as it was";
    char joined[11] = "C:";
    EXPECT_FALSE(JoinPath(joined, eleni, sizeof joined));
    EXPECT_TRUE(JoinPath(joined, michal, sizeof joined));
    EXPECT_STREQ("C:\\Micha\xC5\x82", joined);
    char both[14];
    EXPECT_TRUE(ConcatStrings(both, sizeof both, michal, wangFang));
    EXPECT_FALSE(ConcatStrings(both, 13, michal, wangFang));
    EXPECT_STREQ("", both);

    // A cut keeps whole characters only: 6 bytes hold "Micha", not half of "ł"; 5 bytes of
    // "王芳" hold "王" alone.
    char cut[7] = "";
    EXPECT_FALSE(AppendStringCut(cut, sizeof cut, michal));
    EXPECT_STREQ("Micha", cut);
    char chinese[6] = "";
    EXPECT_FALSE(AppendStringCut(chinese, sizeof chinese, wangFang));
    EXPECT_STREQ("\xE7\x8E\x8B", chinese);
    char whole[7] = "";
    EXPECT_TRUE(AppendStringCut(whole, sizeof whole, wangFang));
    EXPECT_STREQ(wangFang, whole);

    // ASCII letters fold, other characters compare as they are.
    EXPECT_TRUE(EqualIgnoringCase("c:\\users\\micha\xC5\x82", "C:\\Users\\MICHA\xC5\x82"));
    EXPECT_FALSE(EqualIgnoringCase("micha\xC5\x82", "micha\xC5\x81"));
    EXPECT_FALSE(EqualIgnoringCase("\xE7\x8E\x8B", "\xE7\x8E"));
    char path[] = "C:\\\xE7\x8E\x8B\xE8\x8A\xB3\\a";
    EXPECT_EQ(path + 9, LastPathSeparator(path));

    // In the Western code page every byte is a character: the same cut takes six.
    hostemu::SetAnsiCodePage(1252);
    EXPECT_EQ(1u, CharacterLength(michal + 5));
    char western[7] = "";
    EXPECT_FALSE(AppendStringCut(western, sizeof western, michal));
    EXPECT_STREQ("Micha\xC5", western);
}
#endif
