// The road of one run, from the free-space check to the outcome message. Each phase below is
// one function, called in the order a run takes them; everything they create lives on their
// stack frames and goes in the reverse order.
#include "driver/install_sequence.h"

#include <cstring>
#include <memory>

#include "driver/backdrop_window.h"
#include "driver/bitmap_file.h"
#include "driver/drive_space.h"
#include "driver/files_in_use_dialog.h"
#include "driver/progress_box.h"
#include "driver/setup_context.h"
#include "driver/setup_log.h"
#include "driver/setup_options.h"
#include "driver/shell_helpers.h"
#include "driver/string_helpers.h"
#include "driver/user_folders.h"
#include "install/document_types.h"
#include "install/file_deployment.h"
#include "install/files_in_use.h"
#include "install/find_menu.h"
#include "install/payload_extractor.h"
#include "install/prior_state.h"
#include "install/registry_names.h"
#include "install/restart_deletions.h"
#include "install/rollback.h"
#include "install/run_journal.h"
#include "install/temporary_file.h"
#include "registry/reg_key.h"
#include "registry/reg_patch.h"
#include "wizard/install_path.h"
#include "wizard/licence_page.h"
#include "wizard/module_page.h"
#include "wizard/news_server_page.h"
#include "wizard/options_page.h"
#include "wizard/proxy_page.h"
#include "wizard/user_details_page.h"
#include "wizard/wizard_sheet.h"

namespace {

const char kBackdropClass[] = "QUILLOSETUPWNDCLASS";
const WORD kWizardBitmapPayload = 999;
const WORD kProgramIcon = 101;
// Module i's registry patch is "CUSTOM" resource i * 1000 + 1004; News has none.
const int kPatchResourceBase = 1004;
const int kPatchResourceStride = 1000;

// The picture beside the program, named like it with ".bmp" for ".exe".
HBITMAP LoadBackdropPicture() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length < 5 || length >= sizeof path || !EqualIgnoringCase(path + length - 4, ".exe"))
        return nullptr;
    std::memcpy(path + length - 4, ".bmp", 4);
    return LoadBitmapFile(path);
}

// Why a user's folder stops setup, after the folder's name (UnreachableUserFolder).
const char kUnreachableReason[] =
    "its name holds characters that this system's code page cannot write, and it has no short "
    "name to stand for it";

enum class Preparation { Ready, InsufficientSpace };

// Checks the temporary drive for room for the whole suite and, given somewhere to put it,
// loads the wizard's picture through a temporary file there, which nobody else can open and
// setup never opens again by name. Without such a file neither happens. Too little room is
// said in a message captioned `title`, unless that is null.
Preparation PrepareTemporaryDrive(PayloadExtractor& extractor, const char* title,
                                  HBITMAP* wizardBitmap) {
    TemporaryFile picture;
    if (!picture.Create())
        return Preparation::Ready;
    if (GetDriveFreeSpace(picture.Path()) < GetRequiredSpace(true)) {
        if (title)
            MessageBoxA(nullptr, "Insufficient free drive space to complete installation.", title,
                        MB_OK);
        return Preparation::InsufficientSpace;
    }
    if (wizardBitmap && extractor.ExtractPayload(kWizardBitmapPayload, picture.Handle()))
        *wizardBitmap = LoadBitmapHandle(picture.Handle());
    return Preparation::Ready;
}

HWND CreateBackdrop(const char* title) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = BackdropWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(kProgramIcon));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kBackdropClass;
    // A class left registered by an earlier run in this process serves as well.
    RegisterClassA(&windowClass);
    return CreateWindowExA(0, kBackdropClass, title, WS_POPUPWINDOW, CW_USEDEFAULT, 0,
                           CW_USEDEFAULT, 0, nullptr, nullptr, instance, nullptr);
}

// 1 for each module whose own key exists before this run.
std::unique_ptr<BYTE[]> NoteInstalledModules(const SetupContext& context) {
    std::unique_ptr<BYTE[]> installed(new BYTE[context.moduleCount]());
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        RegKey key(context.modules[i].shortName.get());
        installed[i] = key.Open(Suite, context.modules[i].shortName.get(), true) ? 1 : 0;
        key.Close();
    }
    return installed;
}

