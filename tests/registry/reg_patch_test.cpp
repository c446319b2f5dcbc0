#include <string>

#include "registry/reg_key.h"
#include "registry/reg_patch.h"
#include "tests/registry/patch_test_support.h"
#include "tests/support/test_world.h"

namespace {

class RegPatchTest : public TestWorld {};

// The value "v" of the Web module key after applying `line` under "[Web]".
StoredValue StoredBy(const std::string& line, bool expectApplied = true) {
    RegKey key("Web");
    if (key.Open(Module, nullptr, false))
        key.DeleteValue("v");
    key.Close();
    EXPECT_EQ(expectApplied, ApplyBody("[Web]\n" + line)) << line;
    return ReadStored("Web", "v");
}

void ExpectStored(DWORD type, const std::string& bytes, const std::string& line) {
    SCOPED_TRACE(line);
    StoredValue stored = StoredBy(line);
    EXPECT_TRUE(stored.exists);
    EXPECT_EQ(type, stored.type);
    EXPECT_EQ(bytes, stored.bytes);
}

// The line fails the patch and stores nothing under "v".
void ExpectRefused(const std::string& line) {
    SCOPED_TRACE(line);
    EXPECT_FALSE(StoredBy(line, false).exists);
}

std::string Numbers(DWORD count) {
    std::string list;
    for (DWORD i = 0; i < count; ++i)
        list += (i ? "," : "") + std::to_string(i % 10);
    return list;
}

} // namespace

TEST_F(RegPatchTest, HeaderAloneCreatesTheModuleKeyOnly) {
    RegPatch patch;
    EXPECT_TRUE(patch.Apply("Email", "REGPATCH1.0000"));
    EXPECT_TRUE(KeyExists(kSuitePath + "\\Email"));
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, (kSuitePath + "\\Email").c_str()),
              "REGEDIT4\n\n[HKEY_CURRENT_USER\\" + kSuitePath + "\\Email]\n\n");
    EXPECT_TRUE(patch.Apply("Email", "REGPATCH1.0000 \t\r\n;note\n\n"));
}

TEST_F(RegPatchTest, WrongHeaderCreatesNoKey) {
    RegPatch patch;
    for (const char* text : {"regpatch1.0000", "REGPATCH1.00001", "REGPATCH1.000", "",
                             " REGPATCH1.0000", "REGPATCH1.0000;", "REGPATCH1.0000\\\n"}) {
        SCOPED_TRACE(text);
        PatchStop stop;
        EXPECT_FALSE(patch.Apply("Web", text, &stop));
        EXPECT_NE(nullptr, stop.expected);
    }
    EXPECT_FALSE(KeyExists("Software\\QuilloSoft"));
}

TEST_F(RegPatchTest, EachKeywordStoresItsTypeAndBytes) {
    ExpectStored(REG_DWORD, DwordBytes({1}), "\"v\"=number:1");
    ExpectStored(REG_BINARY, DwordBytes({1, 256, 7}), "\"v\"=numbers:1,256,7");
    ExpectStored(REG_BINARY, std::string("\x00\x1F\xFF", 3), "\"v\"=binary:0,1F,ff");
    ExpectStored(REG_SZ, std::string("text\0", 5), "\"v\"=string:\"text\"");
    ExpectStored(REG_MULTI_SZ, std::string("a\0bc\0\0", 6), "\"v\"=strings:\"a\",\"bc\"");
    // Keywords ignore case; blanks may stand around "=" and ":".
    ExpectStored(REG_BINARY, DwordBytes({3}), "\"v\" \t= NUMBERS \t: 3");
    ExpectStored(REG_DWORD, DwordBytes({4}), "\"v\"=Number:4");
    ExpectStored(REG_SZ, std::string("\0", 1), "\"v\"=String:\"\"");
}

