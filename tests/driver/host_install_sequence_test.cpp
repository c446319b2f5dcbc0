// Whole runs of setup on the emulation, a scripted user at the keyboard: the
// free-space check, the backdrop picture, the pages shown, the install phase's progress and
// outcome, and the rollback when a step fails.
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "driver/catalogue.h"
#include "driver/entry.h"
#include "payloads/payload_files.h"
#include "platform/host/emulation.h"
#include "tests/install/install_test_support.h"
#include "tests/support/scripted_user.h"
#include "tests/support/test_world.h"

namespace {

using scripted::Step;
namespace Do = scripted::Do;
namespace Expect = scripted::Expect;

const char kTitle[] = "NetQuillo Installation";
const char kSuiteKey[] = "HKEY_CURRENT_USER\\Software\\QuilloSoft\\NetQuillo\\CurrentVersion";

bool Contains(const std::string& text, const std::string& what) {
    return text.find(what) != std::string::npos;
}

std::vector<Step> Then(std::vector<Step> steps, const std::vector<Step>& more) {
    steps.insert(steps.end(), more.begin(), more.end());
    return steps;
}

// Through the wizard with every default, all six modules chosen.
std::vector<Step> DefaultWizard() {
    return {Expect::Page(101), Do::Next(),        Expect::Page(103),
            Do::Next(),        Expect::Page(104), Do::Next(),
            Expect::Page(105), Do::Next(),        Expect::Page(107),
            Do::Next(),        Expect::Page(106), Expect::Buttons(PSWIZB_BACK | PSWIZB_FINISH),
            Do::Finish()};
}

std::vector<Step> Outcome(const char* text) {
    return {Expect::Message(text, kTitle), Do::Answer(IDOK)};
}

std::vector<Step> CancelAtOnce() {
    return {Expect::Page(101), Do::Cancel(),
            Expect::Message("Are you sure you wish to cancel the installation?", kTitle),
            Do::Answer(IDYES)};
}

// Creates the key `path` under HKEY_CURRENT_USER, with "Distributor" when given.
void MakeUserKey(const char* path, const char* distributor = nullptr) {
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, path, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    if (distributor)
        RegSetValueExA(key, "Distributor", 0, REG_SZ, reinterpret_cast<const BYTE*>(distributor),
                       static_cast<DWORD>(std::string(distributor).size() + 1));
    RegCloseKey(key);
}

// The value `name` of the key `key` (a full REGEDIT4 key name) as the export writes it.
std::string ValueIn(const std::string& registry, const std::string& key, const std::string& name) {
    size_t start = registry.find("[" + key + "]\n");
    if (start == std::string::npos)
        return "(no key)";
    size_t end = registry.find("\n\n", start);
    std::string section = registry.substr(start, end - start) + "\n";
    size_t at = section.find("\n\"" + name + "\"=");
    if (at == std::string::npos)
        return "(no value)";
    at += name.size() + 4;
    return section.substr(at, section.find('\n', at) - at);
}

class HostInstallSequence : public TestWorld {
  protected:
    void SetUp() override {
        TestWorld::SetUp();
        // A machine with its program-files folder, where the options page proposes to install.
        CreateDirectoryA("C:\\Program Files", nullptr);
    }
    // One run of setup with `steps` as the user; the failures of the script, if any.
    std::string Run(const std::vector<Step>& steps) {
        registryBefore_ = hostemu::ExportRegistry();
        filesBefore_ = hostemu::ListFiles();
        hostemu::ClearUserLog();
        hostemu::ClearDrawingLog();
        // From the process entry, which initialises the common controls and builds the context.
        scripted::ScriptedUser user(steps);
        EXPECT_EQ(0, user.Play([] { return static_cast<INT_PTR>(RunSetup()); }));
        return user.Failures();
    }
    bool MachineUnchanged() {
        return registryBefore_ == hostemu::ExportRegistry() && filesBefore_ == hostemu::ListFiles();
    }
    std::string registryBefore_;
    std::string filesBefore_;
};

} // namespace

