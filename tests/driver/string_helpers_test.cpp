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