TEST_F(RegPatchTest, NumberFields) {
    ExpectStored(REG_DWORD, DwordBytes({0xFFFFFFFF}), "\"v\"=number:4294967295");
    ExpectStored(REG_DWORD, DwordBytes({0}), "\"v\"=number:4294967296"); // modulo 2^32
    ExpectStored(REG_DWORD, DwordBytes({7}), "\"v\"=number:007");
    ExpectStored(REG_DWORD, DwordBytes({0}), "\"v\"=number:");
    ExpectStored(REG_BINARY, "", "\"v\"=numbers:");
    ExpectStored(REG_BINARY, "", "\"v\"=numbers:  ");
    ExpectStored(REG_BINARY, DwordBytes({1, 0, 2}), "\"v\"=numbers:1,,2");
    ExpectStored(REG_BINARY, DwordBytes({1, 2, 0}), "\"v\"=numbers:1,2,");
    ExpectStored(REG_BINARY, DwordBytes({0, 0}), "\"v\"=numbers: , ");
    ExpectRefused("\"v\"=number:+5");
    ExpectRefused("\"v\"=number:-5");
    ExpectRefused("\"v\"=numbers:1,-1");
    ExpectRefused("\"v\"=numbers:+1");
    ExpectRefused("\"v\"=number:5x");
    ExpectRefused("\"v\"=number:5 6");
    ExpectRefused("\"v\"=number:0x10");
}

TEST_F(RegPatchTest, NumbersLineWritesBeforeItsTailIsJudged) {
    // The data is complete when the list ends, so the value stands even though the line fails.
    StoredValue stored = StoredBy("\"v\"=numbers:1,2 x", false);
    EXPECT_EQ(DwordBytes({1, 2}), stored.bytes);
    stored = StoredBy("\"v\"=strings:\"a\" ;", false);
    EXPECT_EQ(std::string("a\0\0", 3), stored.bytes);
}

TEST_F(RegPatchTest, BinaryFields) {
    ExpectStored(REG_BINARY, std::string("\xFF\x0A", 2), "\"v\"=binary:0FF, 00000a");
    ExpectStored(REG_BINARY, std::string("\x01\x02", 2), "\"v\"=binary:1,\\\n  2");
    ExpectRefused("\"v\"=binary:");
    ExpectRefused("\"v\"=binary:  ");
    ExpectRefused("\"v\"=binary:100");
    ExpectRefused("\"v\"=binary:0x10");
    ExpectRefused("\"v\"=binary:1,,2");
    ExpectRefused("\"v\"=binary:1,2,");
    ExpectRefused("\"v\"=binary:-1");
    ExpectRefused("\"v\"=binary:+1");
    ExpectRefused("\"v\"=binary:1G");
    ExpectRefused("\"v\"=binary:0000000000000000000100");
}

TEST_F(RegPatchTest, StringsFields) {
    ExpectStored(REG_MULTI_SZ, std::string("\x01\0za\0\0", 6), "\"v\"=strings:\"\",\"za\"");
    ExpectStored(REG_MULTI_SZ, std::string("\0", 1), "\"v\"=strings:");
    ExpectStored(REG_MULTI_SZ, std::string("\x01\0\0", 3), "\"v\"=strings:\"\\x00tail\"");
    ExpectStored(REG_MULTI_SZ, std::string(" and \0 or \0\0", 12),
                 "\"v\"=strings:\" and \" , \" or \"");
    ExpectRefused("\"v\"=strings:\"a\",");
    ExpectRefused("\"v\"=strings:a");
    ExpectRefused("\"v\"=strings:\"a\",,\"b\"");
    ExpectRefused("\"v\"=string:");
    ExpectRefused("\"v\"=string:text");
    ExpectRefused("\"v\"=string:\"a\",\"b\"");
    ExpectRefused("\"v\"=string:\"\\x4\"");
    ExpectRefused("\"v\"=string:\"open");
}

TEST_F(RegPatchTest, StringEscapesAndRawLineBreaks) {
    ExpectStored(REG_SZ, std::string("AJ\0", 3), "\"v\"=string:\"\\x41\\x4a\"");
    ExpectStored(REG_SZ, std::string("\\q\0", 3), "\"v\"=string:\"\\q\"");
    ExpectStored(REG_SZ, std::string("-chat \"%1\"\0", 11), "\"v\"=string:\"-chat \\\"%1\\\"\"");
    ExpectStored(REG_SZ, std::string("a\r\n b\0", 6), "\"v\"=string:\"a\r\n b\"");
    ExpectStored(REG_SZ, std::string("ab\0", 3), "\"v\"=string:\"ab\\x00cd\"");
    // A backslash in quotes is an escape, never a continuation.
    ExpectStored(REG_SZ, std::string("x\\\n\0", 4), "\"v\"=string:\"x\\\n\"");
}

TEST_F(RegPatchTest, KeywordsMustStandAlone) {
    ExpectRefused("\"v\"=numberx:1");
    ExpectRefused("\"v\"=num:1");
    ExpectRefused("\"v\"=dword:1");
    ExpectRefused("\"v\"=number 1");
    ExpectRefused("\"v\"=number");
    ExpectRefused("\"v\" number:1");
    ExpectRefused("\"v\"=number:1 ;comment");
}