TEST_F(HostInstallSequence, TheDefaultInstallFillsTheBarAndCompletes_HostOnly) {
    EXPECT_EQ("", Run(Then(DefaultWizard(), Outcome("Installation complete."))));
    const std::string log = hostemu::UserLog();
    // 5 x 6 + 4 steps, the last just before the last status text.
    EXPECT_TRUE(
        Contains(log, "progress control 900: 34 of 0..34\ntext control 901: Setup complete..."))
        << log;
    EXPECT_FALSE(Contains(log, "progress control 900: 35"));
    const std::string registry = hostemu::ExportRegistry();
    for (const CatalogueRow& row : kProductCatalogue) {
        EXPECT_EQ("\"QuilloSoft\"",
                  ValueIn(registry, std::string(kSuiteKey) + "\\" + row.shortName, "Distributor"))
            << row.shortName;
    }
    // The open command quotes the program's path, blanks and all.
    EXPECT_TRUE(Contains(registry, "@=\"\\\"C:\\\\Program Files\\\\QuilloSoft\\\\WebQuillo\\\\"
                                   "WebQuillo.exe\\\" /load:%1\""))
        << registry;
    EXPECT_TRUE(Contains(hostemu::ListFiles(), "C:\\Program Files\\QuilloSoft\\IRCQuillo\\"));
}

TEST_F(HostInstallSequence, ModulesAlreadyOnTheMachineKeepTheirDistributor_HostOnly) {
    MakeUserKey("Software\\QuilloSoft\\NetQuillo\\CurrentVersion\\Email", "Reseller");
    EXPECT_EQ("", Run(Then(DefaultWizard(), Outcome("Installation complete."))));
    const std::string registry = hostemu::ExportRegistry();
    EXPECT_EQ("\"Reseller\"", ValueIn(registry, std::string(kSuiteKey) + "\\Email", "Distributor"));
    EXPECT_EQ("\"QuilloSoft\"", ValueIn(registry, std::string(kSuiteKey) + "\\Web", "Distributor"));
}

TEST_F(HostInstallSequence, NewsAloneHasNoPatchAndStillCompletes_HostOnly) {
    std::vector<Step> steps = {Expect::Page(101), Do::Next(), Expect::Page(103)};
    for (int box : {550, 551, 552, 553, 555})
        steps.push_back(Do::Click(box));
    steps = Then(steps, {Do::Next(), Expect::Page(104), Do::Next(), Expect::Page(105), Do::Next(),
                         Expect::Page(107), Do::Next(), Expect::Page(106), Do::Finish()});
    EXPECT_EQ("", Run(Then(steps, Outcome("Installation complete."))));
    EXPECT_TRUE(Contains(hostemu::UserLog(), "progress control 900: 9 of 0..9\n"));
    const std::string registry = hostemu::ExportRegistry();
    EXPECT_TRUE(Contains(registry, std::string("[") + kSuiteKey + "\\News]"));
    EXPECT_FALSE(Contains(registry, std::string("[") + kSuiteKey + "\\Web]"));
}

TEST_F(HostInstallSequence, AFailedDeploymentRollsBackBeforeAnyRegistryWork_HostOnly) {
    hostemu::FailPath("CreateFileA", "C:\\Program Files\\QuilloSoft\\FileQuillo\\FileQuillo.hlp",
                      ERROR_ACCESS_DENIED);
    EXPECT_EQ("", Run(Then(DefaultWizard(), Outcome("Installation failed."))));
    const std::string log = hostemu::UserLog();
    EXPECT_FALSE(Contains(log, "Modifying registry...")) << log;
    EXPECT_FALSE(Contains(log, "Setup complete..."));
    EXPECT_FALSE(Contains(hostemu::ListFiles(), "QuilloSoft\\WebQuillo\\WebQuillo.exe"));
    EXPECT_FALSE(Contains(hostemu::ExportRegistry(), "QuilloSoft"));
}

