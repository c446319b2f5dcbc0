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

TEST_F(InstallPath, ExistingProbeFileFailsAndCreatedFoldersGo) {
    ASSERT_TRUE(CreateDirectoryA(ScratchPath("Full").c_str(), nullptr));
    ASSERT_TRUE(WriteTestFile(ScratchPath("Full\\test.tmp"), "mine"));
    EXPECT_FALSE(TestInstallPath(ScratchPath("Full").c_str()));
    std::string bytes;
    ASSERT_TRUE(ReadTestFile(ScratchPath("Full\\test.tmp"), bytes));
    EXPECT_EQ("mine", bytes);
    // A level that is a file cannot hold the folders below it.
    EXPECT_FALSE(TestInstallPath(ScratchPath("Full\\test.tmp\\Below").c_str()));
    EXPECT_TRUE(ReadTestFile(ScratchPath("Full\\test.tmp"), bytes));
}

TEST_F(InstallPath, PathsNotOnADriveOrShareFailBeforeAnythingIsCreated) {
    for (const char* path : {"", "QuilloSoft", "QuilloSoft\\Sub", "C:", "C:QuilloSoft",
                             "c:QuilloSoft\\", "\\QuilloSoft", "\\\\server", "1:\\QuilloSoft"}) {
        EXPECT_FALSE(TestInstallPath(path)) << path;
        EXPECT_FALSE(FileExists("QuilloSoft")) << path;
    }
}

TEST_F(InstallPath, FolderTooLongForTheModuleFilesIsRefusedUntouched) {
    // 231 characters leave room for "\EmailQuillo\EmailQuillo.exe"; one more does not.
    std::string base = ScratchPath("Long");
    std::string fits = base + "\\" + std::string(231 - base.size() - 1, 'f');
    ASSERT_EQ(231u, fits.size());
    EXPECT_TRUE(TestInstallPath(fits.c_str()));
    EXPECT_FALSE(TestInstallPath((fits + "g").c_str()));
    EXPECT_FALSE(TestInstallPath((fits + "g\\").c_str()));
    EXPECT_FALSE(FileExists(base));
}
