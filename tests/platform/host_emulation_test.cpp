// What only the emulation can do: configure the machine, fail calls on demand, count them and
// show the registry whole. Every test here is host-only.
#include <string>

#include "platform/host/emulation.h"
#include "registry/reg_key.h"
#include "tests/support/test_world.h"

namespace {
class HostEmulation : public TestWorld {};
} // namespace

TEST_F(HostEmulation, DirectoriesAreConfigurable_HostOnly) {
    char buffer[MAX_PATH];
    EXPECT_EQ(10u, GetWindowsDirectoryA(buffer, MAX_PATH));
    EXPECT_STREQ("C:\\WINDOWS", buffer);
    hostemu::SetWindowsDirectory("D:\\");
    EXPECT_EQ(3u, GetWindowsDirectoryA(buffer, MAX_PATH));
    EXPECT_STREQ("D:\\", buffer);
    // Too small a buffer: the size needed, zero included, and the buffer left alone.
    char small[3] = {'x', 'x', 'x'};
    EXPECT_EQ(4u, GetWindowsDirectoryA(small, sizeof small));
    EXPECT_EQ('x', small[0]);
    hostemu::SetSystemDirectory("D:\\SYS");
    EXPECT_EQ(6u, GetSystemDirectoryA(buffer, MAX_PATH));
}

TEST_F(HostEmulation, FaultsByOccurrenceHitOnlyThatCall_HostOnly) {
    hostemu::FailCall("RegSetValueExA", ERROR_ACCESS_DENIED, 2);
    RegKey key("Web");
    ASSERT_TRUE(key.Open(CurrentUser, kScratchKey, false));
    EXPECT_TRUE(key.WriteDword("a", 1));
    EXPECT_FALSE(key.WriteDword("b", 2));
    EXPECT_TRUE(key.WriteDword("c", 3));
    EXPECT_EQ(3u, hostemu::CallCount("RegSetValueExA"));
    EXPECT_FALSE(key.ValueExists("b"));
}

TEST_F(HostEmulation, FaultsByPathHitTheKeyAndWhatLiesBelow_HostOnly) {
    hostemu::FailPath("RegCreateKeyExA", "HKEY_CURRENT_USER\\Software\\QuilloSoft",
                      ERROR_ACCESS_DENIED);
    RegKey key("Web");
    EXPECT_FALSE(key.Open(Module, nullptr, false));
    EXPECT_FALSE(key.Open(CurrentUser, "SOFTWARE\\quillosoft", false));
    EXPECT_TRUE(key.Open(CurrentUser, "Software\\QuilloSoftware", false));
    hostemu::ClearFaults();
    EXPECT_TRUE(key.Open(Module, nullptr, false));
}

TEST_F(HostEmulation, FailingEachCallInTurnNeverBreaksTheWrapper_HostOnly) {
    // Count the calls of one complete task, then fail each of them in turn.
    auto task = [] {
        RegKey key("Web");
        bool ok = key.Open(Module, "Sub", false) && key.WriteString("s", "v") &&
                  key.WriteDword("d", 1) && key.HasSubkeys() == false;
        char text[8];
        DWORD number;
        ok = key.ReadString("s", text, sizeof text) && key.ReadDword("d", number) && ok;
        return ok && key.DeleteKey(Module, "Sub");
    };
    ASSERT_TRUE(task());
    const char* functions[] = {"RegCreateKeyExA", "RegSetValueExA", "RegEnumKeyExA",
                               "RegQueryValueExA", "RegDeleteKeyA"};
    for (const char* function : functions) {
        unsigned calls = hostemu::CallCount(function);
        for (unsigned n = 1; n <= calls; ++n) {
            hostemu::Reset();
            hostemu::FailCall(function, ERROR_ACCESS_DENIED, n);
            EXPECT_FALSE(task()) << function << " #" << n;
        }
    }
}