TEST_F(HostInstallSequence, AFailingPatchRollsBackAndStopsThePatches_HostOnly) {
    // Email's patch, the second applied, cannot open its key. Phone's key is kept from the
    // rollback, so that it shows whether Phone's patch, the third, ever ran.
    const std::string phone = std::string(kSuiteKey) + "\\Phone";
    hostemu::FailPath("RegCreateKeyExA", (std::string(kSuiteKey) + "\\Email").c_str(),
                      ERROR_ACCESS_DENIED);
    hostemu::FailPath("RegDeleteKeyA", phone.c_str(), ERROR_ACCESS_DENIED);
    EXPECT_EQ("", Run(Then(DefaultWizard(), Outcome("Installation failed."))));
    EXPECT_FALSE(Contains(hostemu::UserLog(), "Adding to find menu..."));
    EXPECT_FALSE(Contains(hostemu::ListFiles(), "QuilloSoft\\WebQuillo\\WebQuillo.exe"));
    const std::string registry = hostemu::ExportRegistry();
    EXPECT_EQ("\"QuilloSoft\"", ValueIn(registry, phone, "Distributor"));
    EXPECT_EQ("(no value)", ValueIn(registry, phone, "RegistryVersion"));
}

TEST_F(HostInstallSequence, AnAnswerThatCannotBeStoredLeavesTheInstallWhole_HostOnly) {
    // The shared settings key takes the user's details, the mailing-list choice and the
    // proxies; it opens, but refuses every value. The modules fall back on their defaults.
    const std::string updates = std::string(kSuiteKey) + "\\Updates";
    hostemu::FailPath("RegSetValueExA", updates.c_str(), ERROR_ACCESS_DENIED);
    EXPECT_EQ("", Run(Then(DefaultWizard(), Outcome("Installation complete."))));
    EXPECT_TRUE(Contains(hostemu::UserLog(), "Adding to find menu..."));
    EXPECT_TRUE(Contains(hostemu::ListFiles(), "QuilloSoft\\WebQuillo\\WebQuillo.exe"));
}

TEST_F(HostInstallSequence, CancelShowsNothingAndInstallsNothing_HostOnly) {
    EXPECT_EQ("", Run(CancelAtOnce()));
    EXPECT_TRUE(MachineUnchanged());
    EXPECT_FALSE(Contains(hostemu::UserLog(), "Installing..."));

    // A sheet that cannot even be created ends setup the same way: nobody gave any answers.
    hostemu::FailCall("PropertySheetA", ERROR_NOT_ENOUGH_MEMORY);
    EXPECT_EQ("", Run({}));
    EXPECT_TRUE(MachineUnchanged());
    EXPECT_FALSE(Contains(hostemu::UserLog(), "Installing..."));
}

