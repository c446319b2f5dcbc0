// Deployment and extraction where only the emulation can take the machine: other drives,
// network shares, full disks, failing calls and the exact sequence the user saw. Host-only.
#include "install/file_deployment.h"
#include "install/payload_extractor.h"
#include "install/prior_state.h"
#include "install/rollback.h"
#include "platform/host/emulation.h"
#include "tests/install/deployment_fixture.h"
#include "tests/install/install_world.h"
#include "wizard/install_path.h"

namespace {
class HostInstall : public DeploymentTest {};
} // namespace

TEST_F(HostInstall, StatusTextsAndStepsComeInTheirOrder_HostOnly) {
    Select({0, 4}, "C:\\Program Files\\QuilloSoft");
    hostemu::ClearUserLog();
    ASSERT_TRUE(DeployFiles(*context_, box_));
    std::string expected;
    int step = 0;
    for (const char* product : {"WebQuillo", "NewsQuillo"}) {
        const std::string name = product;
        for (const std::string& text :
             {std::string("NetQuillo.dll"), name + ".exe", name + ".hlp", name + ".cnt"}) {
            expected += "progress control 900: " + std::to_string(++step) + " of 0..14\n";
            expected += "text control 901: Decompressing " + text + "...\n";
        }
        expected += "progress control 900: " + std::to_string(++step) + " of 0..14\n";
        expected += "text control 901: Decompressing uninstall...\n";
    }
    EXPECT_EQ(expected, hostemu::UserLog());
}

TEST_F(HostInstall, TheUninstallerGoesToTheWindowsFolderFromAnyDrive_HostOnly) {
    hostemu::AddDrive('D', 100u << 20);
    Select({1}, "D:\\Apps");
    ASSERT_TRUE(DeployFiles(*context_, box_));
    const std::string files = hostemu::ListFiles();
    EXPECT_NE(std::string::npos, files.find("D:\\Apps\\EmailQuillo\\EmailQuillo.exe "));
    EXPECT_NE(std::string::npos, files.find("C:\\WINDOWS\\EmailQuilloUninstall.exe "));
    EXPECT_EQ(std::string::npos, files.find("D:\\Apps\\EmailQuillo\\EmailQuilloUninstall"));
    EXPECT_NE(std::string::npos, files.find("C:\\WINDOWS\\SYSTEM32\\NetQuillo.dll "));
}

TEST_F(HostInstall, ANetworkPathIsCreatedFromItsShareOn_HostOnly) {
    hostemu::AddShare("\\\\server\\share", 100u << 20);
    Select({0}, "\\\\server\\share\\QuilloSoft");
    unsigned before = hostemu::CallCount("CreateDirectoryA");
    ASSERT_TRUE(DeployFiles(*context_, box_));
    // QuilloSoft, then the module's folder: the share is the path's root, never made.
    EXPECT_EQ(before + 2, hostemu::CallCount("CreateDirectoryA"));
    EXPECT_NE(std::string::npos, hostemu::ListFiles().find(
                                     "\\\\server\\share\\QuilloSoft\\WebQuillo\\WebQuillo.hlp "));
}

TEST_F(HostInstall, AShareThatAnswersAccessDeniedAtItsRootStillTakesTheInstall_HostOnly) {
    hostemu::AddShare("\\\\nas\\public", 100u << 20, ERROR_ACCESS_DENIED);
    Select({0}, "\\\\nas\\public\\QuilloSoft");
    ASSERT_TRUE(DeployFiles(*context_, box_));
    EXPECT_NE(std::string::npos,
              hostemu::ListFiles().find("\\\\nas\\public\\QuilloSoft\\WebQuillo\\WebQuillo.exe "));
    // A file where a folder should be is still no folder.
    ASSERT_TRUE(hostemu::WriteFileBytes("\\\\nas\\public\\Taken", "a file"));
    hostemu::FailPath("CreateDirectoryA", "\\\\nas\\public\\Taken", ERROR_ACCESS_DENIED);
    Select({0}, "\\\\nas\\public\\Taken");
    EXPECT_FALSE(DeployFiles(*context_, box_));
}

