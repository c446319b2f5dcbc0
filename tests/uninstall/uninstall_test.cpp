// A module's uninstaller on a machine with all six modules installed below a folder with
// blanks: what one removal takes and keeps, the last removal, a second run, and the refusals.
#include "uninstall/uninstall.h"

#include <cctype>
#include <string>

#include "driver/catalogue.h"
#include "driver/setup_context.h"
#include "driver/shell_helpers.h"
#include "platform/regedit_export.h"
#include "tests/install/install_world.h"
#include "tests/install/registry_actions_support.h"
#include "tests/support/scripted_user.h"

namespace {

using namespace std::string_literals;
namespace Do = scripted::Do;
namespace Expect = scripted::Expect;
using scripted::ScriptedUser;

const char kRemovedNote[] = "\n\nThe uninstaller itself will be deleted when Windows next starts.";

std::string Caption(DWORD module) {
    return std::string(kProductCatalogue[module].productName) + " Uninstall";
}

class UninstallTest : public InstallWorld {
  protected:
    void SetUp() override {
        InstallWorld::SetUp();
        SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
        SelectModules(context, {0, 1, 2, 3, 4, 5}, Base().c_str());
        for (DWORD i = 0; i < kCatalogueRowCount; ++i) {
            const CatalogueRow& row = kProductCatalogue[i];
            ASSERT_TRUE(MakeFolders(Folder(i)));
            for (const char* file : {row.programFile, row.helpFile, row.contentsFile})
                ASSERT_TRUE(WriteTestFile(JoinedPath(Folder(i), file), "module"));
            ASSERT_TRUE(WriteTestFile(context.modules[i].uninstallerPath.get(), "uninstaller"));
            // What a registry patch leaves below the module key.
            PutString(HKEY_CURRENT_USER, ModuleKey(i) + "\\Servers\\First", "Name", "first");
        }
        ASSERT_TRUE(WriteTestFile(context.findMenuLibraryPath.get(), "library"));
        WriteInstallRegistry(context);
        // Setup made QuilloSoft and the modules' folders; "Program Files" was the user's.
        for (const CatalogueRow& row : kProductCatalogue) {
            HKEY entry;
            DWORD levels = 2;
            ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE,
                                                   (kUninstall + "\\" + row.productName).c_str(),
                                                   0, KEY_ALL_ACCESS, &entry));
            RegSetValueExA(entry, "CreatedFolderLevels", 0, REG_DWORD,
                           reinterpret_cast<const BYTE*>(&levels), sizeof levels);
            RegCloseKey(entry);
        }
        library_ = context.findMenuLibraryPath.get();
        ASSERT_TRUE(DesktopLinkPath(nullptr, "WebQuillo", webLink_));
        ASSERT_TRUE(CreateShortcut(JoinedPath(Folder(0), "WebQuillo.exe").c_str(), webLink_, "W"));
    }
    void TearDown() override {
        DeleteFileA(webLink_);
        InstallWorld::TearDown();
    }

    static std::string Base() { return ScratchPath("Program Files\\QuilloSoft"); }
    static std::string Folder(DWORD module) {
        return JoinedPath(Base(), kProductCatalogue[module].productName);
    }
    static std::string ModuleKey(DWORD module) {
        return kSuiteKey + "\\" + kProductCatalogue[module].shortName;
    }
    static std::string Uninstaller(DWORD module) {
        return JoinedPath(WindowsFolder(), kProductCatalogue[module].uninstallerFile);
    }

    // Runs the uninstaller of `module` with `line`; the user sees each message's text and
    // answers with its button.
    UninstallOutcome Run(DWORD module, const std::string& line,
                         std::initializer_list<std::pair<std::string, int>> messages) {
        std::vector<scripted::Step> steps;
        for (const auto& message : messages) {
            steps.push_back(Expect::Message(message.first, Caption(module)));
            steps.push_back(Do::Answer(message.second));
        }
        ScriptedUser user(steps);
        INT_PTR outcome =
            user.Play([&] { return static_cast<INT_PTR>(RunUninstall(module, line.c_str())); });
        EXPECT_EQ("", user.Failures());
        return static_cast<UninstallOutcome>(outcome);
    }
    UninstallOutcome Remove(DWORD module, const std::string& result) {
        std::string product = kProductCatalogue[module].productName;
        return Run(module, Folder(module),
                   {{"Remove " + product + " from this computer?", IDYES}, {result, IDOK}});
    }
    // Everything of the suite that the tests look at, as text: keys (none when absent), the
    // pending deletions, then per module its folder and uninstaller, the library and the link.
    std::string Machine() {
        std::string text = Keys(HKEY_CURRENT_USER, "Software\\QuilloSoft") +
                           Keys(HKEY_LOCAL_MACHINE, kGroup) + Keys(HKEY_CLASSES_ROOT, kClassKey) +
                           StringValue(HKEY_LOCAL_MACHINE, kApproved, kClassId);
        for (const CatalogueRow& row : kProductCatalogue) {
            std::string product = row.productName;
            text += Keys(HKEY_LOCAL_MACHINE, kUninstall + "\\" + product) +
                    Keys(HKEY_CLASSES_ROOT, "." + product + "Search") +
                    Keys(HKEY_CLASSES_ROOT, product + "SearchFile");
        }
        std::string pending;
        ReadPendingList(pending);
        text += "|" + pending + "|";
        for (DWORD i = 0; i < kCatalogueRowCount; ++i)
            text += (PathExists(Folder(i)) ? "folder " : "") +
                    (PathExists(Uninstaller(i)) ? "uninstaller "s : "");
        return text + (PathExists(library_) ? "library " : "") +
               (PathExists(webLink_) ? "link" : "");
    }
    static std::string Keys(HKEY root, const std::string& path) {
        return ExportRegistryKey(root, path.c_str(), false);
    }

    std::string library_;
    char webLink_[MAX_PATH] = "";
};

} // namespace

