// The system calls behind restart-time deletions: delayed MoveFileExA and profile files.
#include <string>

#include "tests/install/install_world.h"

namespace {

using namespace std::string_literals;

class RestartApi : public InstallWorld {
  protected:
    std::string Wininit() const {
        std::string text;
        ReadTestFile(JoinedPath(WindowsFolder(), "wininit.ini"), text);
        return text;
    }
    // Entries written through the profile calls, flushed, land in the file as written.
    void WriteAndFlushRenameEntries() {
        EXPECT_TRUE(WritePrivateProfileStringA("Rename", "NQ1", "C:\\X.DLL", "wininit.ini"));
        EXPECT_TRUE(WritePrivateProfileStringA("Rename", "NQ2", "C:\\Y.EXE", "wininit.ini"));
        EXPECT_TRUE(WritePrivateProfileStringA("Rename", "NQ1", "C:\\Z.DLL", "wininit.ini"));
        SetLastError(0);
        EXPECT_FALSE(WritePrivateProfileStringA(nullptr, nullptr, nullptr, "wininit.ini"))
            << "the flush answers FALSE";
        EXPECT_EQ("[Rename]\r\nNQ1=C:\\Z.DLL\r\nNQ2=C:\\Y.EXE\r\n", Wininit());
        char value[MAX_PATH];
        EXPECT_EQ(8u,
                  GetPrivateProfileStringA("Rename", "nq2", "", value, MAX_PATH, "wininit.ini"));
        EXPECT_STREQ("C:\\Y.EXE", value);
        EXPECT_EQ(4u, GetPrivateProfileStringA("Rename", "NQ9", "none  ", value, MAX_PATH,
                                               "wininit.ini"));
        EXPECT_STREQ("none", value);
    }
};

} // namespace

TEST_F(RestartApi, DelayedMovesAppendNtPathPairs) {
    const std::string a = ScratchPath("a.txt");
    const std::string b = ScratchPath("b.txt");
    EXPECT_TRUE(MoveFileExA(a.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    EXPECT_TRUE(MoveFileExA(a.c_str(), b.c_str(), MOVEFILE_DELAY_UNTIL_REBOOT));
    std::string list;
    DWORD type = REG_NONE;
    ASSERT_TRUE(ReadPendingList(list, &type));
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), type);
    EXPECT_EQ("\\??\\" + a + '\0' + '\0' + "\\??\\" + a + '\0' + "\\??\\" + b + '\0' + '\0', list);
}

TEST_F(RestartApi, ProfileEntriesReachTheFileByTheFlush) {
    WriteAndFlushRenameEntries();
}

TEST_F(RestartApi, Win9xProfileEntriesReachTheFileByTheFlush) {
    if (!UseWin9xFamily())
        GTEST_SKIP() << "needs the 95 family";
    WriteAndFlushRenameEntries();
}