bool KeyHasSubkeys(const char* path) {
    RegKey key("");
    bool found = key.Open(CurrentUser, path, true) && key.HasSubkeys();
    key.Close();
    return found;
}

// An earlier version of the suite, under its former maker's name.
bool FindOlderInstall() {
    return KeyHasSubkeys("Software\\Delvane\\NetQuillo\\CurrentVersion") ||
           KeyHasSubkeys("Software\\Delvane\\WebQuillo\\CurrentVersion");
}

// Each selected module's folder below the chosen install folder.
void FormInstallPaths(SetupContext& context, const OptionsPage& options) {
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        if (!context.selected[i])
            continue;
        ModuleRow& row = context.modules[i];
        row.installPath.reset(new char[MAX_PATH]);
        options.GetInstallPath(row.installPath.get(), MAX_PATH);
        // The options page refuses a folder too long for any module's files, so this fits.
        JoinPath(row.installPath.get(), row.productName.get());
        row.presentLength = options.PresentLength();
    }
}

// Document types, and "Distributor" for the modules new to this machine. Nothing here can
// fail the install.
void RegisterModules(SetupContext& context, const BYTE* installed) {
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        if (!context.selected[i])
            continue;
        const ModuleRow& row = context.modules[i];
        char typeName[MAX_PATH];
        char description[MAX_PATH];
        char iconSource[MAX_PATH + 16];
        char openCommand[MAX_PATH + 16];
        const char* program = ModuleFilePath(i, row.programFile.get());
        // The program path is quoted: unquoted, a folder such as "C:\Program Files" would
        // let the shell start "C:\Program" with the rest as its arguments.
        bool fits =
            ConcatStrings(typeName, sizeof typeName, row.productName.get(), "Search") &&
            ConcatStrings(description, sizeof description, row.productName.get(), " Search") &&
            program[0] && ConcatStrings(iconSource, sizeof iconSource, program, ",-10000") &&
            ConcatStrings(openCommand, sizeof openCommand, "\"", program) &&
            AppendString(openCommand, sizeof openCommand, "\" /load:%1");
        if (fits)
            RegisterDocumentType(typeName, description, iconSource, openCommand);
        if (!installed[i]) {
            RegKey key(row.shortName.get());
            if (key.Open(Module, nullptr, false))
                key.WriteString("Distributor", "QuilloSoft");
            key.Close();
        }
    }
}

// True when the patch of every selected module that has one was applied whole.
bool ApplyRegistryPatches(const SetupContext& context) {
    HMODULE image = GetModuleHandleA(nullptr);
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        if (!context.selected[i])
            continue;
        const int id = static_cast<int>(i) * kPatchResourceStride + kPatchResourceBase;
        HRSRC resource = FindResourceA(image, MAKEINTRESOURCEA(id), "CUSTOM");
        if (!resource)
            continue;
        HGLOBAL loaded = LoadResource(image, resource);
        const void* bytes = loaded ? LockResource(loaded) : nullptr;
        if (!bytes)
            return false;
        const DWORD size = SizeofResource(image, resource);
        std::unique_ptr<char[]> text(new char[size + 1]);
        std::memcpy(text.get(), bytes, size);
        text[size] = '\0';
        RegPatch patch;
        if (!patch.Apply(context.modules[i].shortName.get(), text.get()))
            return false;
    }
    return true;
}

// Shell and system registrations, which never fail the install.
void RegisterWithShell(SetupContext& context, const OptionsPage& options) {
    if (options.WantsDesktopShortcuts())
        CreateDesktopShortcuts(context);
    RegisterFindMenu(context);
    NotifyTaskbar();
    RegisterUninstallEntries(context);
    CancelPendingDeletes(context);
}