TEST_F(RegPatchTest, ValueNames) {
    ASSERT_TRUE(ApplyBody("[Web]\n\"a b\\c\"=number:1\n\"\"\"=number:2\n"));
    EXPECT_TRUE(ReadStored("Web", "a b\\c").exists);
    EXPECT_TRUE(ReadStored("Web", "\"").exists); // the search for the close starts one later
    EXPECT_FALSE(ApplyBody("[Web]\n\"v=number:1\n"));
    EXPECT_FALSE(ApplyBody("[Web]\n\""));
    EXPECT_FALSE(ApplyBody("[Web]\n\"\""));
}

TEST_F(RegPatchTest, DeletionLines) {
    RegKey key("Web");
    ASSERT_TRUE(key.Open(Module, nullptr, false));
    ASSERT_TRUE(key.WriteString("v", "old"));
    key.Close();
    EXPECT_TRUE(ApplyBody("[Web]\n\"v\"=\n\"w\"=number:1"));
    EXPECT_FALSE(ReadStored("Web", "v").exists);
    EXPECT_TRUE(ReadStored("Web", "w").exists);
    EXPECT_TRUE(ApplyBody("[Web]\n\"missing\" = \t\r\n"));
    EXPECT_TRUE(ApplyBody("[Web]\n\"w\"="));
    EXPECT_FALSE(ReadStored("Web", "w").exists);
    EXPECT_FALSE(ApplyBody("[Web]\n\"w\"= x"));
}

TEST_F(RegPatchTest, WritesReplaceAValueOfAnyType) {
    ASSERT_TRUE(ApplyBody("[Web]\n\"v\"=string:\"text\""));
    ExpectStored(REG_DWORD, DwordBytes({9}), "\"v\"=number:9");
    ExpectStored(REG_MULTI_SZ, std::string("a\0\0", 3), "\"v\"=strings:\"a\"");
}

TEST_F(RegPatchTest, SectionsChooseKeysBelowTheSuiteKey) {
    ASSERT_TRUE(ApplyBody("\"first\"=number:1\n[Web\\Extra]\n\"v\"=number:2\n[Empty]\n"
                          "[Updates]  \n\"u\"=number:3\n[ with blanks ]\n\"b\"=number:4\n",
                          nullptr, "Email"));
    EXPECT_TRUE(ReadStored("Email", "first").exists); // before any section: the module key
    EXPECT_TRUE(ReadStored("Web\\Extra", "v").exists);
    EXPECT_TRUE(KeyExists(kSuitePath + "\\Empty"));
    RegKey key("Web");
    ASSERT_TRUE(key.Open(Updates, nullptr, true));
    DWORD number = 0;
    EXPECT_TRUE(key.ReadDword("u", number));
    EXPECT_EQ(3u, number);
    EXPECT_TRUE(ReadStored(" with blanks ", "b").exists);
}

TEST_F(RegPatchTest, SectionLineFailures) {
    EXPECT_FALSE(ApplyBody("[Web"));
    EXPECT_FALSE(ApplyBody("[Other] x"));
    EXPECT_FALSE(ApplyBody("[Other];c"));
    EXPECT_FALSE(KeyExists(kSuitePath + "\\Other")); // the line is judged before the key opens
}

TEST_F(RegPatchTest, IndentationIsSpacesOnly) {
    EXPECT_TRUE(ApplyBody("  [Web]\n \t\"v\"=number:1\n   ;indented comment\n"));
    EXPECT_TRUE(ReadStored("Web", "v").exists);
    EXPECT_FALSE(ApplyBody("[Web]\n\t\"w\"=number:1\n"));
    EXPECT_FALSE(ApplyBody("[Web]\n   \n\"w\"=number:1\n"));
    EXPECT_FALSE(ApplyBody("[Web]\n   \r\n"));
    EXPECT_TRUE(ApplyBody("[Web]\n   ")); // the text ends after the spaces
    EXPECT_FALSE(ApplyBody("[Web]\nx"));
    EXPECT_FALSE(ReadStored("Web", "w").exists);
}

