// Document types follow their extension key's current default value; uninstall entries carry
// the uninstaller and the install folder, unquoted.
#include "install/document_types.h"
#include "install/prior_state.h"

#include <string>

#include "tests/install/registry_actions_support.h"

namespace {

class DocumentTypes : public TestWorld {};

void ExpectTestTypeRegistered() {
    EXPECT_EQ("NetQuilloTestTypeFile",
              StringValue(HKEY_CLASSES_ROOT, ".NetQuilloTestType", nullptr));
    EXPECT_EQ("Test Type", StringValue(HKEY_CLASSES_ROOT, "NetQuilloTestTypeFile", nullptr));
    EXPECT_EQ("C:\\Tools\\Test.exe,-10000",
              StringValue(HKEY_CLASSES_ROOT, "NetQuilloTestTypeFile\\DefaultIcon", nullptr));
    EXPECT_EQ(
        "C:\\Tools\\Test.exe /load:%1",
        StringValue(HKEY_CLASSES_ROOT, "NetQuilloTestTypeFile\\shell\\open\\command", nullptr));
}

} // namespace

TEST_F(DocumentTypes, RegisteringTwiceLeavesTheSameKeysAndValues) {
    RegisterTestType();
    ExpectTestTypeRegistered();
    std::string first = RegistryText(HKEY_CLASSES_ROOT, "NetQuilloTestTypeFile");
    RegisterTestType();
    ExpectTestTypeRegistered();
    EXPECT_EQ(first, RegistryText(HKEY_CLASSES_ROOT, "NetQuilloTestTypeFile"));
}

TEST_F(DocumentTypes, ExtensionPointingElsewhereIsTakenOver) {
    PutString(HKEY_CLASSES_ROOT, ".NetQuilloTestType", nullptr, kOtherClass);
    PutString(HKEY_CLASSES_ROOT, kOtherClass, nullptr, "Other");
    RegisterTestType();
    ExpectTestTypeRegistered();
    EXPECT_EQ("Other", StringValue(HKEY_CLASSES_ROOT, kOtherClass, nullptr));
}

// Any program of the user's can point the extension at a class of its own: that class stays,
// and the type's own class goes by its own name, with everything below it.
TEST_F(DocumentTypes, UnregisteringRemovesOnlyTheTypesOwnClassWhateverTheExtensionNames) {
    RegisterTestType();
    PutString(HKEY_CLASSES_ROOT, ".NetQuilloTestType", nullptr, kOtherClass);
    PutString(HKEY_CLASSES_ROOT, kOtherClass, nullptr, "Other");
    UnregisterDocumentType(kType);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".NetQuilloTestType"));
    EXPECT_EQ("Other", StringValue(HKEY_CLASSES_ROOT, kOtherClass, nullptr));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "NetQuilloTestTypeFile"));
}

// Writing the extension's class may have failed after the class itself was written: the class
// of the type's own name goes, and nobody else's.
TEST_F(DocumentTypes, UnregisteringAnExtensionWithoutAClassRemovesTheTypesOwnClass) {
    PutString(HKEY_CLASSES_ROOT, "NetQuilloTestTypeFile", nullptr, "Test Type");
    PutString(HKEY_CLASSES_ROOT, kOtherClass, nullptr, "Other");
    PutString(HKEY_CLASSES_ROOT, ".NetQuilloTestType", "Content Type", "text/plain");
    UnregisterDocumentType(kType);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".NetQuilloTestType"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "NetQuilloTestTypeFile"));
    EXPECT_EQ("Other", StringValue(HKEY_CLASSES_ROOT, kOtherClass, nullptr));
}

// The class's icon and open command go with it on the NT family too, which deletes no key
// that has subkeys.
TEST_F(DocumentTypes, UnregisteringRemovesTheClassWithItsSubkeys) {
    RegisterTestType();
    UnregisterDocumentType(kType);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".NetQuilloTestType"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "NetQuilloTestTypeFile"));
}

// The 95 family deletes a key with everything below it: the whole class goes.
TEST_F(DocumentTypes, Win9xUnregisteringRemovesTheWholeClass) {
    ASSERT_TRUE(UseWin9xFamily()) << "needs the 95 family (Wine in win98 mode)";
    RegisterTestType();
    PutString(HKEY_CLASSES_ROOT, ".NetQuilloTestType\\ShellNew", "NullFile", "");
    UnregisterDocumentType(kType);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".NetQuilloTestType"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "NetQuilloTestTypeFile"));
}

