// Restart-time deletions when the machine refuses: every scan must end, and leave the file or
// key as it was.
#include <string>

#include "driver/catalogue.h"
#include "driver/setup_context.h"
#include "install/restart_deletions.h"
#include "platform/host/emulation.h"
#include "tests/install/install_world.h"

namespace {

class HostRestartDeletions : public InstallWorld {};

const char kWininit[] = "C:\\WINDOWS\\wininit.ini";

} // namespace

TEST_F(HostRestartDeletions, RewriteEndsWhenTheFileRefusesWrites_HostOnly) {
    const std::string before = "[Rename]\r\nNQ1=C:\\A.DLL\r\n";
    ASSERT_TRUE(WriteTestFile(kWininit, before));
    hostemu::FailCall("WriteFile", ERROR_WRITE_FAULT);
    RewriteWininitKeys();
    hostemu::ClearFaults();
    std::string after;
    ASSERT_TRUE(ReadTestFile(kWininit, after));
    EXPECT_EQ(before, after);
}

TEST_F(HostRestartDeletions, Win9xCancelEndsWhenTheFileRefusesWrites_HostOnly) {
    ASSERT_TRUE(UseWin9xFamily());
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    ASSERT_TRUE(WriteTestFile(context.modules[0].uninstallerPath.get(), "u"));
    const std::string before =
        "[Rename]\r\nNUL=" + ShortPath(context.modules[0].uninstallerPath.get()) + "\r\n";
    ASSERT_TRUE(WriteTestFile(kWininit, before));
    hostemu::FailCall("WriteFile", ERROR_WRITE_FAULT);
    CancelPendingDeletes(context);
    hostemu::ClearFaults();
    std::string after;
    ASSERT_TRUE(ReadTestFile(kWininit, after));
    EXPECT_EQ(before, after);
}

TEST_F(HostRestartDeletions, RenameValueThatCannotBeDeletedIsPassedOver_HostOnly) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTestFileRenameKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegSetValueExA(key, context.modules[0].uninstallerPath.get(), 0, REG_SZ,
                   reinterpret_cast<const BYTE*>(""), 1);
    RegCloseKey(key);
    hostemu::FailCall("RegDeleteValueA", ERROR_ACCESS_DENIED);
    CancelPendingDeletes(context);
    hostemu::ClearFaults();
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTestFileRenameKey, 0, KEY_READ, &key));
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(key, context.modules[0].uninstallerPath.get(),
                                              nullptr, nullptr, nullptr, nullptr));
    RegCloseKey(key);
}

TEST_F(HostRestartDeletions, WininitInAWindowsDirectoryAtTheDriveRoot_HostOnly) {
    hostemu::SetWindowsDirectory("C:\\");
    ASSERT_TRUE(WriteTestFile("C:\\wininit.ini", "NQ4=C:\\B.EXE\r\n"));
    RewriteWininitKeys();
    std::string after;
    ASSERT_TRUE(ReadTestFile("C:\\wininit.ini", after));
    EXPECT_EQ("NUL=C:\\B.EXE\r\n", after);
}

TEST_F(HostRestartDeletions, RenameValueTheDeletionCannotFindEndsTheScan_HostOnly) {
    // As for a name whose characters did not survive the ANSI conversion: the enumeration
    // hands it out, the deletion answers that there is no such value.
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, kTestFileRenameKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    for (const char* name :
         {context.modules[0].uninstallerPath.get(), context.findMenuLibraryPath.get()})
        RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    RegCloseKey(key);
    unsigned deletionsBefore = hostemu::CallCount("RegDeleteValueA");
    unsigned enumerationsBefore = hostemu::CallCount("RegEnumValueA");
    hostemu::FailCall("RegDeleteValueA", ERROR_FILE_NOT_FOUND);
    // An endless scan is cut short here, so that it shows as a count rather than a hang.
    hostemu::FailCall("RegEnumValueA", ERROR_NO_MORE_ITEMS, enumerationsBefore + 100);
    CancelPendingDeletes(context);
    hostemu::ClearFaults();
    EXPECT_EQ(deletionsBefore + 2, hostemu::CallCount("RegDeleteValueA"));
    EXPECT_GT(enumerationsBefore + 100, hostemu::CallCount("RegEnumValueA"));
}
