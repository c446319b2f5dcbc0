#include <cstring>
#include <string>

#include "registry/reg_key.h"
#include "tests/support/test_world.h"

namespace {

const std::string kSuite = "Software\\QuilloSoft\\NetQuillo\\CurrentVersion";

class RegKeyTest : public TestWorld {};

bool KeyExists(HKEY root, const std::string& path) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

struct Composed {
    HKEY root;
    std::string path;
    bool ok;
};

Composed Compose(KeyBase base, const char* shortName, const char* subPath) {
    Composed result{nullptr, "", false};
    char path[kKeyPathCapacity];
    result.ok = ComposeKeyPath(base, shortName, subPath, result.root, path);
    result.path = path;
    return result;
}

// One value of each type the layer knows, under the scratch key.
void WriteOneOfEachType(RegKey& key) {
    ASSERT_TRUE(key.Open(CurrentUser, kScratchKey, false));
    ASSERT_TRUE(key.WriteString("sz", "text"));
    ASSERT_TRUE(key.WriteMultiString("multi", "a\0b\0", 5));
    ASSERT_TRUE(key.WriteBinary("binary", "\x01\x02\x03\x04", 4));
    ASSERT_TRUE(key.WriteDword("dword", 7));
}

} // namespace

TEST(ComposeKeyPath, BaseCodesAndSubPaths) {
    Composed c = Compose(Updates, "Web", nullptr);
    EXPECT_TRUE(c.ok);
    EXPECT_EQ(HKEY_CURRENT_USER, c.root);
    EXPECT_EQ(kSuite + "\\Updates", c.path);
    EXPECT_EQ(kSuite + "\\Updates\\", Compose(Updates, "Web", "").path);
    EXPECT_EQ(kSuite + "\\Web", Compose(Module, "Web", nullptr).path);
    EXPECT_EQ(kSuite + "\\News\\Servers", Compose(Module, "News", "Servers").path);
    EXPECT_EQ(kSuite + "\\", Compose(Module, "", nullptr).path);
    EXPECT_EQ(kSuite, Compose(Suite, "Web", nullptr).path);
    EXPECT_EQ(kSuite + "\\IRC", Compose(Suite, "Web", "IRC").path);

    c = Compose(LocalMachine, "Web", "SOFTWARE\\X");
    EXPECT_EQ(HKEY_LOCAL_MACHINE, c.root);
    EXPECT_EQ("SOFTWARE\\X", c.path);
    EXPECT_EQ(HKEY_CURRENT_USER, Compose(CurrentUser, "Web", "Software").root);
    EXPECT_EQ(HKEY_CLASSES_ROOT, Compose(ClassesRoot, "Web", ".txt").root);
}

TEST(ComposeKeyPath, RefusesUnknownCodesEmptyAndOverlongPaths) {
    EXPECT_FALSE(Compose(static_cast<KeyBase>(6), "Web", "x").ok);
    EXPECT_FALSE(Compose(static_cast<KeyBase>(-1), "Web", "x").ok);
    EXPECT_FALSE(Compose(LocalMachine, "Web", nullptr).ok);
    EXPECT_FALSE(Compose(ClassesRoot, "Web", "").ok);
    std::string longest(kKeyPathCapacity - 1, 'k');
    EXPECT_TRUE(Compose(CurrentUser, "Web", longest.c_str()).ok);
    EXPECT_FALSE(Compose(CurrentUser, "Web", (longest + "k").c_str()).ok);
    std::string sub(kKeyPathCapacity - kSuite.size() - 2, 's');
    EXPECT_TRUE(Compose(Suite, "Web", sub.c_str()).ok);
    EXPECT_FALSE(Compose(Suite, "Web", (sub + "s").c_str()).ok);
}

TEST_F(RegKeyTest, OpenCreatesTheKeysOfEachBaseCode) {
    RegKey key("Email");
    EXPECT_TRUE(key.Open(Updates, nullptr, false));
    EXPECT_TRUE(key.Open(Module, "Sub", false));
    EXPECT_TRUE(key.Open(CurrentUser, kScratchKey, false));
    key.Close();
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSuite + "\\Updates"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSuite + "\\Email\\Sub"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kScratchKey));
    EXPECT_TRUE(key.Open(Suite, "Email", true));
}