TEST_F(RegPatchTest, LineBreaksOfEveryKind) {
    ASSERT_TRUE(
        ApplyBody("[Web]\r\"a\"=number:1\n\n\r\n\r\r\"b\"=number:2\r\n;c\r\n\"c\"=number:3"));
    EXPECT_TRUE(ReadStored("Web", "a").exists);
    EXPECT_TRUE(ReadStored("Web", "b").exists);
    EXPECT_TRUE(ReadStored("Web", "c").exists);
}

TEST_F(RegPatchTest, ContinuationsSpreadAValueOverLines) {
    ExpectStored(REG_BINARY, DwordBytes({1, 1, 0}),
                 "\"v\"=numbers:\\\n  1,1,\\\n;a comment\n\n;another\n  0");
    ExpectStored(REG_BINARY, DwordBytes({1, 2}), "\"v\"=numbers:\\ \t\r\n  1,\\ \n  2\n");
    ExpectStored(REG_MULTI_SZ, std::string("a\0b\0\0", 5),
                 "\"v\"\\\n=\\\n strings\\\n:\"a\"\\\n,\"b\"");
    ExpectStored(REG_DWORD, DwordBytes({5}), "\"v\"=number:\\\n  5");
    ExpectStored(REG_BINARY, DwordBytes({1, 0}), "\"v\"=numbers:1,\\"); // the text ends there
    // Data of "number" and "string" ends the line; comments indented by spaces are no comments.
    ExpectRefused("\"v\"=number:5\\\n");
    ExpectRefused("\"v\"=string:\"a\"\\\n");
    ExpectRefused("\"v\"=binary:\\\n  1,\\\n  ;comment\n  2");
    ExpectRefused("\"v\"=binary:1,\\ x\n2");
}

TEST_F(RegPatchTest, LimitsAtTheirBoundary) {
    std::string s1023(1023, 's');
    ExpectStored(REG_SZ, s1023 + '\0', "\"v\"=string:\"" + s1023 + "\"");
    ExpectRefused("\"v\"=string:\"" + s1023 + "s\"");
    ExpectRefused("\"v\"=strings:\"" + s1023 + "s\"");

    EXPECT_TRUE(ApplyBody("[Web]\n\"" + s1023 + "\"=number:1"));
    EXPECT_TRUE(ReadStored("Web", s1023.c_str()).exists);
    EXPECT_FALSE(ApplyBody("[Web]\n\"" + s1023 + "n\"=number:1"));

    EXPECT_EQ(8192u, StoredBy("\"v\"=numbers:" + Numbers(2048)).bytes.size());
    ExpectRefused("\"v\"=numbers:" + Numbers(2049));
    std::string bytes = "\"v\"=binary:" + Numbers(2048);
    EXPECT_EQ(2048u, StoredBy(bytes).bytes.size());
    EXPECT_FALSE(ApplyBody("[Web]\n\"w\"=binary:" + Numbers(2049)));
    EXPECT_FALSE(ReadStored("Web", "w").exists);
}

TEST_F(RegPatchTest, StringsValueLimit) {
    // 63 items of 1,023 bytes fill 64,512 bytes; with the final zero, 65,536 bytes leave room
    // for one more item of 1,022 bytes and no more.
    std::string items;
    for (int i = 0; i < 63; ++i)
        items += "\"" + std::string(1023, 'a' + i % 26) + "\",";
    std::string full = "\"v\"=strings:" + items + "\"" + std::string(1022, 'z') + "\"";
    EXPECT_EQ(65536u, StoredBy(full).bytes.size());
    EXPECT_EQ(REG_MULTI_SZ, ReadStored("Web", "v").type);
    ExpectRefused("\"v\"=strings:" + items + "\"" + std::string(1023, 'z') + "\"");
    // An empty item is stored as 0x01 and its zero, and counts as such.
    std::string nearlyFull = items + "\"" + std::string(1021, 'z') + "\","; // 65,534 bytes
    ExpectRefused("\"v\"=strings:" + nearlyFull + "\"\"");
    ExpectRefused("\"v\"=strings:" + nearlyFull + "\"x\"");
    std::string roomForOne = items + "\"" + std::string(1020, 'z') + "\","; // 65,533 bytes
    EXPECT_EQ(65536u, StoredBy("\"v\"=strings:" + roomForOne + "\"\"").bytes.size());
}

