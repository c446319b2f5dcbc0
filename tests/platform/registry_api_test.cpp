// The registry rules the program relies on, checked against whichever Win32 this runs on: the
// same cases pin the host emulation to what Windows (here Wine) does.
#include <cstring>
#include <string>
#include <vector>

#include "platform/regedit_export.h"
#include "tests/support/test_world.h"

namespace {

class RegistryApi : public TestWorld {
  protected:
    HKEY Create(const std::string& path, DWORD* disposition = nullptr) {
        HKEY key = nullptr;
        EXPECT_EQ(ERROR_SUCCESS,
                  RegCreateKeyExA(HKEY_CURRENT_USER, (std::string(kScratchKey) + path).c_str(), 0,
                                  nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key,
                                  disposition));
        return key;
    }
    LONG Open(const std::string& path, REGSAM access, HKEY& key) {
        return RegOpenKeyExA(HKEY_CURRENT_USER, (std::string(kScratchKey) + path).c_str(), 0,
                             access, &key);
    }
};

std::vector<std::string> SubkeyNames(HKEY key) {
    std::vector<std::string> names;
    char name[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof name;
        LONG result = RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result != ERROR_SUCCESS) {
            EXPECT_EQ(ERROR_NO_MORE_ITEMS, result);
            break;
        }
        EXPECT_EQ(std::strlen(name), length);
        names.push_back(name);
    }
    return names;
}

} // namespace

TEST_F(RegistryApi, CreateMakesEveryMissingParentAndTellsWhetherItWasNew) {
    DWORD disposition = 0;
    HKEY key = Create("\\a\\b\\c", &disposition);
    EXPECT_EQ(static_cast<DWORD>(REG_CREATED_NEW_KEY), disposition);
    RegCloseKey(key);
    key = Create("\\A\\B\\C", &disposition);
    EXPECT_EQ(static_cast<DWORD>(REG_OPENED_EXISTING_KEY), disposition);
    RegCloseKey(key);
    HKEY parent;
    ASSERT_EQ(ERROR_SUCCESS, Open("\\a\\b", KEY_READ, parent));
    EXPECT_EQ(std::vector<std::string>{"c"}, SubkeyNames(parent)); // the case it was made with
    RegCloseKey(parent);
}

TEST_F(RegistryApi, PathsMayNotStartWithABackslash) {
    HKEY key;
    EXPECT_EQ(ERROR_BAD_PATHNAME,
              RegOpenKeyExA(HKEY_CURRENT_USER, "\\Software", 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_BAD_PATHNAME,
              RegCreateKeyExA(HKEY_CURRENT_USER, (std::string("\\") + kScratchKey).c_str(), 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Open("\\missing", KEY_READ, key));
}

TEST_F(RegistryApi, SubkeysEnumerateByNameIgnoringCase) {
    HKEY key = Create("");
    for (const char* name : {"zeta", "Alpha", "beta"}) {
        HKEY child;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(key, name, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                                 &child, nullptr));
        RegCloseKey(child);
    }
    EXPECT_EQ((std::vector<std::string>{"Alpha", "beta", "zeta"}), SubkeyNames(key));
    char name[3];
    DWORD length = sizeof name;
    EXPECT_EQ(ERROR_MORE_DATA,
              RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(key);
}

TEST_F(RegistryApi, DeleteKeyRefusesAKeyWithSubkeysAndAMissingKey) {
    RegCloseKey(Create("\\parent\\child"));
    std::string parent = std::string(kScratchKey) + "\\parent";
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteKeyA(HKEY_CURRENT_USER, parent.c_str()));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CURRENT_USER, (parent + "\\CHILD").c_str()));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CURRENT_USER, parent.c_str()));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteKeyA(HKEY_CURRENT_USER, parent.c_str()));
}

TEST_F(RegistryApi, Win9xDeleteKeyTakesTheWholeSubtree) {
    ASSERT_TRUE(UseWin9xFamily()) << "needs the 95 family (Wine in win98 mode)";
    RegCloseKey(Create("\\parent\\child\\grandchild"));
    RegCloseKey(Create("\\sibling"));
    std::string parent = std::string(kScratchKey) + "\\parent";
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CURRENT_USER, parent.c_str()));
    HKEY key;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Open("\\parent\\child", KEY_READ, key));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, Open("\\parent", KEY_READ, key));
    ASSERT_EQ(ERROR_SUCCESS, Open("\\sibling", KEY_READ, key));
    RegCloseKey(key);
}

TEST_F(RegistryApi, QueryReportsSizesAndLeavesATooSmallBufferAlone) {
    HKEY key = Create("");
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE*>("abcd"), 5));
    DWORD type = 0, size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "TEXT", nullptr, &type, nullptr, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
    EXPECT_EQ(5u, size);

    BYTE buffer[8];
    std::memset(buffer, 'X', sizeof buffer);
    size = 3;
    EXPECT_EQ(ERROR_MORE_DATA, RegQueryValueExA(key, "Text", nullptr, &type, buffer, &size));
    EXPECT_EQ(5u, size);
    EXPECT_EQ('X', buffer[0]);

    size = sizeof buffer;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Text", nullptr, &type, buffer, &size));
    EXPECT_STREQ("abcd", reinterpret_cast<char*>(buffer));
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Text", nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegQueryValueExA(key, "Other", nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(key);
}

