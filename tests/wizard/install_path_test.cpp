// The default install folder and the probe of a folder before anything is installed there.
#include <string>

#include "driver/setup_context.h"
#include "tests/support/test_world.h"
#include "tests/wizard/machine_value.h"
#include "wizard/install_path.h"

namespace {

const char kVersionKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion";

class InstallPath : public TestWorld {
  protected:
    std::string Default() {
        char path[MAX_PATH];
        DefaultInstallPath(path);
        return path;
    }

    SetupContext context_{kSuiteName, kProductCatalogue, kCatalogueRowCount};
    MachineValue programFiles_{HKEY_LOCAL_MACHINE, kVersionKey, "ProgramFilesDir"};
};

} // namespace

TEST_F(InstallPath, DefaultBelowTheProgramFilesFolder) {
    ASSERT_TRUE(programFiles_.SetString("C:\\Program Files"));
    EXPECT_EQ("C:\\Program Files\\QuilloSoft\\", Default());
    ASSERT_TRUE(programFiles_.SetString("D:\\Apps\\"));
    EXPECT_EQ("D:\\Apps\\QuilloSoft\\", Default());
    // Without the value the folder on C: is looked for (every Windows has one).
    ASSERT_TRUE(programFiles_.Delete());
    CreateDirectoryA("C:\\Program Files", nullptr);
    EXPECT_EQ("C:\\Program Files\\QuilloSoft\\", Default());
}

TEST_F(InstallPath, NestedMissingFoldersPassAndAreGoneAfterwards) {
    std::string outer = ScratchPath("Outer");
    EXPECT_TRUE(TestInstallPath((outer + "\\Inner").c_str()));
    EXPECT_FALSE(FileExists(outer));
    EXPECT_TRUE(TestInstallPath((outer + "\\Inner\\").c_str()));
    EXPECT_FALSE(FileExists(outer));
    // An existing folder stays, and so does what it holds.
    ASSERT_TRUE(WriteTestFile(ScratchPath("kept.txt"), "x"));
    EXPECT_TRUE(TestInstallPath(ScratchPath("").c_str()));
    EXPECT_TRUE(FileExists(ScratchPath("kept.txt")));
    EXPECT_FALSE(FileExists(ScratchPath("test.tmp")));
}
