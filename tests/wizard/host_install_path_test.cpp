// Install-folder cases that need what only the emulation can arrange: a machine without a
// Program Files folder, shares, and folders that cannot be created.
#include <string>

#include "driver/setup_context.h"
#include "platform/host/emulation.h"
#include "tests/support/test_world.h"
#include "wizard/install_path.h"

namespace {

class HostInstallPath : public TestWorld {
  protected:
    SetupContext context_{kSuiteName, kProductCatalogue, kCatalogueRowCount};
};

} // namespace

TEST_F(HostInstallPath, DefaultWithoutProgramFilesFolder_HostOnly) {
    char path[MAX_PATH];
    DefaultInstallPath(path);
    EXPECT_STREQ("C:\\QuilloSoft\\", path);
    // A file of that name is no folder.
    ASSERT_TRUE(hostemu::WriteFileBytes("C:\\Program Files", ""));
    DefaultInstallPath(path);
    EXPECT_STREQ("C:\\QuilloSoft\\", path);
}

TEST_F(HostInstallPath, ShareRootThatRefusesCreationIsStillAFolder_HostOnly) {
    hostemu::AddShare("\\\\server\\share", 1 << 30);
    ASSERT_TRUE(TestInstallPath("\\\\server\\share\\QuilloSoft\\"));
    // An NTFS-backed share answers ERROR_ACCESS_DENIED for its existing root.
    hostemu::FailCall("CreateDirectoryA", ERROR_ACCESS_DENIED,
                      hostemu::CallCount("CreateDirectoryA") + 1);
    EXPECT_TRUE(TestInstallPath("\\\\server\\share\\QuilloSoft\\"));
    EXPECT_EQ(std::string::npos, hostemu::ListFiles().find("QuilloSoft"));
    EXPECT_FALSE(TestInstallPath("\\\\server\\"));
}

// The check makes no folder: a level the file system cannot answer for, or a deepest folder
// that takes no file, refuses the path, and nothing is left behind.
TEST_F(HostInstallPath, LevelThatCannotBeCreatedFailsAndUndoesTheOthers_HostOnly) {
    const unsigned made = hostemu::CallCount("CreateDirectoryA");
    hostemu::FailPath("GetFileAttributesA", "C:\\A\\B\\C", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(TestInstallPath("C:\\A\\B\\C\\D"));
    EXPECT_EQ(0u, hostemu::CallCount("CreateFileA"));
    hostemu::ClearFaults();
    hostemu::FailCall("CreateFileA", ERROR_ACCESS_DENIED);
    EXPECT_FALSE(TestInstallPath("C:\\A\\B"));
    EXPECT_EQ(made, hostemu::CallCount("CreateDirectoryA"));
    EXPECT_EQ(std::string::npos, hostemu::ListFiles().find("C:\\A\\"));
    EXPECT_EQ(std::string::npos, hostemu::ListFiles().find("test.tmp"));
}