TEST_F(RegKeyTest, FailedOpenLeavesTheWrapperClosed) {
    RegKey key("Web");
    ASSERT_TRUE(key.Open(CurrentUser, kScratchKey, false));
    EXPECT_FALSE(key.Open(Module, nullptr, true)); // missing, read-only
    EXPECT_FALSE(key.IsOpen());
    EXPECT_FALSE(key.WriteString("v", "x"));
    DWORD value;
    EXPECT_FALSE(key.ReadDword("v", value));
    EXPECT_FALSE(key.Open(static_cast<KeyBase>(6), "x", false));
    EXPECT_FALSE(key.IsOpen());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSuite + "\\Web"));
}

TEST_F(RegKeyTest, ReadOnlyKeysReadButDoNotWrite) {
    RegKey key("Web");
    WriteOneOfEachType(key);
    ASSERT_TRUE(key.Open(CurrentUser, kScratchKey, true));
    DWORD value = 0;
    EXPECT_TRUE(key.ReadDword("dword", value));
    EXPECT_EQ(7u, value);
    EXPECT_FALSE(key.WriteDword("dword", 8));
    EXPECT_FALSE(key.DeleteValue("dword"));
}

TEST_F(RegKeyTest, EveryTypedReadRejectsOtherTypes) {
    RegKey key("Web");
    WriteOneOfEachType(key);
    const char* names[] = {"sz", "multi", "binary", "dword"};
    for (int stored = 0; stored < 4; ++stored) {
        SCOPED_TRACE(names[stored]);
        const char* name = names[stored];
        char text[64];
        DWORD size = sizeof text;
        DWORD number = 0;
        DWORD numbers[4];
        DWORD count = 4;
        EXPECT_EQ(stored == 0, key.ReadString(name, text, sizeof text));
        EXPECT_EQ(stored == 1, key.ReadMultiString(name, text, size));
        size = sizeof text;
        EXPECT_EQ(stored == 2, key.ReadBinary(name, text, size));
        EXPECT_EQ(stored == 2, key.ReadDwordArray(name, numbers, count));
        EXPECT_EQ(stored == 3, key.ReadDword(name, number));
        EXPECT_TRUE(key.ValueExists(name));
    }
    EXPECT_FALSE(key.ValueExists("missing"));
}

TEST_F(RegKeyTest, ReadFlagKeepsTheDefaultUnlessADwordIsThere) {
    RegKey key("Web");
    WriteOneOfEachType(key);
    bool flag = true;
    EXPECT_FALSE(key.ReadFlag("missing", flag));
    EXPECT_TRUE(flag);
    EXPECT_FALSE(key.ReadFlag("sz", flag));
    EXPECT_TRUE(flag);
    EXPECT_TRUE(key.WriteFlag("f", false));
    EXPECT_TRUE(key.ReadFlag("f", flag));
    EXPECT_FALSE(flag);
    EXPECT_TRUE(key.ReadFlag("dword", flag));
    EXPECT_TRUE(flag);
}

TEST_F(RegKeyTest, ReadStringAlwaysLeavesATerminatedStringWithinTheCapacity) {
    RegKey key("Web");
    ASSERT_TRUE(key.Open(CurrentUser, kScratchKey, false));
    ASSERT_TRUE(key.WriteString("fits", "abc"));
    ASSERT_TRUE(key.WriteBinary("dummy", "", 0));
    // A REG_SZ of exactly the capacity with no zero in it.
    HKEY raw;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, KEY_ALL_ACCESS, &raw));
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(raw, "full", 0, REG_SZ, reinterpret_cast<const BYTE*>("abcd"), 4));
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(raw, "short", 0, REG_SZ, reinterpret_cast<const BYTE*>("ab"), 2));
    RegCloseKey(raw);

    char buffer[5];
    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_TRUE(key.ReadString("fits", buffer, 4)); // "abc" and its zero: exactly 4
    EXPECT_STREQ("abc", buffer);

    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_FALSE(key.ReadString("full", buffer, 4));
    EXPECT_STREQ("", buffer);
    EXPECT_EQ('X', buffer[4]);

    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_FALSE(key.ReadString("fits", buffer, 3)); // too long for the buffer
    EXPECT_STREQ("", buffer);

    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_TRUE(key.ReadString("short", buffer, 4)); // stored without its zero
    EXPECT_STREQ("ab", buffer);

    std::memset(buffer, 'X', sizeof buffer);
    EXPECT_FALSE(key.ReadString("dummy", buffer, sizeof buffer)); // another type
    EXPECT_STREQ("", buffer);
    EXPECT_FALSE(key.ReadString("fits", buffer, 0));
}

