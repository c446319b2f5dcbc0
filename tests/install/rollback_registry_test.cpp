// Undoing the registry side of a failed install: the selected modules' keys always, the keys
// the suite shares only once no module is left registered in the Find-menu group.
#include "install/rollback.h"

#include <string>

#include "install/document_types.h"
#include "install/find_menu.h"
#include "registry/reg_key.h"
#include "tests/install/registry_actions_support.h"

namespace {

class RollBackRegistryTest : public TestWorld {};

void ExpectModuleKeysGone(const char* shortName, const char* product) {
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSuiteKey + "\\" + shortName)) << product;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\" + product)) << product;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kGroup + "\\" + product)) << product;
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, std::string(".") + product + "Search")) << product;
}

} // namespace

TEST_F(RollBackRegistryTest, FailedFirstInstallLeavesNoKeyOfTheSuite) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {0, 1});
    WriteInstallRegistry(context);
    ASSERT_EQ("NetQuillo", StringValue(HKEY_LOCAL_MACHINE, kApproved, kClassId));

    RollBackRegistry(context);
    ExpectModuleKeysGone("Web", "WebQuillo");
    ExpectModuleKeysGone("Email", "EmailQuillo");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\QuilloSoft"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kGroup));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_EQ("<none>", StringValue(HKEY_LOCAL_MACHINE, kApproved, kClassId));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kApproved));
}

TEST_F(RollBackRegistryTest, ModuleLeftInTheGroupKeepsTheSharedKeys) {
    {
        SetupContext earlier(kSuiteName, kProductCatalogue, kCatalogueRowCount);
        SelectModules(earlier, {4});
        WriteInstallRegistry(earlier);
    }
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {0, 1});
    WriteInstallRegistry(context);

    RollBackRegistry(context);
    ExpectModuleKeysGone("Web", "WebQuillo");
    ExpectModuleKeysGone("Email", "EmailQuillo");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSuiteKey + "\\News"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSuiteKey + "\\Updates"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kGroup + "\\NewsQuillo"));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kClassKey + "\\InProcServer32"));
    EXPECT_EQ("NetQuillo", StringValue(HKEY_LOCAL_MACHINE, kApproved, kClassId));
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, ".NewsQuilloSearch"));
}

TEST_F(RollBackRegistryTest, MakersKeyStaysWhileItHoldsAnotherProduct) {
    PutString(HKEY_CURRENT_USER, "Software\\QuilloSoft\\Other", "Kept", "yes");
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {3});
    WriteInstallRegistry(context);

    RollBackRegistry(context);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\QuilloSoft\\NetQuillo"));
    EXPECT_EQ("yes", StringValue(HKEY_CURRENT_USER, "Software\\QuilloSoft\\Other", "Kept"));
}

// The 95 family has no approval list of ours to clear: whatever is there stays.
TEST_F(RollBackRegistryTest, Win9xFamilyLeavesTheApprovalList) {
    ASSERT_TRUE(UseWin9xFamily()) << "needs the 95 family (Wine in win98 mode)";
    PutString(HKEY_LOCAL_MACHINE, kApproved, kClassId, "NetQuillo");
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {5});
    WriteInstallRegistry(context);

    RollBackRegistry(context);
    ExpectModuleKeysGone("IRC", "IRCQuillo");
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_EQ("NetQuillo", StringValue(HKEY_LOCAL_MACHINE, kApproved, kClassId));
}

// The 95 family deletes keys with everything below them: the modules' keys and classes go
// whole, and the maker's key, which holds another product, must still stay.
TEST_F(RollBackRegistryTest, Win9xFamilyDeletesWholeSubtreesButNotTheMakersOtherProducts) {
    ASSERT_TRUE(UseWin9xFamily()) << "needs the 95 family (Wine in win98 mode)";
    PutString(HKEY_CURRENT_USER, "Software\\QuilloSoft\\Other", "Kept", "yes");
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {0, 1});
    WriteInstallRegistry(context);
    PutString(HKEY_CURRENT_USER, kSuiteKey + "\\Web\\Window", "Left", "10");

    RollBackRegistry(context);
    ExpectModuleKeysGone("Web", "WebQuillo");
    ExpectModuleKeysGone("Email", "EmailQuillo");
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "WebQuilloSearchFile"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\QuilloSoft\\NetQuillo"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_EQ("yes", StringValue(HKEY_CURRENT_USER, "Software\\QuilloSoft\\Other", "Kept"));
}

TEST_F(RollBackRegistryTest, FindGroupIsEmptyWithoutAModuleEntry) {
    EXPECT_TRUE(IsFindGroupEmpty());
    PutString(HKEY_LOCAL_MACHINE, kGroup, nullptr, kClassId);
    EXPECT_TRUE(IsFindGroupEmpty());
    PutString(HKEY_LOCAL_MACHINE, kGroup + "\\Anything");
    EXPECT_FALSE(IsFindGroupEmpty());
}

// A module with a name that addresses nothing must not take the suite key with it.
TEST_F(RollBackRegistryTest, ModuleWithoutNamesLeavesOtherKeysAlone) {
    PutString(HKEY_CURRENT_USER, kSuiteKey, "Kept", "yes");
    PutString(HKEY_LOCAL_MACHINE, kGroup + "\\NewsQuillo", "Path", "x");
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {0});
    context.modules[0].shortName = DuplicateString("");
    context.modules[0].productName = DuplicateString("");
    RollBackRegistry(context);
    EXPECT_EQ("yes", StringValue(HKEY_CURRENT_USER, kSuiteKey, "Kept"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kGroup + "\\NewsQuillo"));
}