TEST_F(UninstallTest, RemovesOneModuleAndKeepsTheOthers) {
    EXPECT_EQ(UninstallOutcome::Removed,
              Remove(0, "WebQuillo has been removed from this computer."s + kRemovedNote));

    EXPECT_FALSE(PathExists(Folder(0)));
    EXPECT_FALSE(PathExists(webLink_)) << "the link setup made leads to the removed program";
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ModuleKey(0)));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\WebQuillo"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kGroup + "\\WebQuillo"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".WebQuilloSearch"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "WebQuilloSearchFile"));
    EXPECT_TRUE(PathExists(Uninstaller(0))) << "running: it goes at the next restart";
    std::string pending;
    ReadPendingList(pending);
    EXPECT_EQ("\\??\\" + Uninstaller(0) + '\0' + '\0' + '\0', pending);

    for (DWORD i = 1; i < kCatalogueRowCount; ++i) {
        EXPECT_TRUE(PathExists(JoinedPath(Folder(i), kProductCatalogue[i].programFile))) << i;
        EXPECT_EQ("first",
                  StringValue(HKEY_CURRENT_USER, ModuleKey(i) + "\\Servers\\First", "Name"));
        EXPECT_TRUE(
            KeyExists(HKEY_LOCAL_MACHINE, kGroup + "\\" + kProductCatalogue[i].productName));
    }
    EXPECT_EQ("Tester", StringValue(HKEY_CURRENT_USER, kSuiteKey + "\\Updates", "User"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kClassKey + "\\InProcServer32"));
    EXPECT_EQ("NetQuillo", StringValue(HKEY_LOCAL_MACHINE, kApproved, kClassId));
    EXPECT_TRUE(PathExists(library_));

    // Started again from a stale entry: nothing left to remove, nothing touched.
    std::string before = Machine();
    EXPECT_EQ(
        UninstallOutcome::NotInstalled,
        Run(0, Folder(0),
            {{"WebQuillo is not installed on this computer. Nothing has been changed.", IDOK}}));
    EXPECT_EQ(before, Machine());
}

TEST_F(UninstallTest, RemovingEveryModuleLeavesOnlyTheRestartDeletions) {
    ASSERT_TRUE(WriteTestFile(ScratchPath("keep.txt"), "the user's"));
    // Setup made the key above the Find-menu group where it held nothing else, and said so in
    // the group: the last removal takes it too.
    const std::string findExtensions = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions";
    HKEY key;
    char name[MAX_PATH];
    DWORD length = sizeof name;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, findExtensions.c_str(), 0,
                                           KEY_READ, &key));
    const bool groupAlone =
        RegEnumKeyExA(key, 1, name, &length, nullptr, nullptr, nullptr, nullptr) ==
        ERROR_NO_MORE_ITEMS;
    RegCloseKey(key);
    if (groupAlone) {
        DWORD made = 1;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, kTestFindGroupKey, 0,
                                               KEY_ALL_ACCESS, &key));
        RegSetValueExA(key, "CreatedKeyLevels", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&made),
                       sizeof made);
        RegCloseKey(key);
    }
    {
        // The removal without its messages, which the other tests follow.
        SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
        for (DWORD i = 0; i + 1 < kCatalogueRowCount; ++i)
            RemoveModule(context, i, Folder(i).c_str());
    }
    // The last one, given its folder with a trailing backslash and in other letters.
    std::string folder = Folder(5) + "\\";
    for (char& c : folder)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(UninstallOutcome::Removed,
              Run(5, "  " + folder + " ",
                  {{"Remove IRCQuillo from this computer?", IDYES},
                   {"IRCQuillo has been removed from this computer. It was the last module of "
                    "the suite, so the settings and the Find menu extension that the modules "
                    "share are gone as well."s +
                        kRemovedNote,
                    IDOK}}));

    // Nothing of the suite is left but the uninstallers, each pending deletion at restart.
    std::string pending;
    for (DWORD i = 0; i < kCatalogueRowCount; ++i)
        pending += "\\??\\" + Uninstaller(i) + '\0' + '\0';
    std::string uninstallers;
    for (DWORD i = 0; i < kCatalogueRowCount; ++i)
        uninstallers += "uninstaller ";
    EXPECT_EQ("<none>|" + pending + '\0' + "|" + uninstallers, Machine());
    EXPECT_FALSE(PathExists(Base())) << "the emptied parent setup made goes too";
    EXPECT_TRUE(PathExists(ScratchPath("Program Files"))) << "the user's empty folder stays";
    EXPECT_TRUE(PathExists(ScratchPath("keep.txt"))) << "a folder that holds more stays";
    EXPECT_EQ(groupAlone ? ERROR_FILE_NOT_FOUND : ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, findExtensions.c_str(), 0, KEY_READ, &key));
    if (!groupAlone)
        RegCloseKey(key);
}