// After asking the programs that hold files to close: at most 20 looks half a second apart,
// ten seconds in all, for their handles to go. A program that asks its user to save first
// keeps it longer; the wizard then asks again, a silent run ends.
const DWORD kFreedChecks = 20;
const DWORD kFreedWait = 500;

// Until no file to be replaced is held: the user retries, has the programs closed, or cancels
// (false). Nothing has been written yet.
bool WaitForHeldFiles(SetupContext& context) {
    FilesInUse held;
    bool free = held.Check(context);
    while (!free) {
        switch (AskAboutFilesInUse(context.backdropWindow, held)) {
        case IDRETRY:
            free = held.Check(context);
            break;
        case kClosePrograms:
            free = held.CloseHoldersAndWait(context, kFreedChecks, kFreedWait);
            break;
        default:
            return false;
        }
    }
    return true;
}

enum class InstallOutcome {
    Installed,
    RolledBack, // a step failed and what it changed was undone
    NotBegun,   // refused before the first change
};

// The install phase: files, the wizard's answers, document types, patches and the shell, under
// the progress box, or logged alone when silent; a failure in the first three kinds rolls
// back, and what was there before comes back.
InstallOutcome Install(SetupContext& context, WizardSheet& sheet, const OptionsPage& options,
                       const BYTE* installed, bool silent, SetupLog& log) {
    // Before anything is changed: what a rollback would need to put back. A registry that
    // cannot be read whole ends the install here, with nothing to undo.
    PriorState prior;
    if (!prior.KeepRegistry(context)) {
        log.Line({"The suite's registry keys: cannot be read whole"});
        return InstallOutcome::NotBegun;
    }
    // And on disk before the first change, so that a run cut off anywhere is undone by the next
    // start; a journal that cannot be written ends the install here too.
    RunJournal journal;
    if (!journal.Begin(context, prior)) {
        log.Line({"The install's journal: cannot be written"});
        return InstallOutcome::NotBegun;
    }
    prior.SetJournal(&journal);
    context.prior = &prior;
    ProgressBox progress;
    progress.SetLog(&log);
    if (!silent)
        progress.Open(context.backdropWindow);
    progress.SetRange(static_cast<int>(5 * CountSelectedModules() + 4));

    bool failed = !DeployFiles(context, progress);
    if (failed)
        RollBack(context);
    if (!failed) {
        progress.Step();
        progress.SetStatus("Modifying registry...");
        failed = !sheet.CommitPages();
        if (failed)
            RollBack(context);
    }
    if (!failed) {
        RegisterModules(context, installed);
        progress.Step();
        progress.SetStatus("Modifying registry...");
        // Whole from here on: a run cut off later is finished by the next start, not undone.
        failed = !ApplyRegistryPatches(context) || !journal.Commit();
        if (failed)
            RollBack(context);
    }
    if (!failed) {
        progress.Step();
        progress.SetStatus("Adding to find menu...");
        RegisterWithShell(context, options);
        prior.Drop();
        progress.Step();
        progress.SetStatus("Setup complete...");
    }
    context.prior = nullptr;
    journal.Remove();
    log.EndStep(failed ? "failed, rolled back" : "done");
    progress.Close();
    return failed ? InstallOutcome::RolledBack : InstallOutcome::Installed;
}

// The seven pages in the sheet's order, which their destruction reverses. Their constructors
// read what each proposes: the wizard shows it, a silent install takes it as it stands.
struct WizardPages {
    WizardPages(SetupContext& context, HBITMAP wizardBitmap)
        : licence(wizardBitmap), notice(wizardBitmap),
          modules(wizardBitmap, context.moduleCount, context.selected.get()),
          userDetails(wizardBitmap), options(wizardBitmap), newsServer(wizardBitmap),
          proxy(wizardBitmap) {}

    // True when the notice of an earlier version is among them.
    bool AddTo(WizardSheet& sheet) {
        sheet.AddPage(&licence);
        const bool older = FindOlderInstall();
        if (older)
            sheet.AddPage(&notice);
        sheet.AddPage(&modules);
        sheet.AddPage(&userDetails);
        sheet.AddPage(&options);
        sheet.AddPage(&newsServer);
        sheet.AddPage(&proxy);
        return older;
    }

