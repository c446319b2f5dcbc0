#include "tests/e2e/robot/scenarios.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "driver/catalogue.h"
#include "driver/setup_context.h"
#include "install/registry_names.h"
#include "install/run_journal.h"
#include "tests/e2e/robot/installer_windows.h"
#include "tests/e2e/robot/robot.h"

namespace {

const int kLicencePage = 101;
const int kNoticePage = 102;
const int kModulePage = 103;
const int kUserDetailsPage = 104;
const int kOptionsPage = 105;
const int kProxyPage = 106;
const int kNewsServerPage = 107;
const int kFirstModuleBox = 550;
const int kNewsModule = 4;

// The side of the machine that the scenario's setup sees: the product is a 32-bit program.
MachineView g_setupView = MachineView::Native;

// One walk through the wizard to Finish.
struct Walk {
    // Modules to uncheck on the module page, by catalogue index.
    std::initializer_list<int> uncheck = {};
    // Type the scenario's answers; otherwise keep what the pages show (a second install) and
    // note it.
    bool answer = true;
    // An earlier version is installed: the notice page follows the licence.
    bool notice = false;
    // Boxes to click on the options page when the proposals are kept.
    std::initializer_list<int> optionClicks = {};
    // The user's name, and the install folder to type over the proposal's (none: keep it).
    std::string user = "Ada Quill";
    std::string folder;
};

bool WalkToFinish(Robot& robot, const Walk& walk) {
    if (!robot.AtPage(kLicencePage, "licence"))
        return false;
    robot.Press(PSBTN_NEXT);
    if (walk.notice) {
        if (!robot.AtPage(kNoticePage, "notice"))
            return false;
        robot.NoteFields({500});
        robot.Press(PSBTN_NEXT);
    }
    if (!robot.AtPage(kModulePage, "modules"))
        return false;
    bool news = true;
    for (int module : walk.uncheck) {
        robot.Click(kFirstModuleBox + module);
        news = news && module != kNewsModule;
    }
    robot.Press(PSBTN_NEXT);

    if (!robot.AtPage(kUserDetailsPage, "user-details"))
        return false;
    if (walk.answer) {
        robot.Type(601, walk.user.c_str());
        robot.Type(602, "Quill & Co");
        robot.Type(603, "ada@example.com");
        robot.Type(604, "Ireland");
    } else {
        robot.NoteFields({601, 602, 603, 604});
    }
    robot.Press(PSBTN_NEXT);

    if (!robot.AtPage(kOptionsPage, "options"))
        return false;
    robot.NoteFields({700, 701, 702});
    if (walk.answer)
        robot.Click(700);
    if (!walk.folder.empty())
        robot.Type(702, walk.folder.c_str());
    for (int box : walk.optionClicks)
        robot.Click(box);
    robot.Press(PSBTN_NEXT);

    if (news) {
        if (!robot.AtPage(kNewsServerPage, "news-server"))
            return false;
        if (walk.answer) {
            robot.Type(820, "news.example.net");
            robot.Type(821, "1119");
            robot.Click(822);
            robot.Type(823, "ada");
            robot.Type(824, "quill");
        }
        robot.NoteFields({820, 821, 822, 823, 824});
        robot.Press(PSBTN_NEXT);
    }

    if (!robot.AtPage(kProxyPage, "proxy"))
        return false;
    if (walk.answer) {
        robot.Click(800);
        robot.Type(801, "proxy.example.net");
        robot.Type(802, "8080");
    }
    robot.NoteFields({800, 801, 802, 830, 831, 832, 840, 841, 842});
    robot.Press(PSBTN_FINISH);
    return !robot.Stopped();
}

bool Install(Robot& robot, const Walk& walk) {
    return robot.Start() && WalkToFinish(robot, walk) && robot.AwaitEnd();
}

bool CancelOnFirstPage(Robot& robot) {
    if (!robot.Start() || !robot.AtPage(kLicencePage, "licence"))
        return false;
    robot.Press(PSBTN_CANCEL);
    return robot.AnswerMessageBox("cancel-question", IDYES) && robot.AwaitEnd();
}

// The robot keeps a module's file open, sharing nothing, as a help viewer or an editor would:
// the Web module's program file, made for a first install, or a file of an earlier install.
// `file` is below the suite's folder in the program-files folder that setup sees.
class HeldFile {
  public:
    HeldFile(const char* file, bool make) : path_(InstallRoot(g_setupView) + "\\" + file), make_(make) {}
    ~HeldFile() {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
    }
    void Hold(Robot& robot) {
        if (make_) {
            for (size_t at = path_.find('\\', 3); at != std::string::npos;
                 at = path_.find('\\', at + 1))
                CreateDirectoryA(path_.substr(0, at).c_str(), nullptr);
        }
        handle_ = CreateFileA(path_.c_str(), GENERIC_READ | (make_ ? GENERIC_WRITE : 0), 0, nullptr,
                              make_ ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
        robot.Note("  holding " + path_ + (handle_ == INVALID_HANDLE_VALUE ? " failed" : " open"));
    }
    void Release(Robot& robot) {
        if (handle_ != INVALID_HANDLE_VALUE)
            CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        robot.Note("  let go of " + path_);
    }

  private:
    std::string path_;
    bool make_;
    HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// The wizard to Finish with `held` taken before setup starts (a folder that appears after the
// options page looked would be refused); setup asks about it before writing anything, asks
// again on Retry while it is held, and installs on Retry once it is let go.
bool InstallPastHeldFile(Robot& robot, const Walk& walk, HeldFile& held) {
    held.Hold(robot);
    return robot.Start() && WalkToFinish(robot, walk) &&
           robot.AnswerFilesInUse("files-in-use", IDRETRY) &&
           robot.AnswerFilesInUse("files-in-use-again", IDRETRY,
                                  [&] { held.Release(robot); }) &&
           robot.AwaitEnd();
}

// Setup's log as it stands, with Unix line ends; read while setup still writes it.
std::string LogText(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return "";
    char text[8192];
    DWORD read = 0;
    ReadFile(file, text, sizeof text, &read, nullptr);
    CloseHandle(file);
    std::string log(text, read);
    for (size_t at = 0; (at = log.find('\r', at)) != std::string::npos;)
        log.erase(at, 1);
    return log;
}

// Setup's log, for the transcript: "log:" and its lines, the last line's end left off. The
// file is deleted.
std::string TakeLog(const char* path) {
    if (GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return "no log";
    std::string log = LogText(path);
    DeleteFileA(path);
    if (!log.empty() && log.back() == '\n')
        log.pop_back();
    return "log:\n" + log;
}

// The keys and files an install leaves, every file with its contents.
std::string MachineNow(MachineView view) {
    SetupContext catalogue(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    return ExportTouchedRegistry(catalogue, view) + ListTouchedFiles(catalogue, view, true);
}

// Notes whether the machine is `expected` again, and where it is not.
void CompareMachine(Robot& robot, const std::string& expected, const char* what,
                    MachineView view) {
    const std::string now = MachineNow(view);
    if (now == expected) {
        robot.Note(std::string("the machine is as ") + what);
        return;
    }
    robot.Note(std::string("the machine differs from ") + what + ":");
    auto lines = [](const std::string& text) {
        std::vector<std::string> all;
        for (size_t at = 0, end; at < text.size(); at = end + 1) {
            end = text.find('\n', at);
            if (end == std::string::npos)
                end = text.size();
            all.push_back(text.substr(at, end - at));
        }
        std::sort(all.begin(), all.end());
        return all;
    };
    const std::vector<std::string> before = lines(expected), after = lines(now);
    std::vector<std::string> gone, added;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(),
                        std::back_inserter(gone));
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(),
                        std::back_inserter(added));
    for (const std::string& line : gone)
        robot.Note("  - " + line);
    for (const std::string& line : added)
        robot.Note("  + " + line);
}

// Over a first install of all six, with PhoneQuillo's help file held: a silent run without
// /CLOSEAPPLICATIONS answers 7 and writes nothing; the wizard asks before writing, asks again
// on Retry, and once the file is let go installs the first install's answers again, leaving
// the same machine.
std::string ReinstallOverHeldFile(const std::string& setupPath, const std::string& pictureFolder) {
    CoInitialize(nullptr); // for the links' targets
    Robot first(setupPath, "");
    first.Note("first install");
    Install(first, Walk{});
    const MachineView view = g_setupView;
    const std::string installed = MachineNow(view);
    HeldFile held("PhoneQuillo\\PhoneQuillo.hlp", false);
    Robot silent(setupPath, "");
    silent.Note("silent install, the file held");
    held.Hold(silent);
    const char kLog[] = "C:\\held install.log";
    if (silent.Start(std::string("/S /LOG=\"") + kLog + "\""))
        silent.AwaitEnd();
    silent.Note(TakeLog(kLog));
    held.Release(silent);
    CompareMachine(silent, installed, "after the first install", view);
    // The pages propose the first install's answers, but the mailing list unchecked.
    Robot second(setupPath, pictureFolder);
    second.Note("second install");
    InstallPastHeldFile(second, Walk{{}, false, false, {700}}, held);
    CompareMachine(second, installed, "after the first install", view);
    CoUninitialize();
    return first.Transcript() + silent.Transcript() + second.Transcript();
}

// A wizard waits at its first page; meanwhile a silent install answers 3 without even its log,
// and a second wizard says that another setup is running; neither writes anything. Then the
// first is cancelled.
std::string OneAtATime(const std::string& setupPath, const std::string& pictureFolder) {
    Robot first(setupPath, "");
    first.Note("a wizard at its first page");
    const bool waiting = first.Start() && first.AtPage(kLicencePage, "licence");
    const std::string before = MachineNow(g_setupView);
    std::string transcript = first.Transcript();
    Robot silent(setupPath, "");
    silent.Note("meanwhile a silent install");
    const char kLog[] = "C:\\second setup.log";
    if (silent.Start(std::string("/S /LOG=\"") + kLog + "\""))
        silent.AwaitEnd();
    silent.Note(TakeLog(kLog));
    Robot second(setupPath, pictureFolder);
    second.Note("meanwhile a second wizard");
    if (second.Start() && second.AnswerMessageBox("another-setup", IDOK))
        second.AwaitEnd();
    CompareMachine(second, before, "before", g_setupView);
    transcript += silent.Transcript() + second.Transcript();
    const size_t cancelFrom = first.Transcript().size();
    if (waiting) {
        first.Press(PSBTN_CANCEL);
        if (first.AnswerMessageBox("cancel-question", IDYES))
            first.AwaitEnd();
    }
    return transcript + first.Transcript().substr(cancelFrom);
}

// Another distributor's mark on the Web module, which a second install must leave alone.
void MarkDistributor(Robot& robot) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\QuilloSoft\\NetQuillo\\CurrentVersion\\Web", 0,
                      KEY_SET_VALUE, &key) != ERROR_SUCCESS) {
        robot.Note("no Web module key to mark");
        return;
    }
    const char value[] = "Another Reseller";
    RegSetValueExA(key, "Distributor", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                   sizeof value);
    RegCloseKey(key);
    robot.Note(std::string("set Web \"Distributor\" to \"") + value + "\"");
}