TEST_F(HostEmulation, ClassesRootIsTheMachinesClasses_HostOnly) {
    RegKey key("Web");
    ASSERT_TRUE(key.Open(ClassesRoot, ".nqs", false));
    ASSERT_TRUE(key.WriteString(nullptr, "WebQuilloSearch"));
    EXPECT_TRUE(key.Open(LocalMachine, "SOFTWARE\\Classes\\.NQS", true));
}

TEST_F(HostEmulation, RegistryExportsAsRegedit4Text_HostOnly) {
    RegKey key("Web");
    ASSERT_TRUE(key.Open(CurrentUser, "Software\\Export\\Sub", false));
    ASSERT_TRUE(key.Open(CurrentUser, "Software\\Export", false));
    ASSERT_TRUE(key.WriteString(nullptr, "quote\" and \\"));
    ASSERT_TRUE(key.WriteDword("Number", 0x1234));
    ASSERT_TRUE(key.WriteBinary("Bytes", "\x01\xab", 2));
    ASSERT_TRUE(key.WriteMultiString("List", "a\0\0", 3));
    EXPECT_EQ("REGEDIT4\n\n"
              "[HKEY_CURRENT_USER\\Software\\Export]\n"
              "@=\"quote\\\" and \\\\\"\n"
              "\"Number\"=dword:00001234\n"
              "\"Bytes\"=hex:01,ab\n"
              "\"List\"=hex(7):61,00,00\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Export\\Sub]\n"
              "\n",
              RegistryText(HKEY_CURRENT_USER, "Software\\Export"));
    std::string whole = hostemu::ExportRegistry();
    EXPECT_NE(std::string::npos, whole.find("[HKEY_CURRENT_USER\\Software\\Export\\Sub]\n"));
    EXPECT_NE(std::string::npos,
              whole.find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion]\n"));
    EXPECT_EQ(0u, whole.find("REGEDIT4\n\n"));
}

TEST_F(HostEmulation, LongBinaryValuesWrapAsRegeditDoes_HostOnly) {
    RegKey key("Web");
    ASSERT_TRUE(key.Open(CurrentUser, kScratchKey, false));
    std::string bytes(40, '\x11');
    ASSERT_TRUE(key.WriteBinary("Long", bytes.data(), 40));
    std::string text = RegistryText(HKEY_CURRENT_USER, kScratchKey);
    size_t start = text.find("\"Long\"");
    ASSERT_NE(std::string::npos, start);
    size_t lineEnd = text.find('\n', start);
    EXPECT_LE(lineEnd - start, 80u);
    EXPECT_EQ('\\', text[lineEnd - 1]);
}

TEST_F(HostEmulation, Win9xFamilyHasNoMoveFileEx_HostOnly) {
    // Wine carries the call out whatever Windows version it reports.
    ASSERT_TRUE(UseWin9xFamily());
    SetLastError(0);
    EXPECT_FALSE(MoveFileExA("C:\\WINDOWS\\a.txt", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    EXPECT_EQ(static_cast<DWORD>(ERROR_CALL_NOT_IMPLEMENTED), GetLastError());
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                                           "System\\CurrentControlSet\\Control\\Session Manager", 0,
                                           KEY_READ, &key));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegQueryValueExA(key, "PendingFileRenameOperations", nullptr,
                                                     nullptr, nullptr, nullptr));
    RegCloseKey(key);
}

