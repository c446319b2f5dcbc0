// Setup run with arguments, on both platforms: the silent install against the wizard's default
// install, the modules and a folder with blanks, the refusals and the failure with their exit
// codes, the log, and the message that lists the options.
#include <string>
#include <vector>

#include "driver/catalogue.h"
#include "driver/entry.h"
#include "driver/setup_context.h"
#include "driver/setup_options.h"
#include "driver/shell_helpers.h"
#include "driver/string_helpers.h"
#include "install/prior_state.h"
#include "install/run_journal.h"
#include "uninstall/uninstall.h"
#include "tests/install/install_world.h"
#include "tests/support/scripted_user.h"

namespace {

using scripted::Step;
namespace Do = scripted::Do;
namespace Expect = scripted::Expect;

const char kTitle[] = "NetQuillo Installation";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
const char kClassKey[] = "CLSID\\{fe7634c0-f7b3-11cf-b9b4-444553540000}";

bool Contains(const std::string& text, const std::string& what) {
    return text.find(what) != std::string::npos;
}

// Every file below `folder` with its size, one a line, in the order the system lists them.
void ListTree(const std::string& folder, const std::string& shown, std::string& text) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    std::vector<std::string> names;
    do {
        const std::string name = found.cFileName;
        if (name == "." || name == "..")
            continue;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            names.push_back(name + "\\");
        else
            names.push_back(name + " " + std::to_string(found.nFileSizeLow));
    } while (FindNextFileA(search, &found));
    FindClose(search);
    for (const std::string& name : names) {
        text += shown + name + "\n";
        if (name.back() == '\\')
            ListTree(folder + "\\" + name.substr(0, name.size() - 1), shown + name, text);
    }
}

class SilentInstall : public InstallWorld {
  protected:
    // Links on the desktop are outside the world the fixture resets, and an earlier test in the
    // same prefix may have left some.
    void SetUp() override {
        InstallWorld::SetUp();
        DeleteLinks();
    }
    void TearDown() override {
        DeleteLinks();
        InstallWorld::TearDown();
    }
    static void DeleteLinks() {
        for (const CatalogueRow& row : kProductCatalogue) {
            char link[MAX_PATH];
            if (DesktopLinkPath(nullptr, row.productName, link))
                DeleteFileA(link);
        }
    }
    // Back to the machine the test started on.
    void StartAfresh() {
        DeleteLinks();
        InstallWorld::TearDown();
        InstallWorld::SetUp();
    }

    // The exit code of setup started with `arguments`; `steps` are what the user sees and
    // does, none for a silent run, which so proves it shows no window that waits for a user.
    int Run(const std::string& arguments, const std::vector<Step>& steps = {}) {
        scripted::ScriptedUser user(steps);
        INT_PTR code = user.Play([&] { return static_cast<INT_PTR>(RunSetup(arguments.c_str())); });
        EXPECT_EQ("", user.Failures()) << arguments;
        return static_cast<int>(code);
    }

    // What an install leaves, as text: the keys of the suite and of every module, the install
    // folder's tree, and the files and links outside it.
    static std::string Machine(const std::string& folder) {
        std::string text = RegistryText(HKEY_CURRENT_USER, "Software\\QuilloSoft") +
                           RegistryText(HKEY_LOCAL_MACHINE, kTestFindGroupKey) +
                           RegistryText(HKEY_CLASSES_ROOT, kClassKey);
        for (const CatalogueRow& row : kProductCatalogue) {
            const std::string product = row.productName;
            text += RegistryText(HKEY_LOCAL_MACHINE, (kUninstallKey + product).c_str()) +
                    RegistryText(HKEY_CLASSES_ROOT, ("." + product + "Search").c_str()) +
                    RegistryText(HKEY_CLASSES_ROOT, (product + "SearchFile").c_str());
            char link[MAX_PATH];
            text +=
                PathExists(JoinedPath(WindowsFolder(), row.uninstallerFile)) ? "uninstaller\n" : "";
            text +=
                DesktopLinkPath(nullptr, row.productName, link) && PathExists(link) ? "link\n" : "";
        }
        text += PathExists(JoinedPath(SystemFolder(), "NetQuillo.dll")) ? "library\n" : "";
        ListTree(folder, "", text);
        return text;
    }
    static std::string Log() {
        std::string log;
        ReadTestFile(LogPath(), log);
        return log;
    }
    static std::string LogPath() { return ScratchPath("setup log.txt"); }
    static std::string Folder() { return ScratchPath("Program Files\\QuilloSoft\\"); }
};