    LicencePage licence;
    NoticePage notice;
    ModulePage modules;
    UserDetailsPage userDetails;
    OptionsPage options;
    NewsServerPage newsServer;
    ProxyPage proxy;
};

// The wizard and, when the user finishes it, the install with its outcome. The backdrop goes
// before the pages and the sheet, as windows before the objects behind them.
// Answers kExitCancelled when the wizard was cancelled, else the install's code.
int RunWizardAndInstall(SetupContext& context, const char* title, HBITMAP wizardBitmap) {
    std::unique_ptr<BYTE[]> installed = NoteInstalledModules(context);
    ShowWindow(context.backdropWindow, SW_SHOWMAXIMIZED);
    UpdateWindow(context.backdropWindow);

    WizardSheet sheet(context.backdropWindow, title);
    WizardPages pages(context, wizardBitmap);
    pages.AddTo(sheet);

    // Only a finished wizard installs: a sheet that could not be created at all (-1) ends
    // setup as a cancel does, since nobody gave any answers.
    int code = kExitCancelled;
    const bool finished = sheet.Run() > 0;
    if (finished)
        FormInstallPaths(context, pages.options);
    // Cancelled over files in use, the run ends as a cancelled wizard does: nothing written.
    if (finished && WaitForHeldFiles(context)) {
        SetupLog noLog;
        const bool installedWhole = Install(context, sheet, pages.options, installed.get(), false,
                                            noLog) == InstallOutcome::Installed;
        MessageBoxA(context.backdropWindow,
                    installedWhole ? "Installation complete." : "Installation failed.", title,
                    MB_OK | (installedWhole ? MB_ICONINFORMATION : MB_ICONERROR));
        code = installedWhole ? kExitInstalled : kExitFailed;
    }
    DestroyWindow(context.backdropWindow);
    context.backdropWindow = nullptr;
    installed.reset();
    return code;
}

} // namespace

int RunInstallSequence(SetupContext& context) {
    char title[MAX_PATH];
    if (!ConcatStrings(title, sizeof title, context.suiteName.get(), " Installation"))
        return 0;
    if (const char* folder = UnreachableUserFolder()) {
        char text[512];
        if (ConcatStrings(text, sizeof text, folder, ": ") &&
            AppendString(text, sizeof text, kUnreachableReason) &&
            AppendString(text, sizeof text,
                         ". Nothing was installed.\n\nChoose a folder whose name uses only the "
                         "letters of the system's language (the TEMP setting, or the "
                         "desktop's location), then start setup again."))
            MessageBoxA(nullptr, text, title, MB_OK | MB_ICONERROR);
        return kExitRefused;
    }
    context.backdropBitmap = LoadBackdropPicture();
    PayloadExtractor extractor;
    HBITMAP wizardBitmap = nullptr;
    int code = kExitDiskSpace;
    if (PrepareTemporaryDrive(extractor, title, &wizardBitmap) == Preparation::Ready) {
        context.backdropWindow = CreateBackdrop(title);
        code = context.backdropWindow ? RunWizardAndInstall(context, title, wizardBitmap)
                                      : kExitCancelled;
    }
    if (wizardBitmap)
        DeleteObject(wizardBitmap);
    if (context.backdropBitmap)
        DeleteObject(context.backdropBitmap);
    context.backdropBitmap = nullptr;
    return code;
}

namespace {

// Refusals come before anything is written, each with its reason in the log and its code.
int Refuse(SetupLog& log, const char* what, const char* detail, const char* reason,
           int code = kExitRefused) {
    log.Line({what, detail, ": ", reason});
    const char codeText[] = {static_cast<char>('0' + code), '.', '\0'};
    log.Line({"Nothing was installed. Exit code ", codeText});
    return code;
}

} // namespace