TEST_F(RegKeyTest, WriteStringStoresTheTerminatingZero) {
    RegKey key("Web");
    ASSERT_TRUE(key.Open(CurrentUser, kScratchKey, false));
    ASSERT_TRUE(key.WriteString(nullptr, "default"));
    ASSERT_TRUE(key.WriteString("empty", ""));
    char buffer[16];
    DWORD size = sizeof buffer;
    DWORD type;
    HKEY raw;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, KEY_READ, &raw));
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(raw, nullptr, nullptr, &type,
                                              reinterpret_cast<BYTE*>(buffer), &size));
    EXPECT_EQ(8u, size);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    size = sizeof buffer;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(raw, "empty", nullptr, &type,
                                              reinterpret_cast<BYTE*>(buffer), &size));
    EXPECT_EQ(1u, size);
    RegCloseKey(raw);
    EXPECT_TRUE(key.ReadString(nullptr, buffer, sizeof buffer));
    EXPECT_STREQ("default", buffer);
}

TEST_F(RegKeyTest, WritesReplaceAValueOfAnotherType) {
    RegKey key("Web");
    WriteOneOfEachType(key);
    EXPECT_TRUE(key.WriteDword("sz", 3));
    DWORD value = 0;
    EXPECT_TRUE(key.ReadDword("sz", value));
    EXPECT_EQ(3u, value);
    char text[8];
    EXPECT_FALSE(key.ReadString("sz", text, sizeof text));
}

TEST_F(RegKeyTest, MultiStringAndBinaryReportTheStoredSize) {
    RegKey key("Web");
    WriteOneOfEachType(key);
    char buffer[16];
    DWORD size = sizeof buffer;
    EXPECT_TRUE(key.ReadMultiString("multi", buffer, size));
    EXPECT_EQ(5u, size);
    EXPECT_EQ(0, std::memcmp("a\0b\0", buffer, 5));
    size = 3;
    EXPECT_FALSE(key.ReadBinary("binary", buffer, size)); // more data than room
    size = sizeof buffer;
    EXPECT_TRUE(key.ReadBinary("binary", buffer, size));
    EXPECT_EQ(4u, size);
    EXPECT_EQ(0, std::memcmp("\x01\x02\x03\x04", buffer, 4));
}

TEST_F(RegKeyTest, DwordArraysCountWholeNumbers) {
    RegKey key("Web");
    ASSERT_TRUE(key.Open(CurrentUser, kScratchKey, false));
    ASSERT_TRUE(key.WriteBinary("ten", "0123456789", 10));
    DWORD numbers[4] = {};
    DWORD count = 4;
    EXPECT_TRUE(key.ReadDwordArray("ten", numbers, count));
    EXPECT_EQ(2u, count);
    count = 2;
    EXPECT_FALSE(key.ReadDwordArray("ten", numbers, count)); // 10 bytes do not fit in 8

    const DWORD written[3] = {1, 0x01020304, 0xFFFFFFFF};
    EXPECT_TRUE(key.WriteDwordArray("three", written, 3));
    BYTE bytes[12];
    DWORD size = sizeof bytes;
    EXPECT_TRUE(key.ReadBinary("three", bytes, size));
    ASSERT_EQ(12u, size);
    const BYTE littleEndian[12] = {1, 0, 0, 0, 4, 3, 2, 1, 0xFF, 0xFF, 0xFF, 0xFF};
    EXPECT_EQ(0, std::memcmp(littleEndian, bytes, 12));

    EXPECT_TRUE(key.WriteDwordArray("none", written, 0));
    EXPECT_TRUE(key.ValueExists("none"));
    size = sizeof bytes;
    EXPECT_TRUE(key.ReadBinary("none", bytes, size));
    EXPECT_EQ(0u, size);
    count = 4;
    EXPECT_TRUE(key.ReadDwordArray("none", numbers, count));
    EXPECT_EQ(0u, count);
}