// The wizard with every proposal kept but the folder, which the user types.
std::vector<Step> WizardWithFolder(const std::string& folder) {
    return {Expect::Page(101), Do::Next(),
            Expect::Page(103), Do::Next(),
            Expect::Page(104), Do::Next(),
            Expect::Page(105), Do::Type(702, folder),
            Do::Next(),        Expect::Page(107),
            Do::Next(),        Expect::Page(106),
            Do::Finish(),      Expect::Message("Installation complete.", kTitle),
            Do::Answer(IDOK)};
}

// What a reinstall into `folder` cut off in its files leaves, made with setup's own journal: the
// journal, the earlier program kept aside and a new one in its place, and a setting it changed. The journal is not removed: the process ended there.
void LeaveCutOffRun(const std::string& folder) {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        context.selected[i] = 1;
        context.modules[i].installPath.reset(new char[MAX_PATH]);
        ASSERT_TRUE(CopyString(context.modules[i].installPath.get(),
                               (folder + kProductCatalogue[i].productName).c_str(), MAX_PATH));
    }
    PriorState prior;
    ASSERT_TRUE(prior.KeepRegistry(context));
    RunJournal journal;
    ASSERT_TRUE(journal.Begin(context, prior));
    prior.SetJournal(&journal);
    const std::string program = folder + "WebQuillo\\WebQuillo.exe";
    ASSERT_TRUE(prior.KeepFile(program.c_str()));
    ASSERT_TRUE(WriteTestFile(program, "MZ a newer build"));
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\QuilloSoft\\NetQuillo",
                                           0, KEY_ALL_ACCESS, &key));
    RegSetValueExA(key, "Cut", 0, REG_SZ, reinterpret_cast<const BYTE*>("off"), 4);
    RegCloseKey(key);
}

} // namespace

// A run cut off where no rollback ran is put back by the next start, which says so (in the log
// when silent) and goes on; an uninstaller repairs first and then removes.
TEST_F(SilentInstall, ARunCutOffIsPutBackByTheNextStartAndByAnUninstaller) {
    ASSERT_EQ(0, Run("/S /D=" + Folder()));
    const std::string installed = Machine(Folder());
    const std::string settings = RegistryText(HKEY_CURRENT_USER, "Software\\QuilloSoft");
    LeaveCutOffRun(Folder());
    ASSERT_NE(installed, Machine(Folder()));
    const std::string tooLong = "C:\\" + std::string(240, 'q');
    EXPECT_EQ(2, Run("/S /LOG=\"" + LogPath() + "\" /D=" + tooLong));
    EXPECT_TRUE(Contains(Log(), std::string(RepairMessage(JournalRepair::RolledBack)) + "\r\n"))
        << Log();
    EXPECT_EQ(installed, Machine(Folder()));
    EXPECT_EQ(settings, RegistryText(HKEY_CURRENT_USER, "Software\\QuilloSoft"));
    // Nothing left to repair: the next start says nothing of it.
    EXPECT_EQ(2, Run("/S /LOG=\"" + LogPath() + "\" /D=" + tooLong));
    EXPECT_FALSE(Contains(Log(), "cut off")) << Log();

    LeaveCutOffRun(Folder());
    EXPECT_EQ(UninstallOutcome::Removed,
              RunUninstall(0, ("/S " + Folder() + "WebQuillo").c_str()));
    EXPECT_FALSE(PathExists(Folder() + "WebQuillo"));
    EXPECT_FALSE(Contains(RegistryText(HKEY_CURRENT_USER, "Software\\QuilloSoft"), "Cut"));
    EXPECT_FALSE(PathExists(JoinedPath(WindowsFolder(), "NetQuilloSetup.nqj")));
}