TEST_F(HostInstall, ANetworkPathWithoutAShareFailsBeforeAnythingIsWritten_HostOnly) {
    hostemu::AddShare("\\\\server\\share", 100u << 20);
    for (const char* path : {"\\\\server", "\\\\server\\", "\\\\\\share\\x"}) {
        SCOPED_TRACE(path);
        Select({0}, "");
        SetInstallPath(0, path);
        unsigned before = hostemu::CallCount("CreateDirectoryA");
        EXPECT_FALSE(DeployFiles(*context_, box_));
        EXPECT_EQ(before, hostemu::CallCount("CreateDirectoryA"));
        EXPECT_EQ(0, Position());
        EXPECT_FALSE(FileExists(SystemFolderFile("NetQuillo.dll")));
    }
}

TEST_F(HostInstall, PathsTheSystemCannotGiveAreAbsentAndFailTheInstall_HostOnly) {
    // The System directory cannot be read; the Windows directory once not, then it is too long
    // for the next uninstaller's name.
    hostemu::FailCall("GetSystemDirectoryA", ERROR_NOT_ENOUGH_MEMORY);
    hostemu::FailCall("GetWindowsDirectoryA", ERROR_NOT_ENOUGH_MEMORY, 1);
    hostemu::SetWindowsDirectory(("C:\\" + std::string(240, 'W')).c_str());
    context_.reset();
    context_.reset(new SetupContext(kSuiteName, kProductCatalogue, kCatalogueRowCount));
    hostemu::ClearFaults();
    EXPECT_EQ(nullptr, context_->findMenuLibraryPath.get());
    EXPECT_EQ(nullptr, context_->modules[0].uninstallerPath.get());
    EXPECT_EQ(nullptr, context_->modules[1].uninstallerPath.get());

    Select({0}, "C:\\Apps");
    EXPECT_FALSE(DeployFiles(*context_, box_));
    EXPECT_EQ(0, Position());
    const std::string files = hostemu::ListFiles();
    EXPECT_EQ(std::string::npos, files.find("C:\\Apps")) << files;
    EXPECT_EQ(std::string::npos, files.find("NetQuillo.dll")) << files;
    EXPECT_EQ(std::string::npos, files.find("Uninstall")) << files;
    RollBackFiles(*context_);
    EXPECT_EQ(0u, hostemu::CallCount("MoveFileExA"));
}

TEST_F(HostInstall, AFolderThatCannotBeMadeFailsTheDeployment_HostOnly) {
    hostemu::FailPath("CreateDirectoryA", "C:\\Locked", ERROR_ACCESS_DENIED);
    Select({0}, "C:\\Locked");
    EXPECT_FALSE(DeployFiles(*context_, box_));
    EXPECT_EQ(0, Position());
    EXPECT_FALSE(FileExists(SystemFolderFile("NetQuillo.dll")));
}

TEST_F(HostInstall, AFullDiskFailsWithoutLeavingAPartialFile_HostOnly) {
    hostemu::AddDrive('D', 200000);
    Select({0}, "D:\\Apps");
    EXPECT_FALSE(DeployFiles(*context_, box_));
    // The program file did not fit: it is gone, and so is every temporary file.
    EXPECT_FALSE(FileExists("D:\\Apps\\WebQuillo\\WebQuillo.exe"));
    EXPECT_TRUE(FolderNames(TempFolder()).empty());
}

TEST_F(HostInstall, EveryFailingCallOfAnExtractionIsReportedAndCleanedUp_HostOnly) {
    const char* calls[] = {"FindResourceA",
                           "LoadResource",
                           "GetTempPathA",
                           "GetTempFileNameA",
                           "CreateFileA",
                           "WriteFile",
                           "GetSystemDirectoryA",
                           "LoadLibraryA",
                           "GetProcAddress",
                           "LZInit",
                           "ReadFile",
                           "LZRead"};
    PayloadExtractor extractor;
    const std::string destination = ScratchPath("IRCQuillo.cnt");
    for (const char* call : calls) {
        SCOPED_TRACE(call);
        // Count the calls of one good extraction, then fail each occurrence in turn.
        hostemu::Reset();
        CreateDirectoryA(kScratchFolder, nullptr);
        ASSERT_TRUE(extractor.ExtractPayload(6002, destination.c_str()));
        unsigned count = hostemu::CallCount(call);
        ASSERT_GT(count, 0u);
        for (unsigned occurrence = 1; occurrence <= count; ++occurrence) {
            hostemu::Reset();
            CreateDirectoryA(kScratchFolder, nullptr);
            hostemu::FailCall(call, ERROR_ACCESS_DENIED, occurrence);
            EXPECT_FALSE(extractor.ExtractPayload(6002, destination.c_str())) << occurrence;
            EXPECT_FALSE(FileExists(destination));
            // The temporary file goes with its handle, whatever failed.
            EXPECT_TRUE(FolderNames(TempFolder()).empty()) << occurrence;
        }
    }
}

