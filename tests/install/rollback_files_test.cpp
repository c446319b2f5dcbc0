#include <cstdio>
#include <memory>
#include <string>

#include "driver/catalogue.h"
#include "driver/setup_context.h"
#include "install/find_menu.h"
#include "install/rollback.h"
#include "tests/install/install_world.h"

namespace {

using namespace std::string_literals;

// A first install of Web and Email into C:\NQTest\Programs\QuilloSoft that failed while
// writing Email's files: Web's three files are there, of Email's only the program.
class RollBackFilesTest : public InstallWorld {
  protected:
    void SetUp() override {
        InstallWorld::SetUp();
        context_.reset(new SetupContext(kSuiteName, kProductCatalogue, kCatalogueRowCount));
        for (DWORD i = 0; i < context_->moduleCount; ++i)
            context_->selected[i] = i < 2;
        ASSERT_TRUE(WriteTestFile(JoinedPath(kScratchFolder, "keep.txt"), "stays"));
        for (DWORD i = 0; i < 2; ++i) {
            std::string folder = Folder(i);
            ASSERT_TRUE(MakeFolders(folder));
            context_->modules[i].installPath.reset(new char[MAX_PATH]);
            // Programs, QuilloSoft and the module's own folder, as the uninstall entry records.
            context_->modules[i].madeFolderLevels = 3;
            std::snprintf(context_->modules[i].installPath.get(), MAX_PATH, "%s", folder.c_str());
            ASSERT_TRUE(WriteTestFile(JoinedPath(folder, kProductCatalogue[i].programFile), "x"));
            ASSERT_TRUE(WriteTestFile(context_->modules[i].uninstallerPath.get(), "u"));
        }
        ASSERT_TRUE(WriteTestFile(JoinedPath(Folder(0), kProductCatalogue[0].helpFile), "h"));
        ASSERT_TRUE(WriteTestFile(JoinedPath(Folder(0), kProductCatalogue[0].contentsFile), "c"));
        ASSERT_TRUE(WriteTestFile(context_->findMenuLibraryPath.get(), "library"));
        for (const char* name : {"one.nqa", "two.NQA", "other.txt", "notes.nqabak"})
            ASSERT_TRUE(WriteTestFile(TempFolder() + name, "temp"));
    }
    void TearDown() override {
        for (const char* name : {"one.nqa", "two.NQA", "other.txt", "notes.nqabak"})
            DeleteFileA((TempFolder() + name).c_str());
        DeleteFileA(context_->findMenuLibraryPath.get());
        for (DWORD i = 0; i < 2; ++i)
            DeleteFileA(context_->modules[i].uninstallerPath.get());
        context_.reset();
        InstallWorld::TearDown();
    }
    static std::string Folder(DWORD module) {
        return JoinedPath(kScratchFolder,
                          "Programs\\QuilloSoft\\"s + kProductCatalogue[module].productName);
    }
    std::string Pending() {
        std::string list;
        ReadPendingList(list);
        return list;
    }
    static std::string Deletion(const std::string& path) { return "\\??\\" + path + '\0' + '\0'; }

    std::unique_ptr<SetupContext> context_;
};

} // namespace

TEST_F(RollBackFilesTest, FirstInstallLeavesNothingButScheduledUninstallers) {
    RollBackFiles(*context_);

    for (DWORD i = 0; i < 2; ++i) {
        EXPECT_FALSE(PathExists(Folder(i))) << i;
        EXPECT_TRUE(PathExists(context_->modules[i].uninstallerPath.get()))
            << "never deleted at once";
    }
    EXPECT_FALSE(PathExists(JoinedPath(kScratchFolder, "Programs")));
    EXPECT_TRUE(PathExists(JoinedPath(kScratchFolder, "keep.txt")));
    EXPECT_FALSE(PathExists(TempFolder() + "one.nqa"));
    EXPECT_FALSE(PathExists(TempFolder() + "two.NQA"));
    EXPECT_TRUE(PathExists(TempFolder() + "other.txt"));
    EXPECT_TRUE(PathExists(TempFolder() + "notes.nqabak")) << "found by its short name only";
    EXPECT_FALSE(PathExists(context_->findMenuLibraryPath.get()));
    EXPECT_EQ(Deletion(context_->modules[0].uninstallerPath.get()) +
                  Deletion(context_->modules[1].uninstallerPath.get()) + '\0',
              Pending());
}