TEST_F(SilentInstall, InstallsWhatTheWizardInstallsByDefaultAndLogsEachStep) {
    const std::string nothing = Machine(Folder());
    ASSERT_EQ(0, Run("", WizardWithFolder(Folder())));
    const std::string wizard = Machine(Folder());
    ASSERT_TRUE(Contains(wizard, "IRCQuillo\\IRCQuillo.exe")) << wizard;

    StartAfresh();
    ASSERT_EQ(nothing, Machine(Folder()));
    EXPECT_EQ(0, Run("/S /LOG=\"" + LogPath() + "\" /D=" + Folder()));
    EXPECT_EQ(wizard, Machine(Folder()));

    // The programs list's values, for the packagers' tools.
    const std::string web =
        RegistryText(HKEY_LOCAL_MACHINE, (kUninstallKey + std::string("WebQuillo")).c_str());
    const std::string uninstaller = JoinedPath(WindowsFolder(), "WebQuilloUninstall.exe");
    const std::string module = Folder() + "WebQuillo";
    auto quoted = [](std::string text) {
        std::string out;
        for (char c : text)
            out += c == '\\' || c == '"' ? std::string("\\") + c : std::string(1, c);
        return "\"" + out + "\"";
    };
    for (const std::string& value : std::vector<std::string>{
             "\"DisplayName\"=\"WebQuillo\"",
             "\"UninstallString\"=" + quoted(uninstaller + " " + module),
             "\"QuietUninstallString\"=" + quoted("\"" + uninstaller + "\" /S " + module),
             "\"Publisher\"=\"QuilloSoft\"", "\"DisplayVersion\"=\"1.0.0.0\"",
             "\"DisplayIcon\"=" + quoted(module + "\\WebQuillo.exe"),
             "\"InstallLocation\"=" + quoted(module), "\"NoModify\"=dword:00000001",
             "\"NoRepair\"=dword:00000001", "\"EstimatedSize\"=dword:"})
        EXPECT_TRUE(Contains(web, value + (value.back() == ':' ? "" : "\n"))) << value << "\n"
                                                                              << web;

    const std::string log = Log();
    for (const std::string& line : std::vector<std::string>{
             "Modules: Web,Email,Phone,File,News,IRC\r\nInstall folder " + Folder() +
                 ": accepted\r\n"
                 "Decompressing NetQuillo.dll... done\r\nDecompressing WebQuillo.exe... done\r\n",
             "Decompressing NetQuillo.dll... already there\r\nDecompressing EmailQuillo.exe... "
             "done\r\n",
             std::string("Decompressing uninstall... done\r\nModifying registry... done\r\n"
                         "Modifying registry... done\r\nAdding to find menu... done\r\n"
                         "Setup complete... done\r\nInstallation complete. Exit code 0.\r\n")})
        EXPECT_TRUE(Contains(log, line)) << log;
    EXPECT_EQ(0u, log.find("NetQuillo silent install, arguments: /S /LOG=")) << log;
}