int RunSilentInstall(SetupContext& context, const char* arguments, const SetupOptions& options,
                     bool sound) {
    // Arguments not understood may name the log wrongly too: nothing is opened for them.
    if (!sound)
        return kExitRefused;
    SetupLog log;
    if (options.logPath[0] != '\0' && !log.Open(options.logPath))
        return kExitRefused;
    log.Line({"NetQuillo silent install, arguments: ", arguments});
    if (context.repairNote)
        log.Line({context.repairNote});
    char title[MAX_PATH];
    if (!ConcatStrings(title, sizeof title, context.suiteName.get(), " Installation"))
        return Refuse(log, "Title", nullptr, "too long");

    if (options.modules != 0) {
        for (DWORD i = 0; i < context.moduleCount; ++i)
            context.selected[i] = (options.modules >> i) & 1;
    }
    char modules[MAX_PATH] = "";
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        if (context.selected[i] &&
            (modules[0] == '\0' || AppendString(modules, sizeof modules, ",")))
            AppendString(modules, sizeof modules, context.modules[i].shortName.get());
    }
    log.Line({"Modules: ", modules});

    if (const char* folder = UnreachableUserFolder())
        return Refuse(log, folder, nullptr, kUnreachableReason);
    PayloadExtractor extractor;
    if (PrepareTemporaryDrive(extractor, nullptr, nullptr) != Preparation::Ready)
        return Refuse(log, "Free space on the temporary drive", nullptr, "too little",
                      kExitDiskSpace);
    std::unique_ptr<BYTE[]> installed = NoteInstalledModules(context);

    WizardSheet sheet(nullptr, title);
    WizardPages pages(context, nullptr);
    // The wizard's notice tells a user to remove an earlier version first; a run without anybody
    // to read it goes over one only when told to.
    if (pages.AddTo(sheet)) {
        if (!options.force)
            return Refuse(log, "An earlier version of the suite", nullptr,
                          "installed; remove it first, or add /FORCE to install over it");
        log.Line({"An earlier version of the suite: installed; installing over it (/FORCE)"});
    }
    if (options.folder[0] != '\0' && !pages.options.SetInstallPath(options.folder))
        return Refuse(log, "Install folder ", options.folder, "too long");
    char folder[MAX_PATH];
    pages.options.GetInstallPath(folder, sizeof folder);
    switch (pages.options.CheckFolder(true)) {
    case FolderCheck::Refused:
        return Refuse(log, "Install folder ", folder, "cannot be created or written");
    case FolderCheck::TooLittleSpace:
        return Refuse(log, "Free space on the drive of ", folder, "too little", kExitDiskSpace);
    case FolderCheck::Accepted:
        break;
    }
    log.Line({"Install folder ", folder, ": accepted"});

    FormInstallPaths(context, pages.options);
    FilesInUse held;
    if (!held.Check(context)) {
        char names[FilesInUse::kMaxFiles * MAX_PATH + 64];
        held.Names(names, sizeof names, "; ");
        log.Line({held.NamesPrograms() ? "Programs using files to replace: "
                                       : "Files in use by other programs: ",
                  names});
        if (!options.closeApplications)
            return Refuse(log, "Files in use", nullptr,
                          "close the programs using them, or add /CLOSEAPPLICATIONS",
                          kExitFilesInUse);
        if (!held.CloseHoldersAndWait(context, kFreedChecks, kFreedWait))
            return Refuse(log, "Files in use", nullptr,
                          held.CanClose() ? "still held after asking the programs to close"
                                          : "the programs cannot be asked to close",
                          kExitFilesInUse);
        log.Line({"Files in use: freed (/CLOSEAPPLICATIONS)"});
    }
    switch (Install(context, sheet, pages.options, installed.get(), true, log)) {
    case InstallOutcome::Installed:
        log.Line({"Installation complete. Exit code 0."});
        return kExitInstalled;
    case InstallOutcome::NotBegun:
        log.Line({"Nothing was installed. Exit code 2."});
        return kExitRefused;
    case InstallOutcome::RolledBack:
        break;
    }
    log.Line({"Installation failed; everything was rolled back. Exit code 1."});
    return kExitFailed;
}
