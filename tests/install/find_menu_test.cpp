// The Find-menu extension's registration: its class, its group, one entry per selected module,
// and the NT family's approval, written only once the group stands.
#include "install/find_menu.h"

#include <string>

#include "tests/install/registry_actions_support.h"

namespace {

class FindMenu : public TestWorld {};

void ExpectEntry(const char* product, const char* path, const char* caption, const char* help) {
    std::string key = kGroup + "\\" + product;
    EXPECT_EQ(path, StringValue(HKEY_LOCAL_MACHINE, key, "Path")) << product;
    EXPECT_EQ(caption, StringValue(HKEY_LOCAL_MACHINE, key, "MenuText")) << product;
    EXPECT_EQ(help, StringValue(HKEY_LOCAL_MACHINE, key, "HelpText")) << product;
}

} // namespace

TEST_F(FindMenu, RegistersClassGroupEntriesAndApproval) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {0, 5});
    RegisterFindMenu(context);

    EXPECT_EQ("NetQuillo Find Menu Extension", StringValue(HKEY_CLASSES_ROOT, kClassKey, nullptr));
    std::string server = kClassKey + "\\InProcServer32";
    EXPECT_EQ("Apartment", StringValue(HKEY_CLASSES_ROOT, server, "ThreadingModel"));
    EXPECT_EQ(SystemDirectory() + "\\NetQuillo.dll",
              StringValue(HKEY_CLASSES_ROOT, server, nullptr));
    EXPECT_EQ(kClassId, StringValue(HKEY_LOCAL_MACHINE, kGroup, nullptr));
    ExpectEntry("WebQuillo", "C:\\Program Files\\QuilloSoft\\WebQuillo\\WebQuillo.exe",
                "&Web Pages...", "Search the World Wide Web");
    ExpectEntry("IRCQuillo", "C:\\Program Files\\QuilloSoft\\IRCQuillo\\IRCQuillo.exe",
                "&IRC Users...", "Find users on the IRC servers.");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kGroup + "\\EmailQuillo"));
    EXPECT_EQ("NetQuillo", StringValue(HKEY_LOCAL_MACHINE, kApproved, kClassId));
}

TEST_F(FindMenu, ReinstallRewritesItsEntriesAndKeepsEarlierOnes) {
    PutString(HKEY_LOCAL_MACHINE, kGroup + "\\NewsQuillo", "Path", "D:\\News\\NewsQuillo.exe");
    PutString(HKEY_LOCAL_MACHINE, kGroup + "\\IRCQuillo", "Path", "D:\\Old\\IRCQuillo.exe");
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {5}, "E:\\Search Tools");
    RegisterFindMenu(context);
    ExpectEntry("IRCQuillo", "E:\\Search Tools\\IRCQuillo\\IRCQuillo.exe", "&IRC Users...",
                "Find users on the IRC servers.");
    EXPECT_EQ("D:\\News\\NewsQuillo.exe",
              StringValue(HKEY_LOCAL_MACHINE, kGroup + "\\NewsQuillo", "Path"));
}

// The group's subkeys, one a line.
std::string GroupEntries() {
    std::string names;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kGroup.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return names;
    char name[1024];
    DWORD length = sizeof name;
    for (DWORD i = 0;
         RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, length = sizeof name)
        names += std::string(name) + "\n";
    RegCloseKey(key);
    return names;
}

TEST_F(FindMenu, ModuleWithAnOverlongNameIsSkipped) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {0, 1});
    // Short enough for a key name, too long to be joined to the group's path: a name cut short
    // would show as another subkey.
    context.modules[0].productName = DuplicateString(std::string(200, 'W').c_str());
    RegisterFindMenu(context);
    EXPECT_EQ("EmailQuillo\n", GroupEntries());
    ExpectEntry("EmailQuillo", "C:\\Program Files\\QuilloSoft\\EmailQuillo\\EmailQuillo.exe",
                "&Email Addresses...", "Find email addresses on the internet.");
}

TEST_F(FindMenu, EntryWithoutAPathOrANameIsLeftOut) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {0, 1, 2});
    // Web's folder leaves no room for its program's name; Email has no name at all.
    context.modules[0].installPath = DuplicateString(("C:\\" + std::string(250, 'F')).c_str());
    context.modules[1].productName = DuplicateString("");
    RegisterFindMenu(context);
    EXPECT_EQ("PhoneQuillo\n", GroupEntries());
    EXPECT_EQ("<none>", StringValue(HKEY_LOCAL_MACHINE, kGroup, "Path"));
    EXPECT_EQ("<none>", StringValue(HKEY_LOCAL_MACHINE, kGroup, "MenuText"));
    EXPECT_EQ(kClassId, StringValue(HKEY_LOCAL_MACHINE, kGroup, nullptr));
}

// The 95 family's shell loads every extension: its approval list is not touched.
TEST_F(FindMenu, Win9xFamilyWritesNoApproval) {
    ASSERT_TRUE(UseWin9xFamily()) << "needs the 95 family (Wine in win98 mode)";
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {2});
    RegisterFindMenu(context);
    ExpectEntry("PhoneQuillo", "C:\\Program Files\\QuilloSoft\\PhoneQuillo\\PhoneQuillo.exe",
                "&Phone Numbers...", "Find telephone numbers.");
    EXPECT_EQ("<none>", StringValue(HKEY_LOCAL_MACHINE, kApproved, kClassId));
}
