// A failed reinstall gives back what was there: the suite's keys value for value, the files it
// wrote over byte for byte, and none of it left for deletion at restart.
#include "install/prior_state.h"

#include <string>

#include "driver/setup_context.h"
#include "install/document_types.h"
#include "install/find_menu.h"
#include "install/rollback.h"
#include "platform/regedit_export.h"
#include "tests/install/install_world.h"
#include "tests/install/registry_actions_support.h"

namespace {

class PriorStateTest : public InstallWorld {};

std::string Keys() {
    std::string text = ExportRegistryKey(HKEY_CURRENT_USER, "Software\\QuilloSoft") +
                       ExportRegistryKey(HKEY_LOCAL_MACHINE, kGroup.c_str()) +
                       ExportRegistryKey(HKEY_CLASSES_ROOT, kClassKey.c_str()) +
                       StringValue(HKEY_LOCAL_MACHINE, kApproved, kClassId);
    for (const char* product : {"WebQuillo", "EmailQuillo"})
        text += ExportRegistryKey(HKEY_LOCAL_MACHINE, (kUninstall + "\\" + product).c_str()) +
                ExportRegistryKey(HKEY_CLASSES_ROOT, (std::string(".") + product + "Search").c_str()) +
                ExportRegistryKey(HKEY_CLASSES_ROOT, (std::string(product) + "SearchFile").c_str());
    return text;
}

} // namespace

TEST_F(PriorStateTest, AFailedReinstallPutsBackWhatItReplacedAndRemovesWhatItAdded) {
    // A first install of Web, with a patch's subkey and the user's settings.
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    const std::string base = ScratchPath("Programs");
    SelectModules(context, {0}, (base + "\\QuilloSoft").c_str());
    WriteInstallRegistry(context);
    PutString(HKEY_CURRENT_USER, kSuiteKey + "\\Web\\Servers\\First", "Name", "first");
    ASSERT_TRUE(MakeFolders(context.modules[0].installPath.get()));
    const std::string program = JoinedPath(context.modules[0].installPath.get(), "WebQuillo.exe");
    const std::string uninstaller = context.modules[0].uninstallerPath.get();
    ASSERT_TRUE(WriteTestFile(program, "first program"));
    ASSERT_TRUE(WriteTestFile(uninstaller, "first uninstaller"));
    const std::string before = Keys();

    // The second run adds Email into a new folder, then writes over Web and fails.
    SelectModules(context, {0, 1}, (base + "\\QuilloSoft").c_str());
    PriorState prior;
    ASSERT_TRUE(prior.KeepRegistry(context));
    context.prior = &prior;
    const std::string email = context.modules[1].installPath.get();
    ASSERT_TRUE(prior.KeepFile(program.c_str()));
    ASSERT_TRUE(prior.KeepFile(uninstaller.c_str()));
    ASSERT_TRUE(WriteTestFile(program, "second program"));
    ASSERT_TRUE(WriteTestFile(uninstaller, "second uninstaller"));
    ASSERT_TRUE(CreateDirectoryA(email.c_str(), nullptr) && prior.NoteFolderMade(email.c_str()));
    ASSERT_TRUE(prior.KeepFile(JoinedPath(email, "EmailQuillo.exe").c_str()));
    ASSERT_TRUE(WriteTestFile(JoinedPath(email, "EmailQuillo.exe"), "new"));
    WriteInstallRegistry(context);
    PutString(HKEY_CURRENT_USER, kSuiteKey + "\\Updates", "User", "Changed");
    PutString(HKEY_CURRENT_USER, kSuiteKey + "\\Web\\Servers\\Second", "Name", "second");
    RegDeleteKeyA(HKEY_CURRENT_USER, (kSuiteKey + "\\Web\\Servers\\First").c_str());

    RollBackRegistry(context);
    RollBackFiles(context);
    context.prior = nullptr;
    EXPECT_EQ(before, Keys());
    std::string bytes;
    EXPECT_TRUE(ReadTestFile(program, bytes) && bytes == "first program") << bytes;
    EXPECT_TRUE(ReadTestFile(uninstaller, bytes) && bytes == "first uninstaller") << bytes;
    EXPECT_FALSE(PathExists(program + ".nqkeep"));
    EXPECT_FALSE(PathExists(email)) << "the folder the run made goes";
    EXPECT_TRUE(PathExists(base + "\\QuilloSoft")) << "the folders that were there stay";
    EXPECT_FALSE(ReadPendingList(bytes) && bytes.find("WebQuillo") != std::string::npos) << bytes;
    DeleteFileA(uninstaller.c_str());
    DeleteFileA(context.modules[1].uninstallerPath.get());
}

// Kept copies never cost what was there: a copy left by an earlier run that could not put it
// back stays as it is, a file the run writes twice is kept once, and a run that succeeds drops
// only its own copy.
TEST_F(PriorStateTest, KeptCopiesLoseNothingThatWasThere) {
    const std::string file = ScratchPath("kept.txt");
    const std::string stale = file + ".nqkeep";
    ASSERT_TRUE(WriteTestFile(file, "old"));
    ASSERT_TRUE(WriteTestFile(stale, "stale"));
    std::string bytes;
    {
        PriorState prior;
        ASSERT_TRUE(prior.KeepFile(file.c_str()));
        EXPECT_FALSE(PathExists(file));
        ASSERT_TRUE(WriteTestFile(file, "new"));
        ASSERT_TRUE(prior.KeepFile(file.c_str())) << "written again by the same run";
        EXPECT_TRUE(ReadTestFile(file, bytes) && bytes == "new") << bytes;
        EXPECT_FALSE(prior.UndoFile(file.c_str())) << "an earlier file is put back, not removed";
    }
    EXPECT_TRUE(ReadTestFile(file, bytes) && bytes == "old") << bytes;
    EXPECT_TRUE(ReadTestFile(stale, bytes) && bytes == "stale") << bytes;
    EXPECT_FALSE(PathExists(file + ".nqkeep2"));
    {
        PriorState prior;
        ASSERT_TRUE(prior.KeepFile(file.c_str()));
        ASSERT_TRUE(WriteTestFile(file, "new"));
        prior.Drop();
    }
    EXPECT_TRUE(ReadTestFile(file, bytes) && bytes == "new");
    EXPECT_TRUE(ReadTestFile(stale, bytes) && bytes == "stale") << bytes;
    EXPECT_FALSE(PathExists(file + ".nqkeep2"));
}
