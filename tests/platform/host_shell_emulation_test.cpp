// The emulation's profile cache and restart list under conditions only it can make.
#include <string>

#include "platform/host/emulation.h"
#include "tests/install/install_world.h"

namespace {

class HostRestartApi : public InstallWorld {};

std::string HostWininit() {
    std::string text;
    ReadTestFile("C:\\WINDOWS\\wininit.ini", text);
    return text;
}

} // namespace

TEST_F(HostRestartApi, Win9xProfileWritesWaitInTheCacheForTheFlush_HostOnly) {
    ASSERT_TRUE(UseWin9xFamily());
    EXPECT_TRUE(WritePrivateProfileStringA("Rename", "NQ1", "C:\\X.DLL", "wininit.ini"));
    EXPECT_EQ("", HostWininit());
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "wininit.ini");
    EXPECT_EQ("[Rename]\r\nNQ1=C:\\X.DLL\r\n", HostWininit());
}

TEST_F(HostRestartApi, ProfileKeepsOtherSectionsAndLinesAsTheyWere_HostOnly) {
    ASSERT_TRUE(WriteTestFile("C:\\WINDOWS\\wininit.ini",
                              "; note\r\n[Other]\r\nA = 1\r\n\r\n[Rename]\r\nNUL=C:\\OLD.TXT\r\n"));
    EXPECT_TRUE(WritePrivateProfileStringA("rename", "NQ2", "C:\\NEW.EXE", "wininit.ini"));
    EXPECT_EQ("; note\r\n[Other]\r\nA=1\r\n\r\n[Rename]\r\nNUL=C:\\OLD.TXT\r\nNQ2=C:\\NEW.EXE\r\n",
              HostWininit());
}

TEST_F(HostRestartApi, DelayedMoveThatCannotWriteTheListFails_HostOnly) {
    hostemu::FailCall("RegSetValueExW", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(MoveFileExA("C:\\a.txt", nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    std::string list;
    EXPECT_FALSE(ReadPendingList(list));
}