// A key of the suite's earlier version under its former maker's name, with a subkey.
void LeaveEarlierVersion(Robot& robot) {
    HKEY key;
    const bool made =
        RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Delvane\\NetQuillo\\CurrentVersion\\Web", 0,
                        nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS;
    if (made)
        RegCloseKey(key);
    robot.Note(made ? "made an earlier version's key" : "could not make an earlier version's key");
}

// The command line of module `module`'s uninstall entry, as the list of installed programs
// would run it (or, with "QuietUninstallString", a package manager); "" when there is none.
std::string UninstallCommand(DWORD module, const char* value = "UninstallString") {
    const std::string key =
        std::string(kUninstallKey) + "\\" + kProductCatalogue[module].productName;
    for (DWORD view : {DWORD(0), DWORD(RRF_SUBKEY_WOW6432KEY)}) {
        char command[1024] = "";
        DWORD size = sizeof command - 1;
        if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), value, RRF_RT_REG_SZ | view,
                         nullptr, command, &size) == ERROR_SUCCESS)
            return command;
    }
    return "";
}

// A message the uninstaller shows: the picture's name and the button that answers it.
struct Answer {
    const char* picture;
    int button;
};

// Runs `command` as an uninstall entry would and answers its messages in turn.
std::string RunUninstaller(const std::string& command, std::initializer_list<Answer> answers,
                           const std::string& pictureFolder) {
    Robot robot(command, pictureFolder);
    if (robot.StartCommand(command)) {
        for (const Answer& answer : answers) {
            if (!robot.AnswerMessageBox(answer.picture, answer.button))
                break;
        }
        robot.AwaitEnd();
    }
    return robot.Transcript();
}

