#include <cstring>
#include <string>

#include "driver/setup_context.h"
#include "tests/support/test_world.h"

namespace {

std::string WindowsDirectory() {
    char buffer[MAX_PATH];
    GetWindowsDirectoryA(buffer, MAX_PATH);
    return buffer;
}

std::string Joined(std::string directory, const char* name) {
    if (directory.empty() || directory.back() != '\\')
        directory += '\\';
    return directory + name;
}

class SetupContextTest : public TestWorld {};

} // namespace

TEST_F(SetupContextTest, FreshContextSelectsEveryModuleWithNoInstallPath) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    EXPECT_EQ(&context, g_currentContext);
    ASSERT_EQ(6u, context.moduleCount);
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        EXPECT_EQ(1, context.selected[i]) << i;
        EXPECT_EQ(nullptr, context.modules[i].installPath) << i;
    }
    EXPECT_EQ(6u, CountSelectedModules());
    EXPECT_STREQ("NetQuillo", GetSuiteName());
}

TEST_F(SetupContextTest, RowsCarryTheCatalogueInItsOrder) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    const char* products[] = {"WebQuillo",  "EmailQuillo", "PhoneQuillo",
                              "FileQuillo", "NewsQuillo",  "IRCQuillo"};
    const char* shorts[] = {"Web", "Email", "Phone", "File", "News", "IRC"};
    for (DWORD i = 0; i < 6; ++i) {
        EXPECT_STREQ(products[i], GetModuleProductName(i));
        EXPECT_STREQ(shorts[i], GetModuleShortName(i));
        const ModuleRow& row = context.modules[i];
        EXPECT_EQ(std::string(products[i]) + ".exe", row.programFile.get());
        EXPECT_EQ(std::string(products[i]) + ".hlp", row.helpFile.get());
        EXPECT_EQ(std::string(products[i]) + ".cnt", row.contentsFile.get());
    }
    EXPECT_STREQ("Fi&les on the Internet...", context.modules[3].findMenuCaption.get());
    EXPECT_STREQ("Find users on the IRC servers.", context.modules[5].description.get());
}

TEST_F(SetupContextTest, UninstallersAndLibraryLieInTheSystemsOwnFolders) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    for (DWORD i = 0; i < 6; ++i) {
        EXPECT_EQ(Joined(WindowsDirectory(), kProductCatalogue[i].uninstallerFile),
                  context.modules[i].uninstallerPath.get());
    }
    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_EQ(Joined(system, "NetQuillo.dll"), context.findMenuLibraryPath.get());
}

TEST_F(SetupContextTest, FindModuleShortNameIgnoresCase) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    EXPECT_EQ(context.modules[4].shortName.get(), FindModuleShortName("news"));
    EXPECT_STREQ("IRC", FindModuleShortName("irc"));
    EXPECT_STREQ("", FindModuleShortName("Mail"));
}

TEST_F(SetupContextTest, IsModuleSelectedFollowsTheFlagsAndDefaultsToTrue) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    EXPECT_TRUE(IsModuleSelected("Mail"));
    EXPECT_TRUE(IsModuleSelected("NEWS"));
    context.selected[4] = 0;
    EXPECT_FALSE(IsModuleSelected("NEWS"));
    EXPECT_FALSE(IsModuleSelected("news"));
    EXPECT_EQ(5u, CountSelectedModules());
}

TEST_F(SetupContextTest, ModuleFilePathSharesOneBuffer) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    context.modules[0].installPath.reset(new char[MAX_PATH]);
    std::strcpy(context.modules[0].installPath.get(), "C:\\Program Files\\QuilloSoft\\WebQuillo");
    const char* first = ModuleFilePath(0, "WebQuillo.exe");
    EXPECT_STREQ("C:\\Program Files\\QuilloSoft\\WebQuillo\\WebQuillo.exe", first);
    const char* second = ModuleFilePath(0, "WebQuillo.hlp");
    EXPECT_EQ(first, second);
    EXPECT_STREQ("C:\\Program Files\\QuilloSoft\\WebQuillo\\WebQuillo.hlp", first);
}

TEST_F(SetupContextTest, ModuleFilePathIsEmptyRatherThanCutOff) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    EXPECT_STREQ("", ModuleFilePath(1, "EmailQuillo.exe")); // no install path yet
    context.modules[1].installPath.reset(new char[MAX_PATH]);
    std::string folder = "C:\\" + std::string(MAX_PATH - 10, 'x');
    std::strcpy(context.modules[1].installPath.get(), folder.c_str());
    EXPECT_STREQ("", ModuleFilePath(1, "EmailQuillo.exe"));
}

TEST_F(SetupContextTest, LookupsWithoutAContextAnswerTheirDefaults) {
    { SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount); }
    EXPECT_EQ(nullptr, g_currentContext);
    EXPECT_STREQ("", GetSuiteName());
    EXPECT_STREQ("", GetModuleShortName(0));
    EXPECT_STREQ("", FindModuleShortName("Web"));
    EXPECT_TRUE(IsModuleSelected("Web"));
    EXPECT_EQ(0u, CountSelectedModules());
}
