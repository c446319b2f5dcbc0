// What only the emulated file system can show: exact free space, a full disk, network shares,
// the aliases it makes, files held by other processes, faults on a path. Host-only.
#include <cstring>
#include <string>

#include "platform/host/emulation.h"
#include "tests/support/test_world.h"

namespace {
class HostFiles : public TestWorld {};

unsigned long long FreeBytes(const char* root) {
    DWORD sectors = 0, bytes = 0, freeClusters = 0, total = 0;
    if (!GetDiskFreeSpaceA(root, &sectors, &bytes, &freeClusters, &total))
        return 0;
    return static_cast<unsigned long long>(sectors) * bytes * freeClusters;
}
} // namespace

TEST_F(HostFiles, FreeSpaceIsExactAndAFullDiskRefusesWrites_HostOnly) {
    hostemu::AddDrive('D', 10);
    EXPECT_EQ(10ull, FreeBytes("D:\\"));
    ASSERT_TRUE(hostemu::SetFreeSpace("C:\\", 3839999));
    EXPECT_EQ(3839999ull, FreeBytes("C:\\"));
    EXPECT_EQ(3839999ull, FreeBytes(nullptr));

    HANDLE file = CreateFileA("D:\\big.bin", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 99;
    EXPECT_FALSE(WriteFile(file, "0123456789A", 11, &written, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DISK_FULL), GetLastError());
    EXPECT_EQ(0u, written);
    EXPECT_TRUE(WriteFile(file, "0123456789", 10, &written, nullptr));
    EXPECT_EQ(0ull, FreeBytes("D:\\"));
    CloseHandle(file);
    // Deleting gives the room back.
    EXPECT_TRUE(DeleteFileA("D:\\big.bin"));
    EXPECT_EQ(10ull, FreeBytes("D:\\"));

    EXPECT_FALSE(GetDiskFreeSpaceA("Q:\\", nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
}

TEST_F(HostFiles, SharesHoldFoldersBelowTheirRoot_HostOnly) {
    hostemu::AddShare("\\\\server\\share", 5000);
    // The share's own root is there already; a server without that share is not reachable.
    EXPECT_FALSE(CreateDirectoryA("\\\\server\\share", nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_FALSE(CreateDirectoryA("\\\\server\\other\\x", nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_BAD_NETPATH), GetLastError());
    EXPECT_TRUE(CreateDirectoryA("\\\\SERVER\\Share\\QuilloSoft", nullptr));
    EXPECT_TRUE(WriteTestFile("\\\\server\\share\\QuilloSoft\\a.txt", "abc"));
    EXPECT_EQ(4997ull, FreeBytes("\\\\server\\share\\"));
    EXPECT_EQ(std::string::npos, hostemu::ListFiles().find("C:\\QuilloSoft"));
    EXPECT_NE(std::string::npos,
              hostemu::ListFiles().find("\\\\server\\share\\QuilloSoft\\a.txt 3\n"));
}

TEST_F(HostFiles, LongNamesGetNumberedAliases_HostOnly) {
    ASSERT_TRUE(CreateDirectoryA("C:\\Program Files", nullptr));
    ASSERT_TRUE(CreateDirectoryA("C:\\Programs Old", nullptr));
    ASSERT_TRUE(WriteTestFile("C:\\Program Files\\WebQuilloUninstall.exe", "u"));
    char buffer[MAX_PATH];
    ASSERT_GT(GetShortPathNameA("C:\\Programs Old", buffer, MAX_PATH), 0u);
    EXPECT_STREQ("C:\\PROGRA~2", buffer);
    ASSERT_GT(GetShortPathNameA("c:\\program files\\webquillouninstall.exe", buffer, MAX_PATH), 0u);
    EXPECT_STREQ("c:\\PROGRA~1\\WEBQUI~1.EXE", buffer);
    EXPECT_TRUE(FileExists("C:\\PROGRA~1\\WEBQUI~1.EXE"));

    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA("C:\\PROGRA~1\\*.exe", &data);
    ASSERT_NE(INVALID_HANDLE_VALUE, search);
    EXPECT_STREQ("WebQuilloUninstall.exe", data.cFileName);
    EXPECT_STREQ("WEBQUI~1.EXE", data.cAlternateFileName);
    FindClose(search);
}

TEST_F(HostFiles, AFileHeldByAnotherProcessRefusesReplacement_HostOnly) {
    const std::string path = ScratchPath("WebQuillo.exe");
    EXPECT_FALSE(hostemu::HoldFileOpen(path.c_str()));
    ASSERT_TRUE(hostemu::WriteFileBytes(path.c_str(), "old"));
    ASSERT_TRUE(hostemu::HoldFileOpen(path.c_str(), FILE_SHARE_READ));
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SHARING_VIOLATION), GetLastError());
    // Even a reader must share writing with it.
    std::string bytes;
    EXPECT_FALSE(ReadTestFile(path, bytes));
    EXPECT_TRUE(hostemu::ReadFileBytes(path.c_str(), bytes));
    EXPECT_EQ("old", bytes);
    hostemu::ReleaseHeldFiles();
    EXPECT_TRUE(WriteTestFile(path, "new"));
}

TEST_F(HostFiles, FaultsOnAPathHitWhatLiesBelow_HostOnly) {
    hostemu::FailPath("CreateFileA", ScratchPath("locked").c_str(), ERROR_ACCESS_DENIED);
    ASSERT_TRUE(CreateDirectoryA(ScratchPath("locked").c_str(), nullptr));
    EXPECT_FALSE(WriteTestFile(ScratchPath("LOCKED\\a.txt"), "x"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_TRUE(WriteTestFile(ScratchPath("lockedout.txt"), "x"));
    EXPECT_EQ(2u, hostemu::CallCount("CreateFileA"));
}

TEST_F(HostFiles, MachineFoldersAndNamesAreConfigurable_HostOnly) {
    hostemu::AddDrive('D', 1 << 20);
    hostemu::SetWindowsDirectory("D:\\");
    hostemu::SetTempPath("D:\\Temp");
    hostemu::SetModuleFileName("E:\\Setup\\SETUP.EXE");
    char buffer[MAX_PATH];
    EXPECT_EQ(8u, GetTempPathA(MAX_PATH, buffer));
    EXPECT_STREQ("D:\\Temp\\", buffer);
    EXPECT_EQ(FILE_ATTRIBUTE_DIRECTORY, GetFileAttributesA("D:\\Temp"));
    EXPECT_EQ(18u, GetModuleFileNameA(nullptr, buffer, MAX_PATH));
    EXPECT_STREQ("E:\\Setup\\SETUP.EXE", buffer);
}

TEST_F(HostFiles, MalformedPathsAreRefused_HostOnly) {
    const char* bad[] = {"", "C:\\a<b", "C:\\a|b\\c", "\\\\server", "\\\\server\\", "C:\\x\\*"};
    for (const char* path : bad) {
        EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                    FILE_ATTRIBUTE_NORMAL, nullptr))
            << path;
        EXPECT_FALSE(CreateDirectoryA(path, nullptr)) << path;
    }
    EXPECT_EQ(INVALID_HANDLE_VALUE, CreateFileA(nullptr, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_EQ("C:\\\nC:\\NetQuilloTests\\\nC:\\WINDOWS\\\nC:\\WINDOWS\\SYSTEM32\\\n"
              "C:\\WINDOWS\\TEMP\\\n",
              hostemu::ListFiles());
}

// A power cut keeps of each kind only what was flushed: a file's bytes by its own flush, the
// names by any flush, a hive by RegFlushKey; each kind may also be kept whole.
TEST_F(HostFiles, APowerCutKeepsOnlyWhatWasFlushed_HostOnly) {
    hostemu::WriteFileBytes("C:\\old.txt", "old");
    hostemu::TrackDurability();
    auto write = [](const char* path, const char* bytes, bool flush) {
        HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD written = 0;
        EXPECT_TRUE(WriteFile(file, bytes, static_cast<DWORD>(std::strlen(bytes)), &written,
                              nullptr));
        if (flush) {
            EXPECT_TRUE(FlushFileBuffers(file));
        }
        CloseHandle(file);
    };
    auto setValue = [](HKEY root, const char* path, const char* value) {
        HKEY key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &key, nullptr));
        RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>(std::strlen(value) + 1));
        RegCloseKey(key);
    };
    auto read = [](const char* path) {
        std::string bytes;
        return hostemu::ReadFileBytes(path, bytes) ? bytes : std::string("(none)");
    };
    write("C:\\unflushed.txt", "lost", false);
    write("C:\\flushed.txt", "kept", true); // makes every name so far durable
    EXPECT_TRUE(MoveFileA("C:\\old.txt", "C:\\moved.txt"));
    setValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Flushed", "kept");
    setValue(HKEY_LOCAL_MACHINE, "System\\Unflushed", "lost");
    setValue(HKEY_CURRENT_USER, "Software\\Unflushed", "lost");
    HKEY software;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Flushed", 0,
                                           KEY_QUERY_VALUE, &software));
    EXPECT_EQ(ERROR_SUCCESS, RegFlushKey(software)); // the SOFTWARE hive alone
    RegCloseKey(software);
    const unsigned long long freeBefore = FreeBytes("C:\\");

    hostemu::PowerCutLoss keepNames;
    keepNames.names = false;
    keepNames.registry = false;
    hostemu::CutPower(keepNames);
    EXPECT_EQ("", read("C:\\unflushed.txt")); // its name kept, its bytes not
    EXPECT_EQ("kept", read("C:\\flushed.txt"));
    EXPECT_EQ("old", read("C:\\moved.txt"));
    EXPECT_EQ(freeBefore + 4, FreeBytes("C:\\"));
    HKEY key;
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Unflushed", 0,
                                           KEY_READ, &key));
    RegCloseKey(key);

    // The machine started again holds that as durable; now everything unflushed goes.
    write("C:\\later.txt", "lost", false);
    EXPECT_TRUE(DeleteFileA("C:\\flushed.txt"));
    setValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Later", "lost");
    hostemu::CutPower(hostemu::PowerCutLoss());
    EXPECT_EQ("(none)", read("C:\\later.txt"));
    EXPECT_EQ("kept", read("C:\\flushed.txt"));
    EXPECT_EQ("old", read("C:\\moved.txt"));
    EXPECT_EQ("(none)", read("C:\\old.txt"));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Later", 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Flushed", 0, KEY_READ, &key));
    RegCloseKey(key);
    EXPECT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\Unflushed", 0, KEY_READ, &key));
    RegCloseKey(key);
}