// Windows limits a key name to 255 characters; Wine accepts 256.
TEST_F(HostEmulation, KeyNamesOfMoreThan255CharactersAreRefused_HostOnly) {
    HKEY parent = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &parent, nullptr));
    HKEY key = nullptr;
    const std::string longest(255, 'k');
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(parent, longest.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegCloseKey(key);
    const std::string overlong = longest + "k";
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegCreateKeyExA(parent, overlong.c_str(), 0, nullptr, 0,
                                                       KEY_ALL_ACCESS, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegOpenKeyExA(parent, overlong.c_str(), 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_INVALID_PARAMETER,
              RegCreateKeyExA(parent, ("a\\" + overlong + "\\b").c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExA(parent, "a", 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, RegDeleteKeyA(parent, overlong.c_str()));
    RegCloseKey(parent);
}

TEST_F(HostEmulation, CloseCallsFailOnDemandAndStillLetTheHandleGo_HostOnly) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kScratchKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    hostemu::FailCall("RegCloseKey", ERROR_WRITE_FAULT);
    EXPECT_EQ(ERROR_WRITE_FAULT, RegCloseKey(key));
    hostemu::ClearFaults();
    EXPECT_EQ(ERROR_INVALID_HANDLE, RegCloseKey(key));

    HANDLE file = CreateFileA(ScratchPath("a.txt").c_str(), GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    hostemu::FailCall("CloseHandle", ERROR_WRITE_FAULT);
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(static_cast<DWORD>(ERROR_WRITE_FAULT), GetLastError());
    hostemu::ClearFaults();
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_HANDLE), GetLastError());

    HWND window =
        CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    hostemu::FailCall("DestroyWindow", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_TRUE(IsWindow(window));
    hostemu::ClearFaults();
    EXPECT_TRUE(DestroyWindow(window));
}

// Reset keeps what a run left in place and removes only what it added: whatever the run did to
// the standing keys and folders, the machine after Reset must be the fresh one.
TEST_F(HostEmulation, ResetAfterAnyChangeGivesTheFreshMachine_HostOnly) {
    hostemu::Reset();
    const std::string freshRegistry = hostemu::ExportRegistry();
    const std::string freshFiles = hostemu::ListFiles();
    auto freeClusters = [] {
        DWORD sectors = 0, bytes = 0, free = 0, total = 0;
        GetDiskFreeSpaceA("C:\\", &sectors, &bytes, &free, &total);
        return free;
    };
    const DWORD freshFree = freeClusters();

    auto check = [&](const char* after) {
        hostemu::Reset();
        EXPECT_EQ(0u, hostemu::TotalCallCount()) << after;
        EXPECT_EQ(freshRegistry, hostemu::ExportRegistry()) << after;
        EXPECT_EQ(freshFiles, hostemu::ListFiles()) << after;
        EXPECT_EQ(freshFree, freeClusters()) << after;
    };

    // Keys and values added below and on standing keys, a file written, a drive added, an
    // attribute changed, a handle left open.
    RegKey key("Web");
    ASSERT_TRUE(key.Open(CurrentUser, "Software\\Microsoft\\Windows\\CurrentVersion\\Added", false));
    EXPECT_TRUE(key.WriteString("name", "value"));
    HKEY standing;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes", 0,
                                           KEY_ALL_ACCESS, &standing));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(standing, "", 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>("x"), 2));
    EXPECT_TRUE(hostemu::WriteFileBytes("C:\\WINDOWS\\TEMP\\a\\b.txt", "twelve bytes"));
    EXPECT_TRUE(SetFileAttributesA("C:\\WINDOWS\\SYSTEM32", FILE_ATTRIBUTE_HIDDEN));
    EXPECT_TRUE(hostemu::HoldFileOpen("C:\\WINDOWS\\TEMP\\a\\b.txt"));
    hostemu::AddDrive('D', 100);
    hostemu::SetFreeSpace("C:\\", 5);
    hostemu::SetTempPath("D:\\T");
    check("additions");
    // The handle of the last run is gone with it.
    EXPECT_NE(ERROR_SUCCESS, RegSetValueExA(standing, "", 0, REG_SZ,
                                            reinterpret_cast<const BYTE*>("x"), 2));

    // Standing keys and folders deleted or made again: a whole new machine.
    EXPECT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_CURRENT_USER,
                                           "Software\\Microsoft\\Windows\\CurrentVersion"));
    check("a standing key deleted");
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyA(HKEY_LOCAL_MACHINE,
                                           "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer"));
    ASSERT_TRUE(key.Open(LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer", false));
    check("a standing key made again");
    EXPECT_TRUE(RemoveDirectoryA("C:\\WINDOWS\\TEMP"));
    EXPECT_TRUE(CreateDirectoryA("C:\\WINDOWS\\TEMP", nullptr));
    check("a standing folder made again");
    hostemu::AddDrive('C', 10);
    check("drive C: replaced");
}