// The default install, then each module's uninstaller from its entry: first with a folder that
// is not the module's (refused), then as the entry says, in catalogue order; then Web's again.
std::string InstallAndUninstall(const std::string& setupPath, const std::string& pictureFolder) {
    Robot installer(setupPath, "");
    installer.Note("install");
    Install(installer, Walk{});
    std::string transcript = installer.Transcript();
    const std::string web = UninstallCommand(0);
    const std::string webProgram = web.substr(0, web.find(' '));
    transcript +=
        RunUninstaller(webProgram + " C:\\windows", {{"uninstall-refused", IDOK}}, pictureFolder);
    for (DWORD i = 0; i < kCatalogueRowCount; ++i) {
        const std::string command = UninstallCommand(i);
        if (command.empty()) {
            transcript +=
                std::string("no uninstall entry for ") + kProductCatalogue[i].productName + "\n";
            continue;
        }
        transcript +=
            RunUninstaller(command, {{"uninstall-question", IDYES}, {"uninstall-removed", IDOK}},
                           i == 0 ? pictureFolder : "");
    }
    transcript += RunUninstaller(web, {{"uninstall-not-installed", IDOK}}, pictureFolder);
    return transcript;
}

// Every module's "QuietUninstallString" as the entry holds it. With `installFolder`, notes after
// each whether the module's folder below it and its entry are gone.
std::string RunQuietUninstallers(const std::string& installFolder = "") {
    std::string transcript;
    for (DWORD i = 0; i < kCatalogueRowCount; ++i) {
        const char* module = kProductCatalogue[i].productName;
        const std::string command = UninstallCommand(i, "QuietUninstallString");
        if (command.empty()) {
            transcript += std::string("no quiet uninstall entry for ") + module + "\n";
            continue;
        }
        transcript += RunUninstaller(command, {}, "");
        if (installFolder.empty())
            continue;
        const std::string folder = installFolder + "\\" + module;
        const bool folderGone = GetFileAttributesA(folder.c_str()) == INVALID_FILE_ATTRIBUTES;
        const bool entryGone = UninstallCommand(i).empty();
        transcript += std::string("  ") + module + (folderGone ? ": folder gone" : ": folder stays") +
                      (entryGone ? ", entry gone\n" : ", entry stays\n");
    }
    return transcript;
}

