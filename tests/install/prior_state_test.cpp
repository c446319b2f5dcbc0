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

namespace {

// The value `name` of `path` as the wide calls read it; empty when it cannot be read.
std::wstring WideValue(HKEY root, const std::string& path, const wchar_t* name) {
    HKEY key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return L"";
    WCHAR data[256] = {};
    DWORD size = sizeof data - sizeof(WCHAR);
    LONG result = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::wstring(data) : std::wstring();
}

void PutWide(HKEY root, const std::string& path, const wchar_t* name, const wchar_t* text) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                             static_cast<DWORD>((std::wstring(text).size() + 1) * sizeof(WCHAR))));
    RegCloseKey(key);
}

} // namespace

// Run with the Western code page: text the 8-bit calls would garble comes back whole, and names
// outside that code page, which the suite never writes, neither stop the keeping (anybody could
// plant one under a key of the suite's) nor get lost.
TEST_F(PriorStateTest, KeepsTextBeyondTheCodePageWholeAndNamesBeyondItStopNothing) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {0, 1}, ScratchPath("Programs\\QuilloSoft").c_str());
    WriteInstallRegistry(context);
    const std::string email = kSuiteKey + "\\Email";
    const std::string planted = ".WebQuilloSearch";
    PutWide(HKEY_CURRENT_USER, email, L"City", L"\x0141odz");
    PutWide(HKEY_CURRENT_USER, email, L"\x738B\x82B3", L"Name outside the code page");
    PutWide(HKEY_CLASSES_ROOT, planted, L"\x0395\x03BB\x03AD\x03BD\x03B7", L"planted");
#if defined(_WIN32)
    // The emulation names keys in its code page only.
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, L".WebQuilloSearch\\Micha\x0142",
                                             0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
#endif
    PriorState prior;
    ASSERT_TRUE(prior.KeepRegistry(context)) << "names the suite never wrote stop nothing";
    context.prior = &prior;
    PutString(HKEY_CURRENT_USER, email, "City", "changed");
    PutString(HKEY_CLASSES_ROOT, planted, "Added", "by the run");
    RollBackRegistry(context);
    context.prior = nullptr;
    EXPECT_EQ(L"\x0141odz", WideValue(HKEY_CURRENT_USER, email, L"City"));
    EXPECT_EQ(L"Name outside the code page", WideValue(HKEY_CURRENT_USER, email, L"\x738B\x82B3"));
    EXPECT_EQ(L"planted", WideValue(HKEY_CLASSES_ROOT, planted, L"\x0395\x03BB\x03AD\x03BD\x03B7"));
    EXPECT_EQ("<none>", StringValue(HKEY_CLASSES_ROOT, planted, "Added"));
#if defined(_WIN32)
    EXPECT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CLASSES_ROOT, L".WebQuilloSearch\\Micha\x0142", 0,
                                           KEY_READ, &key));
    RegCloseKey(key);
    RegDeleteKeyW(HKEY_CLASSES_ROOT, L".WebQuilloSearch\\Micha\x0142");
#endif
}