TEST_F(RegPatchTest, SectionKeyPathLimit) {
    // The suite key, a backslash and the name fill at most 1,023 characters. Windows limits
    // each key name to 255 characters, so the name is a path of shorter ones.
    std::string name;
    while (name.size() < 1023 - kSuitePath.size() - 1)
        name += name.size() % 100 == 99 ? '\\' : 'k';
    // The longest path passes the patch's own check and goes to the registry, which decides:
    // Windows takes it, Wine's ANSI registry calls refuse paths of more than 260 characters
    // (ERROR_MORE_DATA). The patch must take it exactly when the platform does.
    HKEY probe = nullptr;
    const std::string fullPath = kSuitePath + "\\" + name;
    bool platformTakesIt =
        RegCreateKeyExA(HKEY_CURRENT_USER, fullPath.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                        &probe, nullptr) == ERROR_SUCCESS;
    if (platformTakesIt) {
        RegCloseKey(probe);
        DeleteRegistryTree(HKEY_CURRENT_USER,
                           (kSuitePath + "\\" + name.substr(0, name.find('\\'))).c_str());
    }
    PatchStop stop;
    EXPECT_EQ(platformTakesIt, ApplyBody("[" + name + "]\n\"v\"=number:1", &stop));
    EXPECT_EQ(platformTakesIt, ReadStored(name, "v").exists);
    if (!platformTakesIt) {
        EXPECT_STREQ("a section whose key can be opened or created", stop.expected);
    }
    EXPECT_FALSE(ApplyBody("[" + name + "k]\n\"w\"=number:1", &stop));
    EXPECT_STREQ("a key path (suite key, '\\' and section) of at most 1023 characters",
                 stop.expected);
    EXPECT_EQ(2u, stop.line);
    EXPECT_EQ(980u, stop.column); // the character beyond the limit
    EXPECT_FALSE(ApplyBody("[" + std::string(5000, 'k') + "]\n"));
}

TEST_F(RegPatchTest, IndexMovesAStoredPosition) {
    ASSERT_TRUE(ApplyBody("[Web]\n\"i\"=number:2\n\"i\"=index:5,2,7"));
    EXPECT_EQ(DwordBytes({1}), ReadStored("Web", "i").bytes);
    ASSERT_TRUE(ApplyBody("[Web]\n\"i\"=number:9\n\"i\"=index:5,2,7"));
    EXPECT_EQ(DwordBytes({0}), ReadStored("Web", "i").bytes);
    ASSERT_TRUE(ApplyBody("[Web]\n\"i\"=number:0\n\"i\"=index:3,,0")); // empty field: 0
    EXPECT_EQ(DwordBytes({1}), ReadStored("Web", "i").bytes);
    ASSERT_TRUE(ApplyBody("[Web]\n\"i\"=number:4\n\"i\"=INDEX:")); // one empty field
    EXPECT_EQ(DwordBytes({0}), ReadStored("Web", "i").bytes);

    EXPECT_FALSE(ApplyBody("[Web]\n\"missing\"=index:1,2"));
    EXPECT_FALSE(ApplyBody("[Web]\n\"s\"=string:\"2\"\n\"s\"=index:1,2"));
    EXPECT_EQ(REG_SZ, ReadStored("Web", "s").type);
    EXPECT_FALSE(ApplyBody("[Web]\n\"i\"=number:1\n\"i\"=index:1,-1"));
    EXPECT_FALSE(ApplyBody("[Web]\n\"i\"=number:1\n\"i\"=index:" + Numbers(2049)));
    EXPECT_TRUE(ApplyBody("[Web]\n\"i\"=number:1\n\"i\"=index:" + Numbers(2048)));
    EXPECT_EQ(DwordBytes({1}), ReadStored("Web", "i").bytes);
}