// Setup with "/S" and a log, as a package manager runs it: no window comes, and the log is
// copied into the transcript. Then every module's "QuietUninstallString" as the entry holds it.
std::string SilentInstallAndUninstall(const std::string& setupPath) {
    const char kLog[] = "C:\\silent install.log";
    Robot installer(setupPath, "");
    if (installer.Start(std::string("/S /LOG=\"") + kLog + "\""))
        installer.AwaitEnd();
    const std::string transcript = installer.Transcript() + TakeLog(kLog) + "\n";
    return transcript + RunQuietUninstallers();
}

// The names of users whose folders and answers the Western code page cannot write.
struct UserName {
    const char* name; // UTF-8
    bool wizard;      // installed through the wizard, pictured; otherwise with "/S"
    bool failedReinstall;
};
const UserName kUserNames[] = {
    {"Michał", false, false}, {"Ελένη", true, false}, {"王芳", false, true}};

void SetUserShellFolder(const wchar_t* key, DWORD type, const std::wstring& folder) {
    const std::wstring path =
        std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\") + key;
    HKEY opened;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &opened, nullptr) != ERROR_SUCCESS)
        return;
    RegSetValueExW(opened, L"Desktop", 0, type, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(opened);
}

// The user's temporary folder (TEMP and TMP of every program the robot starts) and desktop
// ("Desktop" of the user's shell folders, which Windows and Wine read) made below
// C:\users\NAME, with wide calls, whatever code page the robot has.
void MoveUserFolders(Robot& robot, const std::string& name) {
    const std::wstring home = L"C:\\users\\" + Wide(name);
    const std::wstring temp = home + L"\\Temp", desktop = home + L"\\Desktop";
    for (const std::wstring& folder : {home, temp, desktop})
        CreateDirectoryW(folder.c_str(), nullptr);
    SetEnvironmentVariableW(L"TEMP", temp.c_str());
    SetEnvironmentVariableW(L"TMP", temp.c_str());
    SetUserShellFolder(L"User Shell Folders", REG_EXPAND_SZ, desktop);
    SetUserShellFolder(L"Shell Folders", REG_SZ, desktop);
    robot.Note("the temporary folder and the desktop below " + Utf8(home.c_str()));
}