TEST_F(SilentInstall, ChosenModulesGoToAFolderWithBlanks) {
    const std::string folder = ScratchPath("My Programs\\Quillo Suite");
    EXPECT_EQ(0, Run("/modules=News,web /s /D=" + folder + "  "));
    const std::string machine = Machine(folder);
    EXPECT_TRUE(Contains(machine, "WebQuillo\\WebQuillo.exe")) << machine;
    EXPECT_TRUE(Contains(machine, "NewsQuillo\\NewsQuillo.hlp")) << machine;
    EXPECT_FALSE(Contains(machine, "IRCQuillo")) << machine;
    EXPECT_FALSE(Contains(machine, "EmailQuillo")) << machine;
    EXPECT_TRUE(PathExists(JoinedPath(WindowsFolder(), "NewsQuilloUninstall.exe")));
    EXPECT_FALSE(PathExists(JoinedPath(WindowsFolder(), "IRCQuilloUninstall.exe")));
}

TEST_F(SilentInstall, RefusalsAnswerTwoAndWriteNothingButTheLog) {
    const std::string nothing = Machine(Folder());
    struct Refusal {
        std::string arguments;
        std::string logLine;
    };
    // A file where the folder should go: its levels cannot be made.
    ASSERT_TRUE(WriteTestFile(ScratchPath("taken"), "x"));
    const std::string tooLong = "C:\\" + std::string(240, 'q');
    // Arguments not understood are refused before the log is opened: a file there stays.
    ASSERT_TRUE(WriteTestFile(LogPath(), "kept"));
    EXPECT_EQ(2, Run("/LOG=\"" + LogPath() + "\" /S /MODULES=Web,Mail"));
    EXPECT_EQ("kept", Log());
    ASSERT_TRUE(DeleteFileA(LogPath().c_str()));
    const Refusal refusals[] = {
        {"/S /D=Program Files\\QuilloSoft", "Install folder Program Files\\QuilloSoft: cannot be "
                                            "created or written"},
        {"/S /D=" + ScratchPath("taken\\QuilloSoft"), ": cannot be created or written"},
        {"/S /D=" + tooLong, "Install folder " + tooLong + ": cannot be created or written"},
    };
    for (const Refusal& refusal : refusals) {
        EXPECT_EQ(2, Run("/LOG=\"" + LogPath() + "\" " + refusal.arguments)) << refusal.arguments;
        const std::string log = Log();
        EXPECT_TRUE(Contains(log, refusal.logLine + "\r\nNothing was installed. Exit code 2.\r\n"))
            << log;
        EXPECT_FALSE(Contains(log, "Decompressing")) << log;
        DeleteFileA(LogPath().c_str());
        EXPECT_EQ(nothing, Machine(Folder())) << refusal.arguments;
    }
    // A log that cannot be written is refused as well, and so is a folder as the log.
    EXPECT_EQ(2, Run("/S /LOG=" + ScratchPath("no such folder\\log.txt")));
    EXPECT_EQ(2, Run("/S /LOG=" + ScratchPath("")));
    EXPECT_EQ(nothing, Machine(Folder()));

    // An earlier version, which the wizard's notice asks the user to remove first: refused,
    // unless the command line says to go over it.
    HKEY older;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER,
                                             "Software\\Delvane\\NetQuillo\\CurrentVersion\\Web",
                                             0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &older, nullptr));
    RegCloseKey(older);
    EXPECT_EQ(2, Run("/S /LOG=\"" + LogPath() + "\" /D=" + Folder()));
    EXPECT_TRUE(Contains(Log(), "An earlier version of the suite: installed; remove it first, or "
                                "add /FORCE to install over it\r\nNothing was installed. Exit "
                                "code 2.\r\n"))
        << Log();
    EXPECT_EQ(nothing, Machine(Folder()));
    EXPECT_EQ(0, Run("/S /FORCE /LOG=\"" + LogPath() + "\" /D=" + Folder()));
    EXPECT_TRUE(Contains(Log(), "installing over it (/FORCE)\r\n")) << Log();
}