TEST_F(DocumentTypes, UnregisteringAnUnknownTypeChangesNothing) {
    PutString(HKEY_CLASSES_ROOT, "NetQuilloTestTypeFile", nullptr, "Left alone");
    UnregisterDocumentType(kType);
    EXPECT_EQ("Left alone", StringValue(HKEY_CLASSES_ROOT, "NetQuilloTestTypeFile", nullptr));
}

TEST_F(DocumentTypes, BadNamesAreRefusedWithoutWriting) {
    std::string overlong(MAX_PATH, 'N');
    RegisterDocumentType(overlong.c_str(), "d", "i", "c");
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "." + overlong.substr(0, MAX_PATH - 2)));
    RegisterDocumentType(nullptr, "d", "i", "c");
    RegisterDocumentType(kType, nullptr, "i", "c");
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".NetQuilloTestType"));
    UnregisterDocumentType(nullptr);
    UnregisterDocumentType(overlong.c_str());
    // An empty default value names no class: HKEY_CLASSES_ROOT itself is never addressed.
    PutString(HKEY_CLASSES_ROOT, ".NetQuilloTestType", nullptr, "");
    UnregisterDocumentType(kType);
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".NetQuilloTestType"));
}

TEST_F(DocumentTypes, UninstallEntriesForSelectedModulesOnly) {
    PutString(HKEY_LOCAL_MACHINE, kUninstall + "\\PhoneQuillo", "DisplayName", "PhoneQuillo");
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {0, 4}, "C:\\Program Files\\Quillo Soft");
    RegisterUninstallEntries(context);

    std::string web = kUninstall + "\\WebQuillo";
    EXPECT_EQ("WebQuillo", StringValue(HKEY_LOCAL_MACHINE, web, "DisplayName"));
    EXPECT_EQ(std::string(context.modules[0].uninstallerPath.get()) +
                  " C:\\Program Files\\Quillo Soft\\WebQuillo",
              StringValue(HKEY_LOCAL_MACHINE, web, "UninstallString"));
    EXPECT_EQ("NewsQuillo",
              StringValue(HKEY_LOCAL_MACHINE, kUninstall + "\\NewsQuillo", "DisplayName"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\EmailQuillo"));
    EXPECT_EQ("PhoneQuillo",
              StringValue(HKEY_LOCAL_MACHINE, kUninstall + "\\PhoneQuillo", "DisplayName"));
}

TEST_F(DocumentTypes, UninstallEntryNeedsBothPaths) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {0, 1});
    context.modules[0].installPath.reset();
    context.modules[1].uninstallerPath.reset();
    RegisterUninstallEntries(context);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\WebQuillo"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\EmailQuillo"));
}

TEST_F(DocumentTypes, UninstallEntryNeedsAName) {
    // Without one the entry would land in the list's own key.
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {1});
    context.modules[1].productName = DuplicateString("");
    RegisterUninstallEntries(context);
    EXPECT_EQ("<none>", StringValue(HKEY_LOCAL_MACHINE, kUninstall, "DisplayName"));
    EXPECT_EQ("<none>", StringValue(HKEY_LOCAL_MACHINE, kUninstall, "UninstallString"));
}

// A reinstall into the folder an earlier run made keeps that run's count of folder levels; an
// entry without one (an older setup wrote none) keeps what the uninstaller takes then, never 0,
// which would leave the module folder behind at removal.
TEST_F(DocumentTypes, AReinstallKeepsTheFolderLevelsTheEarlierEntryImplies) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {0}, "C:\\Program Files\\Quillo Soft");
    PriorState prior;
    context.prior = &prior;
    const std::string web = kUninstall + "\\WebQuillo";
    auto levels = [&] {
        HKEY key = nullptr;
        DWORD value = 99, size = sizeof value;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, web.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return DWORD(99);
        if (RegQueryValueExA(key, "CreatedFolderLevels", nullptr, nullptr,
                             reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
            value = 98;
        RegCloseKey(key);
        return value;
    };
    RegisterUninstallEntries(context);
    ASSERT_EQ(0u, levels()) << "a folder this run did not make is the user's";

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, web.c_str(), 0, KEY_ALL_ACCESS, &key));
    const DWORD three = 3;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, "CreatedFolderLevels", 0, REG_DWORD,
                                            reinterpret_cast<const BYTE*>(&three), sizeof three));
    RegisterUninstallEntries(context);
    EXPECT_EQ(3u, levels());

    ASSERT_EQ(ERROR_SUCCESS, RegDeleteValueA(key, "CreatedFolderLevels"));
    RegCloseKey(key);
    RegisterUninstallEntries(context);
    EXPECT_EQ(1u, levels());
}