TEST_F(RollBackFilesTest, LibraryInUseIsScheduledInstead) {
    HANDLE held = CreateFileA(context_->findMenuLibraryPath.get(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    RollBackFiles(*context_);
    CloseHandle(held);
    EXPECT_TRUE(PathExists(context_->findMenuLibraryPath.get()));
    EXPECT_EQ(Deletion(context_->findMenuLibraryPath.get()) +
                  Deletion(context_->modules[0].uninstallerPath.get()) +
                  Deletion(context_->modules[1].uninstallerPath.get()) + '\0',
              Pending());
}

TEST_F(RollBackFilesTest, ModuleStillInTheFindGroupKeepsTheSharedFiles) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kTestFindGroupKey + "\\NewsQuillo"s).c_str(), 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
    RollBackFiles(*context_);
    EXPECT_FALSE(PathExists(Folder(0)));
    EXPECT_FALSE(PathExists(Folder(1)));
    EXPECT_TRUE(PathExists(TempFolder() + "one.nqa"));
    EXPECT_TRUE(PathExists(context_->findMenuLibraryPath.get()));
    EXPECT_EQ(Deletion(context_->modules[0].uninstallerPath.get()) +
                  Deletion(context_->modules[1].uninstallerPath.get()) + '\0',
              Pending());
}

TEST_F(RollBackFilesTest, FolderHoldingOtherFilesStays) {
    ASSERT_TRUE(WriteTestFile(JoinedPath(Folder(1), "user notes.txt"), "mine"));
    std::snprintf(context_->modules[0].installPath.get(), MAX_PATH, "%s\\", Folder(0).c_str());
    RollBackFiles(*context_);
    EXPECT_FALSE(PathExists(Folder(0))) << "a trailing backslash is dropped first";
    EXPECT_TRUE(PathExists(JoinedPath(Folder(1), "user notes.txt")));
    EXPECT_FALSE(PathExists(JoinedPath(Folder(1), kProductCatalogue[1].programFile)));
    EXPECT_TRUE(PathExists(JoinedPath(kScratchFolder, "Programs\\QuilloSoft")));
}

// Email alone, whose own folder could not be created after its parents were made for it: the
// walk up passes over the folder that never was and removes the parents it leaves empty.
TEST_F(RollBackFilesTest, ParentsMadeForAFolderThatNeverWasGo) {
    context_->selected[0] = false;
    ASSERT_TRUE(DeleteFolderTree(Folder(0)));
    ASSERT_TRUE(DeleteFolderTree(Folder(1)));
    RollBackFiles(*context_);
    EXPECT_FALSE(PathExists(JoinedPath(kScratchFolder, "Programs")));
    EXPECT_TRUE(PathExists(JoinedPath(kScratchFolder, "keep.txt")));
}

TEST_F(RollBackFilesTest, Win9xScheduledDeletionsEndInWininitAsNulLines) {
    if (!UseWin9xFamily())
        GTEST_SKIP() << "needs the 95 family";
    HANDLE held = CreateFileA(context_->findMenuLibraryPath.get(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    RollBackFiles(*context_);
    CloseHandle(held);
    std::string text;
    ASSERT_TRUE(ReadTestFile(JoinedPath(WindowsFolder(), "wininit.ini"), text));
    for (const char* path :
         {context_->findMenuLibraryPath.get(), context_->modules[0].uninstallerPath.get(),
          context_->modules[1].uninstallerPath.get()})
        EXPECT_NE(std::string::npos, text.find("NUL=" + ShortPath(path) + "\r\n")) << path;
    EXPECT_EQ(std::string::npos, text.find("NQ")) << text;
    EXPECT_FALSE(ReadPendingList(text)) << "the 95 family has no pending list";
}

TEST_F(RollBackFilesTest, AfterTheRegistryRollbackOnlyOtherModulesKeepTheLibrary) {
    // The install had registered its own two modules in the group; the registry rollback takes
    // them out again, so the library goes unless a module outside the selection remains.
    RegisterFindMenu(*context_);
    RollBackRegistry(*context_);
    RollBackFiles(*context_);
    EXPECT_FALSE(PathExists(context_->findMenuLibraryPath.get()));

    ASSERT_TRUE(WriteTestFile(context_->findMenuLibraryPath.get(), "library"));
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kTestFindGroupKey + "\\NewsQuillo"s).c_str(), 0,
                              nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
    RegisterFindMenu(*context_);
    RollBackRegistry(*context_);
    RollBackFiles(*context_);
    EXPECT_TRUE(PathExists(context_->findMenuLibraryPath.get()));
}