TEST_F(HostInstallSequence, TheTemporaryDriveMustHoldTheWholeSuite_HostOnly) {
    ASSERT_TRUE(hostemu::SetFreeSpace("C:\\", 3840000));
    EXPECT_EQ("", Run(CancelAtOnce()));
    EXPECT_TRUE(Contains(hostemu::UserLog(), std::string("show \"") + kTitle + "\""));

    ASSERT_TRUE(hostemu::SetFreeSpace("C:\\", 3839999));
    EXPECT_EQ(
        "", Run({Expect::Message("Insufficient free drive space to complete installation.", kTitle),
                 Do::Answer(IDOK)}));
    EXPECT_EQ("message \"NetQuillo Installation\": Insufficient free drive space to complete "
              "installation.\nshow \"NetQuillo Installation\"\nclose \"NetQuillo Installation\"\n",
              hostemu::UserLog())
        << "no window but the message's own";
    EXPECT_EQ(filesBefore_, hostemu::ListFiles()) << "the temporary file is gone again";
    EXPECT_EQ(registryBefore_, hostemu::ExportRegistry());

    // A drive that cannot be asked has no room either.
    hostemu::FailCall("GetDiskFreeSpaceA", ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(
        "", Run({Expect::Message("Insufficient free drive space to complete installation.", kTitle),
                 Do::Answer(IDOK)}));
}

TEST_F(HostInstallSequence, ANetworkTemporaryFolderAlwaysHasRoom_HostOnly) {
    hostemu::AddShare("\\\\server\\share", 0);
    hostemu::SetTempPath("\\\\server\\share\\temp");
    ASSERT_TRUE(hostemu::SetFreeSpace("C:\\", 0));
    EXPECT_EQ("", Run(CancelAtOnce()));
}

TEST_F(HostInstallSequence, WithoutATemporaryFolderTheWizardHasNoPicture_HostOnly) {
    ASSERT_TRUE(hostemu::SetFreeSpace("C:\\", 0));
    hostemu::FailCall("GetTempPathA", ERROR_ACCESS_DENIED);
    EXPECT_EQ("", Run(CancelAtOnce()));
    const std::string drawn = hostemu::DrawingLog();
    EXPECT_TRUE(Contains(drawn, "DrawEdge")) << "a page was painted";
    EXPECT_FALSE(Contains(drawn, "SetDIBitsToDevice"));

    hostemu::ClearFaults();
    ASSERT_TRUE(hostemu::SetFreeSpace("C:\\", 1ull << 30));
    EXPECT_EQ("", Run(CancelAtOnce()));
    EXPECT_TRUE(Contains(hostemu::DrawingLog(), "SetDIBitsToDevice"));
}

TEST_F(HostInstallSequence, TheBackdropPictureIsTheProgramsNameWithBmp_HostOnly) {
    // A 2 x 1 24-bit picture.
    std::string picture = "BM";
    const unsigned char rest[] = {62, 0, 0, 0, 0, 0, 0,  0, 54, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0,
                                  1,  0, 0, 0, 1, 0, 24, 0, 0,  0, 0, 0, 8,  0, 0, 0, 0, 0, 0, 0,
                                  0,  0, 0, 0, 0, 0, 0,  0, 0,  0, 0, 0, 0,  0, 0, 0, 0, 0, 0, 0};
    picture.append(reinterpret_cast<const char*>(rest), sizeof rest);
    ASSERT_TRUE(hostemu::WriteFileBytes("C:\\SETUP\\SETUP.bmp", picture));

    hostemu::SetModuleFileName("C:\\SETUP\\SETUP.EXE");
    EXPECT_EQ("", Run(CancelAtOnce()));
    EXPECT_TRUE(Contains(hostemu::DrawingLog(), "BitBlt 0,0 2x1 from bitmap 2x1x24"));

    hostemu::SetModuleFileName("C:\\SETUP\\SETUP.EX_");
    ASSERT_TRUE(hostemu::WriteFileBytes("C:\\SETUP\\SETUP.EX_.bmp", picture));
    EXPECT_EQ("", Run(CancelAtOnce()));
    EXPECT_FALSE(Contains(hostemu::DrawingLog(), "BitBlt"));
}

TEST_F(HostInstallSequence, AnOlderInstallWithSubkeysBringsTheNotice_HostOnly) {
    const std::vector<Step> sixPages = {Expect::Page(101), Do::Next(), Expect::Page(103),
                                        Do::Cancel(), Do::Answer(IDYES)};
    const std::vector<Step> sevenPages = {
        Expect::Page(101), Do::Next(),
        Expect::Page(102), Expect::Buttons(PSWIZB_BACK | PSWIZB_NEXT),
        Do::Next(),        Expect::Page(103),
        Do::Cancel(),      Do::Answer(IDYES)};
    MakeUserKey("Software\\Delvane\\NetQuillo\\CurrentVersion");
    EXPECT_EQ("", Run(sixPages)) << "a key without subkeys is no install";

    MakeUserKey("Software\\Delvane\\WebQuillo\\CurrentVersion\\Web");
    EXPECT_EQ("", Run(sevenPages));
}

// Another program of the same user watches the temporary folder: at every call setup makes, it
// overwrites each file there with bytes of its own and tries to delete it. None of setup's
// files lets it, and setup opens none of them a second time, so everything installed is its
// payload, the wizard shows its picture, and nothing is left behind or left for the restart.
TEST_F(HostInstallSequence, AnotherProgramCannotTouchWhatPassesThroughTheTemporaryFolder_HostOnly) {
    const std::string temp = "C:\\WINDOWS\\TEMP\\";
    std::set<std::string> seen;
    unsigned touched = 0;
    hostemu::SetCallObserver([&](const char*, const std::string&) -> DWORD {
        std::istringstream files(hostemu::ListFiles());
        for (std::string line; std::getline(files, line);) {
            if (line.compare(0, temp.size(), temp) != 0 || line.back() == '\\')
                continue;
            const std::string path = line.substr(0, line.rfind(' '));
            seen.insert(path);
            touched += hostemu::RewriteAsAnotherProcess(path.c_str(), "MZ another program");
            touched += hostemu::DeleteAsAnotherProcess(path.c_str());
        }
        return 0;
    });
    EXPECT_EQ("", Run(Then(DefaultWizard(), Outcome("Installation complete."))));
    hostemu::SetCallObserver(nullptr);
    EXPECT_EQ(0u, touched);
    EXPECT_GE(seen.size(), 2u) << "the picture and a payload at least passed through";
    EXPECT_TRUE(Contains(hostemu::DrawingLog(), " 116x226x8 ")) << "the wizard's own picture";
    EXPECT_EQ(0u, hostemu::CallCount("LZOpenFileA")) << "nothing is opened again by name";
    for (const PayloadFile& payload : kPayloadFiles) {
        const std::string name = payload.name;
        std::string destination;
        if (name == "Wizard.bmp")
            continue;
        if (name == "NetQuillo.dll")
            destination = "C:\\WINDOWS\\SYSTEM32\\" + name;
        else if (name.find("Uninstall.exe") != std::string::npos)
            destination = "C:\\WINDOWS\\" + name;
        else
            destination =
                "C:\\Program Files\\QuilloSoft\\" + name.substr(0, name.find('.')) + "\\" + name;
        std::string installed;
        EXPECT_TRUE(hostemu::ReadFileBytes(destination.c_str(), installed)) << destination;
        EXPECT_TRUE(installed == PayloadSource(name)) << destination;
    }
    EXPECT_FALSE(Contains(hostemu::ListFiles(), temp + "NQ"));
    EXPECT_FALSE(Contains(hostemu::ExportRegistry(), "PendingFileRenameOperations"));
}

// Libraries named like lz32 and comctl32 beside setup: its first act limits the search to the
// System folder, and it loads those two from there by full path. The 95 family has no call to
// limit the search; the full paths alone keep the planted ones out there.
TEST_F(HostInstallSequence, OnlyTheSystemFoldersLibrariesAreLoaded_HostOnly) {
    ASSERT_TRUE(hostemu::WriteFileBytes("C:\\NetQuillo\\lz32.dll", "MZ planted"));
    ASSERT_TRUE(hostemu::WriteFileBytes("C:\\NetQuillo\\comctl32.dll", "MZ planted"));
    for (hostemu::PlatformFamily family :
         {hostemu::PlatformFamily::NT, hostemu::PlatformFamily::Win9x}) {
        hostemu::SetPlatformFamily(family);
        std::vector<std::string> calls;
        hostemu::SetCallObserver([&](const char* function, const std::string&) -> DWORD {
            calls.push_back(function);
            return 0;
        });
        // From the entry on: the observer sees the test's own calls before it.
        hostemu::ClearDrawingLog();
        scripted::ScriptedUser user(CancelAtOnce());
        EXPECT_EQ(0, user.Play([&calls] {
            calls.clear();
            return static_cast<INT_PTR>(RunSetup());
        }));
        EXPECT_EQ("", user.Failures());
        hostemu::SetCallObserver(nullptr);
        ASSERT_GE(calls.size(), 2u);
        EXPECT_EQ("GetProcAddress", calls[0]);
        if (family == hostemu::PlatformFamily::NT) {
            EXPECT_EQ("SetDefaultDllDirectories", calls[1]);
        }
        std::istringstream loaded(hostemu::LoadedLibraries());
        std::set<std::string> libraries;
        for (std::string line; std::getline(loaded, line);)
            libraries.insert(line);
        EXPECT_EQ((std::set<std::string>{"C:\\WINDOWS\\SYSTEM32\\comctl32.dll",
                                         "C:\\WINDOWS\\SYSTEM32\\lz32.dll"}),
                  libraries);
        EXPECT_TRUE(Contains(hostemu::DrawingLog(), " 116x226x8 ")) << "lz32 expanded the picture";
    }
}
