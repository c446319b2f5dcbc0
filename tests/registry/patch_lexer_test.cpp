#include <gtest/gtest.h>

#include <string>

#include "registry/patch_lexer.h"

namespace {

// Where a routine left the cursor, as an offset into the text.
struct Moved {
    bool ok;
    size_t at;
};

Moved Skip(const char* text) {
    const char* cursor = text;
    SkipBlanks(cursor);
    return {true, static_cast<size_t>(cursor - text)};
}

Moved EndLine(const char* text, bool strict) {
    const char* cursor = text;
    bool ok = EndOfLine(cursor, strict);
    return {ok, static_cast<size_t>(cursor - text)};
}

struct Quoted {
    bool ok;
    std::string value; // up to the first zero, as the stored length counts
    size_t at;
    const char* expected;
};

Quoted Quote(const std::string& text, size_t capacity = kQuotedCapacity) {
    char buffer[kQuotedCapacity + 1];
    std::string guarded = text;
    const char* cursor = guarded.c_str();
    Quoted result{false, "", 0, nullptr};
    result.ok = ReadQuoted(cursor, buffer, capacity, &result.expected);
    if (result.ok)
        result.value = buffer;
    result.at = static_cast<size_t>(cursor - guarded.c_str());
    return result;
}

} // namespace

TEST(PatchLexer, SkipBlanksStopsAtLineBreaksAndText) {
    EXPECT_EQ(4u, Skip(" \t\v\fx").at);
    EXPECT_EQ(2u, Skip("  \r\nx").at);
    EXPECT_EQ(1u, Skip(" ").at);
    EXPECT_EQ(0u, Skip("\xA0x").at); // bytes from 0x80 up are no blanks
}

TEST(PatchLexer, SkipBlanksFollowsContinuations) {
    // Line break, empty lines and column-1 comments vanish; indentation is skipped.
    EXPECT_EQ(11u, Skip(" \\\r\n\n;c\n\n  x").at);
    EXPECT_EQ(4u, Skip("\\ \t\nx").at);  // blanks after the backslash
    EXPECT_EQ(4u, Skip("\\\n\\\nx").at); // one continuation after another
    EXPECT_EQ(1u, Skip("\\").at);        // the end of the text after it
    // Text after the backslash: only the backslash goes, and skipping stops at that text.
    EXPECT_EQ(3u, Skip(" \\ x").at);
    // An indented comment is no comment line: skipping stops at its ";".
    EXPECT_EQ(4u, Skip("\\\n  ;c\nx").at);
}

TEST(PatchLexer, EndOfLineStrictAndNot) {
    EXPECT_TRUE(EndLine("  \r\n\r\n\nx", true).ok);
    EXPECT_EQ(7u, EndLine("  \r\n\r\n\nx", true).at);
    EXPECT_EQ(1u, EndLine(" ", true).at);
    Moved refused = EndLine(" \t;x\n", true);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(2u, refused.at);
    EXPECT_EQ(4u, EndLine(" ;x\ny", false).at);
    // Comment lines after the break go too, but an indented one does not.
    EXPECT_EQ(8u, EndLine("\n;a\r;b\r\nc", true).at);
    EXPECT_EQ(1u, EndLine("\n ;a", true).at);
    EXPECT_EQ(5u, EndLine("\n;a\n;", true).at); // a comment that ends the text
}

TEST(PatchLexer, ParseHexReadsExactlyItsDigits) {
    DWORD value = 7;
    EXPECT_TRUE(ParseHex("4a", 2, value));
    EXPECT_EQ(0x4Au, value);
    EXPECT_TRUE(ParseHex("fF9", 2, value));
    EXPECT_EQ(0xFFu, value);
    EXPECT_TRUE(ParseHex("DEADBEEF", 8, value));
    EXPECT_EQ(0xDEADBEEFu, value);
    value = 7;
    EXPECT_FALSE(ParseHex("4", 2, value)); // the zero byte ends the text
    EXPECT_FALSE(ParseHex("4g", 2, value));
    EXPECT_FALSE(ParseHex("\xB4", 1, value));
    EXPECT_EQ(7u, value);
}

TEST(PatchLexer, ReadQuotedResolvesEscapes) {
    EXPECT_EQ("AJ", Quote("\"\\x41\\x4a\"").value);
    EXPECT_EQ("a\"b\\c\nd\re\tf", Quote("\"a\\\"b\\\\c\\nd\\re\\tf\"").value);
    EXPECT_EQ("\\q\\[\\N\\X", Quote("\"\\q\\[\\N\\X\"").value); // unknown escapes stay
    EXPECT_EQ("one\r\ntwo", Quote("\"one\r\ntwo\"").value);     // raw line breaks are kept
    EXPECT_EQ("ab", Quote("\"ab\\x00cd\"").value);              // a zero ends the stored text
    Quoted read = Quote("\"x\" rest");
    EXPECT_TRUE(read.ok);
    EXPECT_EQ(3u, read.at);
    EXPECT_TRUE(Quote("\"\"").ok);
}

TEST(PatchLexer, ReadQuotedRefusals) {
    Quoted read = Quote(" \"x\"");
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(0u, read.at); // no quote: the cursor stays
    read = Quote("\"\\x4\"");
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(1u, read.at);
    EXPECT_FALSE(Quote("\"\\x4").ok);
    EXPECT_FALSE(Quote("\"\\xg0\"").ok);
    read = Quote("\"never closed\\\"");
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(0u, read.at);
    EXPECT_STREQ("a closing double quote before the end of the text", read.expected);
    EXPECT_FALSE(Quote("\"ends in a backslash\\").ok);
}

TEST(PatchLexer, ReadQuotedKeepsWithinItsCapacity) {
    std::string fits(kQuotedCapacity - 1, 's');
    EXPECT_EQ(fits, Quote("\"" + fits + "\"").value);
    Quoted read = Quote("\"" + fits + "s\"");
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(kQuotedCapacity, read.at);
    // An escape counts as the bytes it stores: "\q" needs two places, "\x41" one.
    EXPECT_TRUE(Quote("\"" + fits.substr(1) + "\\x41\"").ok);
    EXPECT_FALSE(Quote("\"" + fits.substr(1) + "\\q\"").ok);
    EXPECT_TRUE(Quote("\"ab\"", 3).ok);
    EXPECT_FALSE(Quote("\"abc\"", 3).ok);
    EXPECT_FALSE(Quote("\"\"", 0).ok);
}
