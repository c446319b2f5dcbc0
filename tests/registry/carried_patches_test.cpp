// The patch texts the program carries: each applies cleanly, stores the settings its module
// reads back, and the checker shows exactly the registry the applier leaves.
#include <string>

#include "registry/reg_patch.h"
#include "resources/patch_texts.h"
#include "tests/registry/patch_test_support.h"
#include "tests/support/test_world.h"
#include "tools/patchcheck/patch_check.h"

namespace {

class CarriedPatches : public TestWorld {
  protected:
    void ClearRegistry() {
        TearDown();
        SetUp();
    }
};

const CarriedPatchText& Carried(const char* shortName) {
    for (const CarriedPatchText& patch : kCarriedPatchTexts)
        if (std::string(patch.shortName) == shortName)
            return patch;
    ADD_FAILURE() << "no carried patch for " << shortName;
    return kCarriedPatchTexts[0];
}

bool ApplyCarried(const CarriedPatchText& carried) {
    RegPatch patch;
    PatchStop stop;
    bool applied = patch.Apply(carried.shortName, carried.text, &stop);
    EXPECT_TRUE(applied) << carried.fileName << ":" << stop.line << ":" << stop.column
                         << ": expected " << (stop.expected ? stop.expected : "");
    return applied;
}

} // namespace

TEST_F(CarriedPatches, EachAppliesCleanlyAndTheCheckerShowsWhatApplyLeft) {
    for (const CarriedPatchText& carried : kCarriedPatchTexts) {
        SCOPED_TRACE(carried.fileName);
        ClearRegistry();
        // The module's own section comes first, and RegistryVersion first in it.
        std::string opening =
            std::string("REGPATCH1.0000\n[") + carried.shortName + "]\n\"RegistryVersion\"=number:";
        EXPECT_EQ(opening, std::string(carried.text).substr(0, opening.size()));
        EXPECT_EQ(carried.size, std::string(carried.text).size()); // no zero byte inside
        ASSERT_TRUE(ApplyCarried(carried));
        StoredValue version = ReadStored(carried.shortName, "RegistryVersion");
        EXPECT_EQ(REG_DWORD, version.type);
        EXPECT_TRUE(version.bytes == DwordBytes({1}) || version.bytes == DwordBytes({2}))
            << ::testing::PrintToString(version.bytes);
        std::string applied = RegistryText(HKEY_CURRENT_USER, kSuitePath.c_str());

        ClearRegistry();
        std::string output;
        std::string diagnostic;
        EXPECT_TRUE(
            CheckPatch(carried.fileName, carried.shortName, carried.text, output, diagnostic));
        EXPECT_EQ("", diagnostic);
        EXPECT_EQ(applied, output);
    }
}

TEST_F(CarriedPatches, StoreTheLayoutsTheModulesReadBack) {
    for (const CarriedPatchText& carried : kCarriedPatchTexts)
        ASSERT_TRUE(ApplyCarried(carried));
    StoredValue irc = ReadStored("IRC\\Clients", "VircCommandLine");
    EXPECT_EQ(REG_SZ, irc.type);
    EXPECT_EQ(std::string("-chat \"%1\"\0", 11), irc.bytes);
    StoredValue codes = ReadStored("Email", "CountryCodes");
    EXPECT_EQ(REG_MULTI_SZ, codes.type);
    EXPECT_EQ(std::string("\x01\0", 2), codes.bytes.substr(0, 2));
    EXPECT_EQ(REG_MULTI_SZ, ReadStored("File", "CountryCodes").type);
    StoredValue active = ReadStored("Web", "ActiveEngines");
    EXPECT_EQ(REG_BINARY, active.type);
    EXPECT_EQ(DwordBytes({1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0}), active.bytes);
    EXPECT_EQ(REG_MULTI_SZ, ReadStored("File", "TextExtensions").type);
    EXPECT_EQ(REG_MULTI_SZ, ReadStored("File\\ArchiveServers", "Europe").type);
    EXPECT_EQ(REG_MULTI_SZ, ReadStored("IRC\\Networks\\Lindennet", "Servers").type);
    EXPECT_EQ(std::string("C:\\Downloads\0", 13), ReadStored("File", "DownloadFolder").bytes);
    EXPECT_FALSE(KeyExists(kSuitePath + "\\News"));
}

TEST_F(CarriedPatches, InstallingAgainOverwritesWhatTheModuleChanged) {
    const CarriedPatchText& web = Carried("Web");
    ASSERT_TRUE(ApplyCarried(web));
    std::string installed = RegistryText(HKEY_CURRENT_USER, kSuitePath.c_str());
    EXPECT_TRUE(ApplyBody("[Web]\n\"ActiveEngines\"=numbers:0\n\"InstalledEngines\"=strings:\"x\"\n"
                          "\"MaxHits\"=string:\"many\"\n"));
    ASSERT_TRUE(ApplyCarried(web));
    EXPECT_EQ(installed, RegistryText(HKEY_CURRENT_USER, kSuitePath.c_str()));
}

TEST_F(CarriedPatches, CheckerReportsWhereAPatchStopped) {
    std::string output = "stale";
    std::string diagnostic;
    EXPECT_FALSE(CheckPatch("broken.txt", "Web",
                            "REGPATCH1.0000\r\n[Web]\r\n\"a\"=number:1\r\n\"b\"=numbers:1,-2\r\n",
                            output, diagnostic));
    EXPECT_EQ("broken.txt:4:15: expected a decimal number without a sign\n", diagnostic);
    EXPECT_EQ("", output);
    EXPECT_FALSE(CheckPatch("empty.txt", "Web", "", output, diagnostic));
    EXPECT_EQ("empty.txt:1:1: expected the header REGPATCH1.0000\n", diagnostic);
}