TEST_F(HostInstall, ASuccessfulReplacementLeavesTheLastErrorSet_HostOnly) {
    // What misled the last-error test: the extraction succeeds while the thread's last-error
    // code still reads ERROR_ALREADY_EXISTS from replacing the file.
    PayloadExtractor extractor;
    const std::string destination = ScratchPath("WebQuillo.cnt");
    ASSERT_TRUE(hostemu::WriteFileBytes(destination.c_str(), "old"));
    EXPECT_TRUE(extractor.ExtractPayload(1002, destination.c_str()));
    SetLastError(0);
    ASSERT_TRUE(hostemu::WriteFileBytes(destination.c_str(), "old"));
    HANDLE file = CreateFileA(destination.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_EQ(static_cast<DWORD>(ERROR_ALREADY_EXISTS), GetLastError());
    CloseHandle(file);
}

// Levels that setup makes for an install folder outside the program-files folder get an access
// list of their own, so that users cannot replace the programs there; below the program-files
// folder, and on the 95 family, which has none, folders take their parent's.
TEST_F(HostInstall, FoldersMadeOutsideProgramFilesAreProtected_HostOnly) {
    const std::string kProtected = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";
    ASSERT_TRUE(CreateDirectoryA("C:\\Program Files", nullptr));
    ASSERT_TRUE(CreateDirectoryA("C:\\Tools", nullptr));
    Select({0}, "C:\\Tools\\Quillo");
    SetInstallPath(1, "C:\\Program Files\\QuilloSoft\\EmailQuillo");
    context_->selected[1] = 1;
    ASSERT_TRUE(DeployFiles(*context_, box_));
    EXPECT_EQ("", hostemu::FolderSecurity("C:\\Tools")) << "there before: left alone";
    EXPECT_EQ(kProtected, hostemu::FolderSecurity("C:\\Tools\\Quillo"));
    EXPECT_EQ(kProtected, hostemu::FolderSecurity("C:\\Tools\\Quillo\\WebQuillo"));
    EXPECT_EQ("", hostemu::FolderSecurity("C:\\Program Files\\QuilloSoft"));
    EXPECT_EQ("", hostemu::FolderSecurity("C:\\Program Files\\QuilloSoft\\EmailQuillo"));

    hostemu::SetPlatformFamily(hostemu::PlatformFamily::Win9x);
    Select({2}, "C:\\Other");
    ASSERT_TRUE(DeployFiles(*context_, box_));
    EXPECT_EQ("", hostemu::FolderSecurity("C:\\Other\\PhoneQuillo"));
}

// A junction or link among the levels leads elsewhere than its name: it is refused as the
// install folder (the options page's probe, and deployment itself), and the rollback, which
// the uninstaller runs too, deletes nothing through one that appeared since.
TEST_F(HostInstall, NothingIsInstalledOrDeletedThroughAReparsePoint_HostOnly) {
    ASSERT_TRUE(MakeFolders("C:\\Users\\Ann\\Link"));
    ASSERT_TRUE(hostemu::MakeReparsePoint("C:\\Users\\Ann\\Link"));
    const std::string filesBefore = hostemu::ListFiles();
    EXPECT_FALSE(TestInstallPath("C:\\Users\\Ann\\Link\\QuilloSoft"));
    EXPECT_FALSE(TestInstallPath("C:\\Users\\Ann\\Link\\"));
    // Windows takes '/' between levels as well.
    EXPECT_FALSE(TestInstallPath("C:\\Users\\Ann\\Link/QuilloSoft"));
    EXPECT_FALSE(TestInstallPath("C:/Users/Ann/Link"));
    EXPECT_TRUE(TestInstallPath("C:\\Users\\Ann\\Linked"));
    Select({0}, "C:\\Users\\Ann\\Link/QuilloSoft");
    EXPECT_FALSE(DeployFiles(*context_, box_));
    Select({0}, "C:\\Users\\Ann\\Link\\QuilloSoft");
    EXPECT_FALSE(DeployFiles(*context_, box_));
    EXPECT_EQ(filesBefore, hostemu::ListFiles());

    Select({0}, "C:\\Quillo");
    ASSERT_TRUE(DeployFiles(*context_, box_));
    ASSERT_TRUE(hostemu::MakeReparsePoint("C:\\Quillo"));
    RollBackFiles(*context_);
    EXPECT_NE(std::string::npos,
              hostemu::ListFiles().find("C:\\Quillo\\WebQuillo\\WebQuillo.exe "));
}

// The check asks the file system and makes nothing, so nobody learns from it which folder to
// make first; a level that was missing then and is there at deployment was made by someone
// else and is refused, with nothing put into it. Checked again with the level there, the same
// folder takes the install, and the levels setup makes carry the protected list.
TEST_F(HostInstall, ALevelMadeBySomeoneElseSinceTheCheckIsRefused_HostOnly) {
    const unsigned made = hostemu::CallCount("CreateDirectoryA");
    size_t present = 0;
    ASSERT_TRUE(TestInstallPath("C:\\Tools\\QuilloSoft", &present));
    EXPECT_EQ(made, hostemu::CallCount("CreateDirectoryA"));
    EXPECT_EQ(std::string::npos, hostemu::ListFiles().find("C:\\Tools"));
    ASSERT_TRUE(MakeFolders("C:\\Tools\\QuilloSoft"));
    Select({0}, "C:\\Tools\\QuilloSoft");
    context_->modules[0].presentLength = present;
    EXPECT_FALSE(DeployFiles(*context_, box_));
    EXPECT_EQ(std::string::npos, hostemu::ListFiles().find("C:\\Tools\\QuilloSoft\\WebQuillo"));

    ASSERT_TRUE(RemoveDirectoryA("C:\\Tools\\QuilloSoft"));
    ASSERT_TRUE(TestInstallPath("C:\\Tools\\QuilloSoft", &present));
    context_->modules[0].presentLength = present;
    ASSERT_TRUE(DeployFiles(*context_, box_));
    EXPECT_NE("", hostemu::FolderSecurity("C:\\Tools\\QuilloSoft"));
    EXPECT_NE("", hostemu::FolderSecurity("C:\\Tools\\QuilloSoft\\WebQuillo"));
}

// Putting an earlier file back never leaves the name empty: when the earlier copy cannot be
// renamed back, the run's file keeps the name and the copy replaces it at the next restart;
// when the run's file cannot be moved aside, the same.
TEST_F(HostInstall, PuttingAFileBackNeverLosesIt_HostOnly) {
    const std::string program = "C:\\Quillo\\WebQuillo\\WebQuillo.exe";
    ASSERT_TRUE(hostemu::WriteFileBytes(program.c_str(), "earlier"));
    for (const char* failing : {"C:\\Quillo\\WebQuillo\\WebQuillo.exe.nqkeep",
                                "C:\\Quillo\\WebQuillo\\WebQuillo.exe"}) {
        PriorState prior;
        ASSERT_TRUE(prior.KeepFile(program.c_str()));
        ASSERT_TRUE(hostemu::WriteFileBytes(program.c_str(), "run's"));
        hostemu::FailPath("MoveFileA", failing, ERROR_ACCESS_DENIED);
        EXPECT_FALSE(prior.UndoFile(program.c_str()));
        hostemu::ClearFaults();
        std::string bytes;
        EXPECT_TRUE(hostemu::ReadFileBytes(program.c_str(), bytes)) << failing;
        EXPECT_EQ("run's", bytes) << failing;
        std::wstring list;
        ASSERT_TRUE(ReadWidePendingList(list));
        EXPECT_NE(std::wstring::npos,
                  list.find(L"\\??\\C:\\Quillo\\WebQuillo\\WebQuillo.exe.nqkeep")) << failing;
        // What the restart would do, done now.
        ASSERT_TRUE(DeleteFileA(program.c_str()));
        ASSERT_TRUE(MoveFileA((program + ".nqkeep").c_str(), program.c_str()));
        DeletePendingList();
    }
}
