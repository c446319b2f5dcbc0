// The registry's install actions where only the emulation can set the scene: calls that fail,
// the exact order of keys and values, the 95 family's missing approval key. Host-only.
#include <string>

#include "install/rollback.h"
#include "platform/host/emulation.h"
#include "platform/regedit_export.h"
#include "tests/install/registry_actions_support.h"

namespace {
class HostFindMenu : public TestWorld {};
class HostDocumentTypes : public TestWorld {};
class HostRollBackRegistry : public TestWorld {};
} // namespace

// Wine keeps a key's values sorted by name, Windows in the order they were written; the order
// is pinned where the emulation follows Windows.
TEST_F(HostFindMenu, KeysAndValuesInTheirOrder_HostOnly) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {1, 4});
    RegisterFindMenu(context);
    EXPECT_EQ("[HKEY_CLASSES_ROOT\\CLSID\\{fe7634c0-f7b3-11cf-b9b4-444553540000}]\n"
              "@=\"NetQuillo Find Menu Extension\"\n\n"
              "[HKEY_CLASSES_ROOT\\CLSID\\{fe7634c0-f7b3-11cf-b9b4-444553540000}\\"
              "InProcServer32]\n"
              "\"ThreadingModel\"=\"Apartment\"\n"
              "@=\"C:\\\\WINDOWS\\\\SYSTEM32\\\\NetQuillo.dll\"\n\n",
              ExportRegistryKey(HKEY_CLASSES_ROOT, kClassKey.c_str(), false));
    EXPECT_EQ(
        "[HKEY_LOCAL_MACHINE\\" + kGroup +
            "]\n"
            "@=\"{fe7634c0-f7b3-11cf-b9b4-444553540000}\"\n"
            // The emulated machine has no FindExtensions key until setup makes it.
            "\"CreatedKeyLevels\"=dword:00000001\n\n"
            "[HKEY_LOCAL_MACHINE\\" +
            kGroup +
            "\\EmailQuillo]\n"
            "\"Path\"=\"C:\\\\Program Files\\\\QuilloSoft\\\\EmailQuillo\\\\EmailQuillo.exe\"\n"
            "\"MenuText\"=\"&Email Addresses...\"\n"
            "\"HelpText\"=\"Find email addresses on the internet.\"\n\n"
            "[HKEY_LOCAL_MACHINE\\" +
            kGroup +
            "\\NewsQuillo]\n"
            "\"Path\"=\"C:\\\\Program Files\\\\QuilloSoft\\\\NewsQuillo\\\\NewsQuillo.exe\"\n"
            "\"MenuText\"=\"&News Articles...\"\n"
            "\"HelpText\"=\"Find articles in UseNet newsgroups.\"\n\n",
        ExportRegistryKey(HKEY_LOCAL_MACHINE, kGroup.c_str(), false));
    EXPECT_EQ("[HKEY_LOCAL_MACHINE\\" + kApproved +
                  "]\n"
                  "\"{fe7634c0-f7b3-11cf-b9b4-444553540000}\"=\"NetQuillo\"\n\n",
              ExportRegistryKey(HKEY_LOCAL_MACHINE, kApproved.c_str(), false));
}

TEST_F(HostFindMenu, KeyThatCannotBeCreatedStopsOrSkips_HostOnly) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {0, 3});

    // The group fails: the class stands, nothing of the group and no approval.
    hostemu::FailPath("RegCreateKeyExA", ("HKEY_LOCAL_MACHINE\\" + kGroup).c_str(),
                      ERROR_ACCESS_DENIED);
    RegisterFindMenu(context);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kClassKey + "\\InProcServer32"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kGroup));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kApproved));

    // The class fails: nothing at all.
    hostemu::Reset();
    hostemu::FailPath("RegCreateKeyExA", "HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID",
                      ERROR_ACCESS_DENIED);
    RegisterFindMenu(context);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kGroup));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kApproved));

    // The in-process server fails: the class's name only.
    hostemu::Reset();
    hostemu::FailPath(
        "RegCreateKeyExA",
        ("HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\" + kClassKey + "\\InProcServer32").c_str(),
        ERROR_ACCESS_DENIED);
    RegisterFindMenu(context);
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kGroup));

    // One module's entry fails: the next module and the approval go on.
    hostemu::Reset();
    hostemu::FailPath("RegCreateKeyExA", ("HKEY_LOCAL_MACHINE\\" + kGroup + "\\WebQuillo").c_str(),
                      ERROR_ACCESS_DENIED);
    RegisterFindMenu(context);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kGroup + "\\WebQuillo"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kGroup + "\\FileQuillo"));
    EXPECT_EQ("NetQuillo", StringValue(HKEY_LOCAL_MACHINE, kApproved, kClassId));
}

TEST_F(HostFindMenu, Win9xFamilyLeavesTheApprovalKeyAbsent_HostOnly) {
    UseWin9xFamily();
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {0});
    RegisterFindMenu(context);
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kGroup + "\\WebQuillo"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kApproved));
}

TEST_F(HostDocumentTypes, EachClassKeyStandsOnItsOwn_HostOnly) {
    // Creations in order: extension, class, icon, command.
    hostemu::FailCall("RegCreateKeyExA", ERROR_ACCESS_DENIED, 2);
    RegisterTestType();
    EXPECT_EQ("<none>", StringValue(HKEY_CLASSES_ROOT, "NetQuilloTestTypeFile", nullptr));
    EXPECT_EQ("C:\\Tools\\Test.exe,-10000",
              StringValue(HKEY_CLASSES_ROOT, "NetQuilloTestTypeFile\\DefaultIcon", nullptr));
    EXPECT_EQ(
        "C:\\Tools\\Test.exe /load:%1",
        StringValue(HKEY_CLASSES_ROOT, "NetQuilloTestTypeFile\\shell\\open\\command", nullptr));
}

TEST_F(HostDocumentTypes, NoExtensionKeyNoTypeAtAll_HostOnly) {
    hostemu::FailCall("RegCreateKeyExA", ERROR_ACCESS_DENIED, 1);
    RegisterTestType();
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".NetQuilloTestType"));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "NetQuilloTestTypeFile"));
}

TEST_F(HostRollBackRegistry, FailedDeletionIsSkippedAndTheRestGoesOn_HostOnly) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SelectModules(context, {0, 1});
    WriteInstallRegistry(context);
    hostemu::FailPath("RegDeleteKeyA", ("HKEY_CURRENT_USER\\" + kSuiteKey + "\\Web").c_str(),
                      ERROR_ACCESS_DENIED);
    RollBackRegistry(context);
    // The module key stays, and with it the suite key above it; everything else goes.
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSuiteKey + "\\Web"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSuiteKey + "\\Email"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSuiteKey + "\\Updates"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kUninstall + "\\WebQuillo"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kGroup));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, kClassKey));
    EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, ".EmailQuilloSearch"));
}