// The lines of the machine's keys and files that hold `name`: the links, document types,
// uninstall entries and settings that name the install folder or the user.
std::string LinesHolding(const std::string& name) {
    const std::string machine = MachineNow(g_setupView);
    std::string lines;
    for (size_t at = 0, end; at < machine.size(); at = end + 1) {
        end = machine.find('\n', at);
        if (end == std::string::npos)
            end = machine.size();
        const std::string line = machine.substr(at, end - at);
        if (line.find(name) != std::string::npos)
            lines += "  " + line + "\n";
    }
    return lines.empty() ? "  nothing holds the name\n" : lines;
}

// A reinstall that fails late: the last module's folder is put aside and a file takes its name,
// so that setup cannot make the folder after writing the others. The rollback must give back
// the earlier install; then the folder is put back.
std::string FailedReinstall(const std::string& setupPath, const std::string& arguments,
                            const std::string& log, const std::string& installFolder) {
    const std::wstring folder =
        Wide(installFolder + "\\" + kProductCatalogue[kCatalogueRowCount - 1].productName);
    const std::wstring aside = folder + L".aside";
    Robot robot(setupPath, "");
    const bool blocked =
        MoveFileW(folder.c_str(), aside.c_str()) &&
        CloseHandle(CreateFileW(folder.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    robot.Note(blocked ? "a file in place of the last module's folder, the folder put aside"
                       : "could not put a file in place of the last module's folder");
    const std::string before = MachineNow(g_setupView);
    if (robot.Start(arguments))
        robot.AwaitEnd();
    robot.Note(TakeLog(log.c_str()));
    CompareMachine(robot, before, "before the reinstall", g_setupView);
    DeleteFileW(folder.c_str());
    MoveFileW(aside.c_str(), folder.c_str());
    return robot.Transcript();
}

// For each name in turn, in one prefix: the temporary folder and the desktop moved below a
// folder of that name, an install into "C:\NAME\QuilloSoft" (the wizard with the name typed as
// the user's and in the install folder, or "/S" with the log in the temporary folder), the keys
// and files that hold the name, and each module's quiet uninstaller; for one name first a
// reinstall that fails and is rolled back, and the earlier install must stand again.
std::string InstallWithNames(const std::string& setupPath, const std::string& pictureFolder) {
    CoInitialize(nullptr); // for the links' targets
    char systemCodePage[8] = "";
    GetLocaleInfoA(LOCALE_SYSTEM_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, systemCodePage,
                   sizeof systemCodePage);
    std::string transcript = std::string("the system's code page ") + systemCodePage +
                             ", the robot's " + std::to_string(GetACP()) + "\n";
    // The uninstallers are 32-bit programs, like the product that carries them: the 64-bit twin
    // installs each name over the one before.
    const bool uninstallers = g_setupView == MachineView::Wow64;
    if (!uninstallers)
        transcript += "no uninstallers: they run with the product\n";
    for (const UserName& user : kUserNames) {
        const std::string name = user.name;
        const std::string folder = "C:\\" + name + "\\QuilloSoft";
        Robot installer(setupPath, user.wizard ? pictureFolder : "");
        installer.Note(name);
        MoveUserFolders(installer, name);
        const std::string log = "C:\\users\\" + name + "\\Temp\\setup.log";
        const std::string silent = "/S /LOG=\"" + log + "\" /D=" + folder;
        if (user.wizard) {
            Walk walk;
            walk.user = name + " Quill";
            walk.folder = folder;
            Install(installer, walk);
        } else if (installer.Start(silent)) {
            installer.AwaitEnd();
            installer.Note(TakeLog(log.c_str()));
        }
        installer.Note("holding the name:");
        transcript += installer.Transcript() + LinesHolding(name);
        if (user.failedReinstall)
            transcript += FailedReinstall(setupPath, silent, log, folder);
        if (uninstallers) {
            transcript += RunQuietUninstallers(folder);
            transcript += "after the uninstallers:\n" + LinesHolding(name);
        }
    }
    CoUninitialize();
    return transcript;
}

// Where a silent run is ended from outside: once its log holds `line`, the first of its kind,
// which setup writes as the step after it begins.
struct CutOffPoint {
    const char* where;
    const char* line;
};

const CutOffPoint kEarlyInTheFiles = {"early in the files, the Find-menu library written",
                                      "Decompressing NetQuillo.dll... done"};
const CutOffPoint kBetweenModules = {"between modules, the first module's files written",
                                     "Decompressing uninstall... done"};
// The document types and the patches come next, then the commit, which the journal shows.
const CutOffPoint kInThePatches = {"in the registry patches' step, the answers written",
                                   "Modifying registry... done"};

// Whether setup's journal is of a run that had reached its commit.
const char* JournalState() {
    char path[MAX_PATH] = "";
    GetWindowsDirectoryA(path, MAX_PATH);
    std::string bytes;
    HANDLE file =
        CreateFileA((std::string(path) + "\\NetQuilloSetup.nqj").c_str(), GENERIC_READ,
                    FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    char chunk[4096];
    DWORD read = 0;
    while (file != INVALID_HANDLE_VALUE && ReadFile(file, chunk, sizeof chunk, &read, nullptr) &&
           read > 0)
        bytes.append(chunk, read);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    JournalContents contents;
    if (ReadJournal(reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()),
                    kCatalogueRowCount, contents) != JournalRead::Whole)
        return "a journal that does not read whole";
    return contents.committed ? "a journal of a whole install"
                              : "a journal of an unfinished install";
}

// What a cut-off run left, or that nothing is left: the journal, and whether kept copies of
// earlier files are beside it.
std::string Leftovers(MachineView view) {
    std::vector<std::string> left = CutOffLeftovers(view);
    if (left.empty())
        return "no journal and no kept copy left";
    std::string note = "no journal";
    if (left.front() == "<Windows>\\NetQuilloSetup.nqj") {
        note = JournalState();
        left.erase(left.begin());
    }
    return "left: " + note + (left.empty() ? ", no kept copy" : ", kept copies of earlier files");
}

// Setup ended from outside in its install phase, as the Task Manager or a power cut ends it,
// and started again silently: first over an empty machine, where a run refused after its
// repair shows the machine empty again and the next one installs; then twice over that install,
// where the run after the cut-off one repairs and installs the same answers again. Each time
// the machine must be the one before the run that was cut off, files with their bytes.
std::string CutOffAndRepair(const std::string& setupPath) {
    CoInitialize(nullptr); // for the links' targets
    const MachineView view = g_setupView;
    const char kLog[] = "C:\\cut-off install.log";
    const std::string silent = std::string("/S /LOG=\"") + kLog + "\"";
    std::string transcript;
    auto cutOff = [&](const char* title, const CutOffPoint& point) {
        Robot robot(setupPath, "");
        robot.Note(title);
        if (robot.Start(silent))
            // The log is opened before anything else the run does.
            robot.CutOffWhen(
                [&] { return GetFileAttributesA(kLog) != INVALID_FILE_ATTRIBUTES; },
                [&] { return LogText(kLog).find(std::string("\n") + point.line + "\n") !=
                             std::string::npos; },
                point.where);
        // How far the log got differs from run to run by a step.
        DeleteFileA(kLog);
        robot.Note(Leftovers(view));
        transcript += robot.Transcript();
    };
    auto runSilently = [&](const char* title, const std::string& arguments,
                           const std::string& before) {
        Robot robot(setupPath, "");
        robot.Note(title);
        if (robot.Start(arguments))
            robot.AwaitEnd();
        robot.Note(TakeLog(kLog));
        if (!before.empty())
            CompareMachine(robot, before, "before the run that was cut off", view);
        transcript += robot.Transcript();
    };
    const std::string empty = MachineNow(view);
    cutOff("first install", kEarlyInTheFiles);
    // A relative folder is refused before anything is written, after the repair.
    runSilently("the next start, refused for its folder", silent + " /D=QuilloSoft", empty);
    runSilently("install", silent, "");
    const std::string installed = MachineNow(view);
    for (const CutOffPoint& point : {kBetweenModules, kInThePatches}) {
        cutOff("second install", point);
        runSilently("the next start", silent, installed);
    }
    CoUninitialize();
    return transcript + Leftovers(view) + "\n";
}

} // namespace

bool PlayScenario(const std::string& name, const std::string& setupPath,
                  const std::string& pictureFolder, std::string& transcript) {
    g_setupView = ImageView(setupPath);
    // "NAME-product" plays NAME against the product, whose machine view the image tells.
    const std::string suffix = "-product";
    if (name.size() > suffix.size() &&
        name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
        return PlayScenario(name.substr(0, name.size() - suffix.size()), setupPath,
                            pictureFolder, transcript);
    bool known = true;
    if (name == "default" || name == "win9x" || name == "product" || name == "intruder" ||
        name == "intruder-native" || name == "planted-native") {
        Robot robot(setupPath, pictureFolder);
        Install(robot, Walk{});
        transcript = robot.Transcript();
    } else if (name == "news-only") {
        Robot robot(setupPath, pictureFolder);
        Install(robot, Walk{{0, 1, 2, 3, 5}});
        transcript = robot.Transcript();
    } else if (name == "earlier-version") {
        Robot robot(setupPath, pictureFolder);
        LeaveEarlierVersion(robot);
        Walk walk;
        walk.notice = true;
        Install(robot, walk);
        transcript = robot.Transcript();
    } else if (name == "cancel") {
        Robot robot(setupPath, pictureFolder);
        CancelOnFirstPage(robot);
        transcript = robot.Transcript();
    } else if (name == "held-file") {
        Robot robot(setupPath, pictureFolder);
        HeldFile held("WebQuillo\\WebQuillo.exe", true);
        InstallPastHeldFile(robot, Walk{}, held);
        transcript = robot.Transcript();
    } else if (name == "held-reinstall") {
        transcript = ReinstallOverHeldFile(setupPath, pictureFolder);
    } else if (name == "one-at-a-time") {
        transcript = OneAtATime(setupPath, pictureFolder);
    } else if (name == "second") {
        // The first install as a user would make it, unpictured; then the second, pictured.
        Robot first(setupPath, "");
        first.Note("first install");
        Install(first, Walk{});
        MarkDistributor(first);
        Robot second(setupPath, pictureFolder);
        second.Note("second install");
        Install(second, Walk{{}, false});
        transcript = first.Transcript() + second.Transcript();
    } else if (name == "planted") {
        // Setup started from a folder that holds libraries named like lz32 and comctl32, and
        // then a copy of an uninstaller from there, which refuses a folder not its module's.
        Robot robot(setupPath, pictureFolder);
        Install(robot, Walk{});
        transcript = robot.Transcript();
        const std::string folder = setupPath.substr(0, setupPath.find_last_of('\\') + 1);
        transcript += RunUninstaller(folder + "WebQuilloUninstall.exe C:\\windows",
                                     {{"uninstall-refused", IDOK}}, "");
    } else if (name == "uninstall") {
        transcript = InstallAndUninstall(setupPath, pictureFolder);
    } else if (name == "names") {
        transcript = InstallWithNames(setupPath, pictureFolder);
    } else if (name == "silent") {
        transcript = SilentInstallAndUninstall(setupPath);
    } else if (name == "cut-off" || name == "cut-off-product") {
        transcript = CutOffAndRepair(setupPath);
    } else if (name != "report") {
        known = false;
    }
    return known;
}