// Strings are kept in UTF-16: the W calls give back exactly what they stored, and the A calls
// see it through the ANSI code page, '?' for a character the code page lacks. Other types are
// bytes to both.
TEST_F(RegistryApi, WideStringsReachTheAnsiCallsThroughTheCodePage) {
    HKEY key = Create("");
    const WCHAR wide[] = L"a\x4E2D\x00E9\0b\0"; // the literal brings the list's closing zero
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"Multi", 0, REG_MULTI_SZ,
                                            reinterpret_cast<const BYTE*>(wide), sizeof wide));
    char ansi[16];
    DWORD type = 0, size = sizeof ansi;
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryValueExA(key, "multi", nullptr, &type, reinterpret_cast<BYTE*>(ansi), &size));
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), type);
    EXPECT_EQ(std::string("a?\xE9\0b\0\0", 7), std::string(ansi, size));
    WCHAR back[16];
    size = sizeof back;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, L"MULTI", nullptr, &type,
                                              reinterpret_cast<BYTE*>(back), &size));
    EXPECT_EQ(std::wstring(wide, sizeof wide / sizeof(WCHAR)),
              std::wstring(back, size / sizeof(WCHAR)));

    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "Multi", 0, REG_MULTI_SZ,
                                            reinterpret_cast<const BYTE*>("x\xE9\0"), 4));
    size = sizeof back;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, L"Multi", nullptr, &type,
                                              reinterpret_cast<BYTE*>(back), &size));
    EXPECT_EQ(std::wstring(L"x\x00E9\0", 4), std::wstring(back, size / sizeof(WCHAR)));

    const BYTE bytes[3] = {0x4E, 0x2D, 0xE9};
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, L"Bytes", 0, REG_BINARY, bytes, sizeof bytes));
    size = sizeof ansi;
    ASSERT_EQ(ERROR_SUCCESS,
              RegQueryValueExA(key, "Bytes", nullptr, &type, reinterpret_cast<BYTE*>(ansi), &size));
    EXPECT_EQ(std::string("\x4E\x2D\xE9", 3), std::string(ansi, size));
    RegCloseKey(key);
}

TEST_F(RegistryApi, EmptyBinaryValueExists) {
    HKEY key = Create("");
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "Empty", 0, REG_BINARY, nullptr, 0));
    DWORD type = 0, size = 99;
    BYTE buffer[4];
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "Empty", nullptr, &type, buffer, &size));
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), type);
    EXPECT_EQ(0u, size);
    RegCloseKey(key);
}

TEST_F(RegistryApi, DefaultValueEnumeratesWithAnEmptyName) {
    HKEY key = Create("");
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("d"), 2));
    char name[16] = "junk";
    DWORD length = sizeof name;
    EXPECT_EQ(ERROR_SUCCESS,
              RegEnumValueA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr));
    EXPECT_STREQ("", name);
    EXPECT_EQ(0u, length);
    length = sizeof name;
    EXPECT_EQ(ERROR_NO_MORE_ITEMS,
              RegEnumValueA(key, 1, name, &length, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, "", nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(key);
}

TEST_F(RegistryApi, ReadOnlyHandlesRefuseChanges) {
    RegCloseKey(Create(""));
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, Open("", KEY_READ, key));
    EXPECT_EQ(ERROR_ACCESS_DENIED,
              RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("a"), 2));
    EXPECT_EQ(ERROR_ACCESS_DENIED, RegDeleteValueA(key, "v"));
    RegCloseKey(key);
}

TEST_F(RegistryApi, HandlesOfDeletedOrClosedKeys) {
    HKEY parent = Create("");
    HKEY child;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(parent, "child", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &child,
                              nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(parent, "child"));
    EXPECT_EQ(ERROR_KEY_DELETED,
              RegSetValueExA(child, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("a"), 2));
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(child));
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(child));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegDeleteValueA(parent, "missing"));
    RegCloseKey(parent);
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegDeleteValueA(nullptr, "v"));
}

// The end-to-end robot exports only its own value of keys the system shares.
TEST_F(RegistryApi, ExportOfOneValueGivesItsSectionOrNothing) {
    HKEY key = Create("\\Shared");
    const char text[] = "ours";
    const DWORD number = 0x1f90;
    RegSetValueExA(key, "Ours", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), sizeof text);
    RegSetValueExA(key, "Theirs", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                   sizeof number);
    RegCloseKey(key);
    const std::string path = std::string(kScratchKey) + "\\Shared";
    EXPECT_EQ("[HKEY_CURRENT_USER\\" + path + "]\n\"Ours\"=\"ours\"\n\n",
              ExportRegistryValue(HKEY_CURRENT_USER, path.c_str(), "Ours"));
    EXPECT_EQ("[HKEY_CURRENT_USER\\" + path + "]\n\"Theirs\"=dword:00001f90\n\n",
              ExportRegistryValue(HKEY_CURRENT_USER, path.c_str(), "Theirs"));
    EXPECT_EQ("", ExportRegistryValue(HKEY_CURRENT_USER, path.c_str(), "Missing"));
    EXPECT_EQ("", ExportRegistryValue(HKEY_CURRENT_USER, (path + "\\Missing").c_str(), "Ours"));
}