TEST_F(RegPatchTest, IndicesReorderAStoredArray) {
    const std::string stored = "[Web]\n\"a\"=numbers:10,20,30\n";
    ASSERT_TRUE(ApplyBody(stored + "\"a\"=indices:2,0,5"));
    EXPECT_EQ(DwordBytes({30, 10, 0}), ReadStored("Web", "a").bytes);
    ASSERT_TRUE(ApplyBody(stored + "\"a\"=indices:1,4294967295"));
    EXPECT_EQ(DwordBytes({20, 0}), ReadStored("Web", "a").bytes);
    EXPECT_FALSE(ApplyBody(stored + "\"a\"=indices:1,-1"));
    EXPECT_EQ(DwordBytes({10, 20, 30}), ReadStored("Web", "a").bytes);
    // A stored length that is no multiple of 4 counts its whole numbers only.
    ASSERT_TRUE(ApplyBody("[Web]\n\"b\"=binary:1,0,0,0,2,0,0,0,3,3\n\"b\"=indices:1,2,0"));
    EXPECT_EQ(DwordBytes({2, 0, 1}), ReadStored("Web", "b").bytes);

    EXPECT_FALSE(ApplyBody("[Web]\n\"missing\"=indices:0"));
    EXPECT_FALSE(ApplyBody("[Web]\n\"d\"=number:1\n\"d\"=indices:0"));
    EXPECT_FALSE(ApplyBody("[Web]\n\"m\"=strings:\"x\"\n\"m\"=indices:0"));
    EXPECT_TRUE(ApplyBody("[Web]\n\"full\"=numbers:" + Numbers(2048) + "\n\"full\"=indices:9"));
    EXPECT_EQ(DwordBytes({9}), ReadStored("Web", "full").bytes);
    // 8,196 bytes do not fit the array that is read.
    RegKey key("Web");
    ASSERT_TRUE(key.Open(Module, nullptr, false));
    std::string longer(8196, '\x01');
    ASSERT_TRUE(key.WriteBinary("long", longer.data(), static_cast<DWORD>(longer.size())));
    key.Close();
    EXPECT_FALSE(ApplyBody("[Web]\n\"long\"=indices:0"));
    EXPECT_EQ(longer, ReadStored("Web", "long").bytes);
    EXPECT_FALSE(ApplyBody(stored + "\"a\"=indices:" + Numbers(2049)));
}

TEST_F(RegPatchTest, AFailureKeepsTheLinesBeforeIt) {
    std::string body = "[Web]\n";
    for (int i = 3; i <= 9; ++i) // the header and the section are lines 1 and 2
        body += "\"line" + std::to_string(i) + "\"=number:" + std::to_string(i) + "\n";
    body += "\"line10\"=number:-10\n\"line11\"=number:11\n";
    PatchStop stop;
    EXPECT_FALSE(ApplyBody(body, &stop));
    EXPECT_EQ(10u, stop.line);
    for (int i = 3; i <= 9; ++i)
        EXPECT_EQ(DwordBytes({static_cast<DWORD>(i)}),
                  ReadStored("Web", ("line" + std::to_string(i)).c_str()).bytes);
    EXPECT_FALSE(ReadStored("Web", "line10").exists);
    EXPECT_FALSE(ReadStored("Web", "line11").exists);
}

TEST_F(RegPatchTest, AWrongFirstLineStillCreatesTheModuleKey) {
    EXPECT_FALSE(ApplyBody("oops\n", nullptr, "Phone"));
    EXPECT_TRUE(KeyExists(kSuitePath + "\\Phone"));
}

TEST_F(RegPatchTest, StopTellsWhereAndWhy) {
    struct Case {
        const char* body; // after the header line
        DWORD line;
        DWORD column;
    };
    const Case cases[] = {
        {"[Web]\n\"v\"=number:+1", 3, 12},
        {"[Web]\r\n\r\n\"v\" = numbers : 1,2 x", 4, 21},
        {"[Web]\r\"v\"=strings:\\\n  \"a\",\\\n  \"b\" ;", 5, 7},
        {"[Web]\n\"v\"=binary:1,100", 3, 14},
        {"[Web]\n\"v\"=string:\"\\x4\"", 3, 13},
        {"[Web]\n\"v\"=string:\"open\n\n", 3, 12},
        {"[Web]\n\t\"v\"=number:1", 3, 1},
        {"  \n", 2, 3},
        {"[Web", 2, 1},
        {"[Web]\n\"v\"=word:1", 3, 5},
        {"[Web]\n\"v\"=number;1", 3, 11},
        {"[Web]\n\"v\"", 3, 4},
        {"[Web]\n\"a\"=number:1\n\"v\"=index:1", 4, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        PatchStop stop;
        EXPECT_FALSE(ApplyBody(c.body, &stop));
        EXPECT_EQ(c.line, stop.line);
        EXPECT_EQ(c.column, stop.column);
        ASSERT_NE(nullptr, stop.expected);
        EXPECT_NE('\0', stop.expected[0]);
    }
    PatchStop stop;
    RegPatch patch;
    EXPECT_FALSE(patch.Apply("Web", "REGPATCH", &stop));
    EXPECT_EQ(1u, stop.line);
    EXPECT_EQ(1u, stop.column);
    EXPECT_STREQ("the header REGPATCH1.0000", stop.expected);
}