TEST_F(RegKeyTest, HasSubkeysDoubtsOnlyWhenItMust) {
    RegKey key("Web");
    EXPECT_TRUE(key.HasSubkeys()); // closed
    ASSERT_TRUE(key.Open(CurrentUser, kScratchKey, false));
    EXPECT_FALSE(key.HasSubkeys());
    RegKey child("Web");
    ASSERT_TRUE(child.Open(CurrentUser, (std::string(kScratchKey) + "\\child").c_str(), false));
    EXPECT_TRUE(key.HasSubkeys());
}

TEST_F(RegKeyTest, DeleteKeyRemovesTheBaseKeysThemselves) {
    RegKey key("News");
    ASSERT_TRUE(key.Open(Updates, nullptr, false));
    ASSERT_TRUE(key.Open(Module, nullptr, false));
    EXPECT_FALSE(key.DeleteKey(Suite, nullptr)); // still has subkeys
    EXPECT_TRUE(key.DeleteKey(Updates, nullptr));
    EXPECT_TRUE(key.DeleteKey(Module, nullptr));
    EXPECT_TRUE(key.DeleteKey(Suite, nullptr));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSuite));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\QuilloSoft\\NetQuillo"));
    EXPECT_FALSE(key.DeleteKey(Suite, nullptr)); // gone already
}

TEST_F(RegKeyTest, DeleteKeyClosesTheWrapperWhateverTheOutcome) {
    RegKey key("Web");
    ASSERT_TRUE(key.Open(CurrentUser, kScratchKey, false));
    EXPECT_FALSE(key.DeleteKey(CurrentUser, "Software\\NetQuilloTests\\missing"));
    EXPECT_FALSE(key.IsOpen());
    ASSERT_TRUE(key.Open(CurrentUser, kScratchKey, false));
    EXPECT_TRUE(key.DeleteKey(CurrentUser, kScratchKey));
    EXPECT_FALSE(key.IsOpen());
}

TEST_F(RegKeyTest, DeleteKeyRefusesCodesOutsideTheTable) {
    RegKey key("Web");
    ASSERT_TRUE(key.Open(CurrentUser, kScratchKey, false));
    for (int code : {-1, 6, 7, 100}) {
        EXPECT_FALSE(key.DeleteKey(static_cast<KeyBase>(code), kScratchKey)) << code;
        EXPECT_FALSE(key.IsOpen());
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kScratchKey));
    }
}

TEST_F(RegKeyTest, DeleteValueOfAMissingValueSucceeds) {
    RegKey key("Web");
    EXPECT_FALSE(key.DeleteValue("anything")); // closed
    ASSERT_TRUE(key.Open(CurrentUser, kScratchKey, false));
    EXPECT_TRUE(key.DeleteValue("missing"));
    ASSERT_TRUE(key.WriteDword("present", 1));
    EXPECT_TRUE(key.DeleteValue("PRESENT"));
    EXPECT_FALSE(key.ValueExists("present"));
}

TEST_F(RegKeyTest, EnumValueNameCountsUpUntilThereIsNone) {
    RegKey key("Web");
    WriteOneOfEachType(key);
    int count = 0;
    char name[64];
    while (key.EnumValueName(count, name, sizeof name))
        ++count;
    EXPECT_EQ(4, count);
}

TEST_F(RegKeyTest, AnOverlongShortNameAddressesNoModuleKey) {
    std::string name(kShortNameCapacity, 'n');
    RegKey key(name.c_str());
    EXPECT_FALSE(key.Open(Module, nullptr, false));
    EXPECT_FALSE(key.DeleteKey(Module, nullptr));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSuite));
}