TEST_F(UninstallTest, RefusalsSayWhyAndChangeNothing) {
    std::string before = Machine();
    const std::string unchanged = " Nothing has been changed.";
    const std::string elsewhere = "WebQuillo is installed in " + Folder(0) +
                                  ", not in the folder given to its uninstaller." + unchanged;
    const struct {
        std::string line;
        UninstallOutcome outcome;
        std::string text;
    } cases[] = {
        {" \"\" ", UninstallOutcome::MissingPath,
         "WebQuillo Uninstall was started without the folder that WebQuillo is installed in. "
         "Start it from the list of installed programs." +
             unchanged},
        {"C:WebQuillo", UninstallOutcome::RelativePath,
         "The folder given to WebQuillo Uninstall is not a full path (such as "
         "C:\\Program Files\\QuilloSoft\\WebQuillo)." +
             unchanged},
        {Folder(1), UninstallOutcome::NotInstallFolder, elsewhere},
        {"C:\\" + std::string(400, 'x'), UninstallOutcome::NotInstallFolder, elsewhere},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.outcome, Run(0, c.line, {{c.text, IDOK}})) << c.line;
        EXPECT_EQ(before, Machine()) << c.line;
    }
    // A quoted folder is the folder; the user who answers No keeps everything.
    EXPECT_EQ(UninstallOutcome::Declined,
              Run(0, "\"" + Folder(0) + "\"", {{"Remove WebQuillo from this computer?", IDNO}}));
    EXPECT_EQ(before, Machine());
}

// "/S" before the folder: the same checks and the same removal, without a question or a message.
TEST_F(UninstallTest, SilentRunsRefuseAndRemoveWithoutAWord) {
    std::string before = Machine();
    for (const std::string& line :
         {"/S"s, "/s  "s, "/S C:\\windows"s, "/S C:WebQuillo"s, "/S " + Folder(1)}) {
        EXPECT_NE(UninstallOutcome::Removed, Run(0, line, {})) << line;
        EXPECT_EQ(before, Machine()) << line;
    }
    EXPECT_EQ(UninstallOutcome::Removed, Run(0, " /S \"" + Folder(0) + "\"", {}));
    EXPECT_FALSE(PathExists(Folder(0)));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\WebQuillo"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\EmailQuillo"));
    EXPECT_EQ(UninstallOutcome::NotInstalled, Run(0, "/S " + Folder(0), {}));
}

// On the 95 family the uninstaller's deletion at restart is a "wininit.ini" line.
TEST_F(UninstallTest, Win9xRemovalLeavesItsUninstallerToWininit) {
    ASSERT_TRUE(UseWin9xFamily()) << "needs the 95 family (Wine in win98 mode)";
    EXPECT_EQ(UninstallOutcome::Removed,
              Remove(2, "PhoneQuillo has been removed from this computer."s + kRemovedNote));
    EXPECT_FALSE(PathExists(Folder(2)));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, ModuleKey(2)));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "PhoneQuilloSearchFile"));
    std::string text;
    ASSERT_TRUE(ReadTestFile(JoinedPath(WindowsFolder(), "wininit.ini"), text));
    EXPECT_NE(std::string::npos, text.find("NUL=" + ShortPath(Uninstaller(2)) + "\r\n")) << text;
    EXPECT_FALSE(ReadPendingList(text));
}
