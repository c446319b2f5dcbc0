// Deploying the modules' files, on both platforms.
#include "install/file_deployment.h"
#include "tests/install/deployment_fixture.h"

namespace {

const char* const kWebFiles[] = {"WebQuillo.exe", "WebQuillo.hlp", "WebQuillo.cnt"};

class FileDeployment : public DeploymentTest {};

} // namespace

TEST_F(FileDeployment, CreatesMissingParentsAndWritesEveryFile) {
    Select({0}, ScratchPath("Program Files\\QuilloSoft"));
    ASSERT_TRUE(DeployFiles(*context_, box_));
    const std::string folder = ScratchPath("Program Files\\QuilloSoft\\WebQuillo");
    for (const char* name : kWebFiles)
        EXPECT_EQ(PayloadSource(name), Contents(folder + "\\" + name)) << name;
    EXPECT_EQ(PayloadSource("WebQuilloUninstall.exe"),
              Contents(WindowsFolderFile("WebQuilloUninstall.exe")));
    EXPECT_EQ(PayloadSource("NetQuillo.dll"), Contents(SystemFolderFile("NetQuillo.dll")));
    EXPECT_EQ(std::set<std::string>({"WebQuillo.cnt", "WebQuillo.exe", "WebQuillo.hlp"}),
              FolderNames(folder));
}

TEST_F(FileDeployment, ATrailingBackslashMakesNoDifference) {
    Select({0}, "");
    SetInstallPath(0, ScratchPath("Quillo\\WebQuillo\\"));
    ASSERT_TRUE(DeployFiles(*context_, box_));
    EXPECT_EQ(std::set<std::string>({"WebQuillo.cnt", "WebQuillo.exe", "WebQuillo.hlp"}),
              FolderNames(ScratchPath("Quillo\\WebQuillo")));
    EXPECT_EQ(std::set<std::string>{"WebQuillo"}, FolderNames(ScratchPath("Quillo")));
    EXPECT_EQ(5, Position());
}

TEST_F(FileDeployment, PathsWithoutADriveRootFailBeforeAnythingIsWritten) {
    for (const char* path : {"Files\\WebQuillo", "C:WebQuillo", "", "\\WebQuillo"}) {
        SCOPED_TRACE(path);
        Select({0}, "");
        SetInstallPath(0, path);
        EXPECT_FALSE(DeployFiles(*context_, box_));
        EXPECT_EQ(0, Position());
        EXPECT_EQ("", Status());
        EXPECT_FALSE(FileExists(SystemFolderFile("NetQuillo.dll")));
        EXPECT_FALSE(FileExists(WindowsFolderFile("WebQuilloUninstall.exe")));
    }
    EXPECT_TRUE(FolderNames(kScratchFolder).empty());
}

TEST_F(FileDeployment, FiveStepsPerModuleEndingWithTheUninstaller) {
    Select({0, 2, 5}, ScratchPath("Suite"));
    ASSERT_TRUE(DeployFiles(*context_, box_));
    EXPECT_EQ(15, Position());
    EXPECT_EQ(19, SendDlgItemMessageA(box_.Window(), 900, PBM_GETRANGE, FALSE, 0));
    EXPECT_EQ("Decompressing uninstall...", Status());
    EXPECT_EQ(std::set<std::string>({"IRCQuillo", "PhoneQuillo", "WebQuillo"}),
              FolderNames(ScratchPath("Suite")));
    EXPECT_TRUE(FileExists(WindowsFolderFile("PhoneQuilloUninstall.exe")));
    EXPECT_FALSE(FileExists(WindowsFolderFile("EmailQuilloUninstall.exe")));
}

TEST_F(FileDeployment, AnExistingLibraryIsLeftAloneWhileTheBarStillSteps) {
    ASSERT_TRUE(WriteTestFile(SystemFolderFile("NetQuillo.dll"), "an earlier library"));
    Select({0, 1}, ScratchPath("Suite"));
    ASSERT_TRUE(DeployFiles(*context_, box_));
    EXPECT_EQ("an earlier library", Contents(SystemFolderFile("NetQuillo.dll")));
    EXPECT_EQ(10, Position());
}

TEST_F(FileDeployment, ReinstallingOverItselfRewritesEveryFile) {
    Select({0}, ScratchPath("Suite"));
    ASSERT_TRUE(DeployFiles(*context_, box_));
    const std::string folder = ScratchPath("Suite\\WebQuillo");
    for (const char* name : kWebFiles)
        ASSERT_TRUE(WriteTestFile(folder + "\\" + name, "damaged"));
    ASSERT_TRUE(WriteTestFile(WindowsFolderFile("WebQuilloUninstall.exe"), "damaged"));
    ASSERT_TRUE(DeployFiles(*context_, box_));
    for (const char* name : kWebFiles)
        EXPECT_EQ(PayloadSource(name), Contents(folder + "\\" + name)) << name;
    EXPECT_EQ(PayloadSource("WebQuilloUninstall.exe"),
              Contents(WindowsFolderFile("WebQuilloUninstall.exe")));
}

TEST_F(FileDeployment, AFileInUseFailsTheDeploymentAndStaysUntouched) {
    Select({0}, ScratchPath("Suite"));
    ASSERT_TRUE(DeployFiles(*context_, box_));
    const std::string help = ScratchPath("Suite\\WebQuillo\\WebQuillo.hlp");
    ASSERT_TRUE(WriteTestFile(help, "help of the earlier install"));
    HANDLE inUse = CreateFileA(help.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, inUse);
    EXPECT_FALSE(DeployFiles(*context_, box_));
    CloseHandle(inUse);
    EXPECT_EQ("help of the earlier install", Contents(help));
    EXPECT_EQ("Decompressing WebQuillo.hlp...", Status());
    EXPECT_EQ(8, Position());
}

TEST_F(FileDeployment, AFolderTooLongForItsFilesFailsBeforeAnythingIsWritten) {
    // Room for the folder itself (CreateDirectoryA takes up to MAX_PATH - 12 characters), none
    // for "\WebQuillo.exe" after it.
    std::string folder = ScratchPath("");
    folder += std::string(MAX_PATH - 14 - folder.size(), 'D');
    Select({0}, "");
    SetInstallPath(0, folder);
    EXPECT_FALSE(DeployFiles(*context_, box_));
    EXPECT_EQ(0, Position());
    EXPECT_FALSE(FileExists(SystemFolderFile("NetQuillo.dll")));
    EXPECT_FALSE(FileExists(WindowsFolderFile("WebQuilloUninstall.exe")));
    EXPECT_TRUE(FolderNames(kScratchFolder).empty());
}