// Without "/S" setup is the wizard, whatever else a launcher passes, and with arguments it
// answers its end (here a cancel); "/?" alone lists the options. A drive without a disc never
// stops either at a system box.
TEST_F(SilentInstall, WithoutSilentTheWizardRunsAndOnlyAQuestionMarkListsTheOptions) {
    const std::string nothing = Machine(Folder());
    SetErrorMode(0);
    for (const char* arguments : {"/MODULES=Web", "/D=C:\\Quillo", "/install"}) {
        scripted::ScriptedUser user({Expect::Page(101), Do::Cancel(), Do::Answer(IDYES)});
        EXPECT_EQ(kExitCancelled,
                  user.Play([&] { return static_cast<INT_PTR>(RunSetup(arguments)); }));
        EXPECT_EQ("", user.Failures()) << arguments;
        EXPECT_NE(0u, GetErrorMode() & SEM_FAILCRITICALERRORS);
    }
    for (const char* arguments : {"/?", "/S /?"}) {
        scripted::ScriptedUser user(
            {Expect::Message(
                 "NetQuilloSetup.exe installs the NetQuillo suite. Started without options it "
                 "leads you through the installation. The options install without any window:"
                 "\n\n/S\tinstall silently, taking every answer that setup proposes\n"
                 "/MODULES=Web,News\tonly these modules, by short name: Web, Email, Phone, File, "
                 "News, IRC (all when absent)\n/LOG=path\twrite a log of every step (a path "
                 "with blanks in double quotes)\n/FORCE\tinstall even over an earlier version of the "
                 "suite\n/CLOSEAPPLICATIONS\task the programs that use files to be replaced to "
                 "close, and wait for them (without it such a run ends with 7)\n/D=folder\tthe install folder; the last option, "
                 "the rest of the line, no quotes\n/?\tthis message\n\nExit codes: 0 installed, "
                 "1 failed and rolled back, 2 refused with nothing changed, 3 another setup "
                 "running, 4 too little disk space, 5 this file damaged, 6 cancelled, 7 files in use "
                 "by other programs.",
                 kTitle),
             Do::Answer(IDOK)});
        EXPECT_EQ(2, user.Play([&] { return static_cast<INT_PTR>(RunSetup(arguments)); }));
        EXPECT_EQ("", user.Failures()) << arguments;
    }
    EXPECT_EQ(nothing, Machine(Folder()));
}

// A reinstall while another program holds a help file open, sharing nothing: the silent run
// answers 7 and names the file; the wizard asks, asks again on Retry while the file is held,
// and after Cancel ends as a cancelled wizard does; nothing is written by either. Let go, the
// file is replaced.
TEST_F(SilentInstall, FilesInUseAreAskedAboutBeforeAnythingIsWritten) {
    ASSERT_EQ(0, Run("/S /D=" + Folder()));
    const std::string held = Folder() + "PhoneQuillo\\PhoneQuillo.hlp";
    HANDLE file = CreateFileA(held.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    const std::string before = Machine(Folder());
    EXPECT_EQ(7, Run("/S /LOG=\"" + LogPath() + "\" /D=" + Folder()));
    const std::string log = Log();
    EXPECT_TRUE(Contains(log, "Files in use by other programs: " + held +
                                  "; \r\nFiles in use: close the programs using them, or add "
                                  "/CLOSEAPPLICATIONS\r\nNothing was installed. Exit code 7.\r\n"))
        << log;
    DeleteFileA(LogPath().c_str());
    EXPECT_EQ(before, Machine(Folder()));

    std::vector<Step> cancelled = WizardWithFolder(Folder());
    cancelled.resize(cancelled.size() - 2);
    for (Step step : {Expect::Message(held + "\r\n", "Files in use"), Do::Answer(IDRETRY),
                      Expect::Message(held + "\r\n", "Files in use"), Do::Answer(IDCANCEL)})
        cancelled.push_back(step);
    EXPECT_EQ(6, Run("/install", cancelled));
    EXPECT_EQ(before, Machine(Folder()));

    CloseHandle(file);
    EXPECT_EQ(0, Run("/install", WizardWithFolder(Folder())));
}
