// The uninstaller removes one module with the very code that undoes a failed install; what it
// adds is where the module and its folder come from (its own build and its command line,
// checked against the uninstall entry that started it) and the keys with subkeys, which the
// single-key deletions of that code leave on the NT family.
#include "uninstall/uninstall.h"

#include <cstring>
#include <initializer_list>

#include "driver/catalogue.h"
#include "driver/instance_lock.h"
#include "driver/setup_options.h"
#include "driver/setup_context.h"
#include "driver/shell_helpers.h"
#include "driver/string_helpers.h"
#include "driver/system_libraries.h"
#include "install/registry_names.h"
#include "install/rollback.h"
#include "install/run_journal.h"
#include "install/uninstall_entry.h"
#include "platform/ascii_case.h"
#include "registry/reg_key.h"

namespace {

// Two paths name the same file or folder: letter case and one trailing backslash aside.
bool SamePath(const char* a, const char* b) {
    size_t lengthA = std::strlen(a);
    size_t lengthB = std::strlen(b);
    if (lengthA > 0 && IsPathSeparator(a[lengthA - 1]))
        --lengthA;
    if (lengthB > 0 && IsPathSeparator(b[lengthB - 1]))
        --lengthB;
    if (lengthA != lengthB)
        return false;
    for (size_t i = 0; i < lengthA; ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    }
    return true;
}

bool OpenUninstallEntry(RegKey& key, DWORD module) {
    char keyPath[MAX_PATH];
    return ConcatStrings(keyPath, sizeof keyPath, kUninstallKey, "\\") &&
           AppendString(keyPath, sizeof keyPath, kProductCatalogue[module].productName) &&
           key.Open(LocalMachine, keyPath, true);
}

// The install folder that the module's uninstall entry names: its "UninstallString" is the
// uninstaller's path, one blank and the folder. False when the module has no entry.
bool ReadRegisteredFolder(DWORD module, char (&folder)[MAX_PATH]) {
    const CatalogueRow& row = kProductCatalogue[module];
    char command[2 * MAX_PATH];
    RegKey key(row.shortName);
    if (!OpenUninstallEntry(key, module) ||
        !key.ReadString("UninstallString", command, sizeof command))
        return false;
    return ReadUninstallFolder(command, row.uninstallerFile, folder);
}

// The target of the shell link `linkPath`; false when it cannot be read.
bool ReadLinkTarget(const char* linkPath, char (&target)[MAX_PATH]) {
    bool initialised = SUCCEEDED(CoInitialize(nullptr));
    bool read = false;
    IShellLinkA* link = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)))) {
        IPersistFile* file = nullptr;
        WCHAR widePath[MAX_PATH];
        if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
            read = MultiByteToWideChar(CP_ACP, 0, linkPath, -1, widePath, MAX_PATH) != 0 &&
                   SUCCEEDED(file->Load(widePath, STGM_READ)) &&
                   link->GetPath(target, MAX_PATH, nullptr, 0) == S_OK;
            file->Release();
        }
        link->Release();
    }
    if (initialised)
        CoUninitialize();
    return read;
}

// The module's desktop link, if setup made one: a link of that name that leads elsewhere is
// the user's own and stays.
void DeleteDesktopLink(DWORD module, const ModuleRow& row) {
    char link[MAX_PATH];
    char target[MAX_PATH];
    char program[MAX_PATH];
    if (DesktopLinkPath(nullptr, row.productName.get(), link) &&
        CopyString(program, ModuleFilePath(module, row.programFile.get()), sizeof program) &&
        program[0] != '\0' && ReadLinkTarget(link, target) && SamePath(target, program))
        DeleteFileA(link);
}

// How many levels of the install folder setup made, as its entry records them.
DWORD ReadEntryFolderLevels(DWORD module) {
    RegKey key("");
    OpenUninstallEntry(key, module);
    return ReadMadeFolderLevels(key);
}

bool FileExists(const char* path) {
    return path != nullptr && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

// Builds `text` from the pieces in order; a piece that does not fit is left out, so the
// message is cut short rather than overrun.
void Compose(char (&text)[1024], std::initializer_list<const char*> pieces) {
    text[0] = '\0';
    for (const char* piece : pieces)
        AppendString(text, sizeof text, piece);
}

const char kNothingChanged[] = " Nothing has been changed.";

} // namespace

const char* TakeSilentSwitch(const char* commandLine, bool& silent) {
    silent = false;
    if (commandLine == nullptr)
        return commandLine;
    const char* at = commandLine;
    while (IsBlank(*at))
        ++at;
    if (at[0] != '/' || AsciiUpper(at[1]) != 'S' || (at[2] != '\0' && !IsBlank(at[2])))
        return commandLine;
    silent = true;
    return at + 2;
}

bool TakeInstallPath(const char* commandLine, char (&path)[MAX_PATH]) {
    path[0] = '\0';
    if (commandLine == nullptr)
        return false;
    while (IsBlank(*commandLine))
        ++commandLine;
    size_t length = std::strlen(commandLine);
    while (length > 0 && IsBlank(commandLine[length - 1]))
        --length;
    if (length >= 2 && commandLine[0] == '"' && commandLine[length - 1] == '"') {
        ++commandLine;
        length -= 2;
    }
    if (length == 0 || length >= MAX_PATH)
        return false;
    std::memcpy(path, commandLine, length);
    path[length] = '\0';
    return true;
}

UninstallOutcome CheckUninstall(DWORD module, const char* commandLine,
                                char (&installPath)[MAX_PATH]) {
    installPath[0] = '\0';
    char given[MAX_PATH];
    if (!TakeInstallPath(commandLine, given)) {
        // A path too long for any install folder is still a path: it names no install folder.
        bool blank = true;
        for (const char* at = commandLine ? commandLine : ""; *at != '\0'; ++at)
            blank = blank && (IsBlank(*at) || *at == '"');
        if (blank)
            return UninstallOutcome::MissingPath;
        return ReadRegisteredFolder(module, installPath) ? UninstallOutcome::NotInstallFolder
                                                         : UninstallOutcome::NotInstalled;
    }
    if (PathRootLength(given) == 0)
        return UninstallOutcome::RelativePath;
    if (!ReadRegisteredFolder(module, installPath))
        return UninstallOutcome::NotInstalled;
    return SamePath(given, installPath) ? UninstallOutcome::Removed
                                        : UninstallOutcome::NotInstallFolder;
}

void RemoveModule(SetupContext& context, DWORD module, const char* installPath) {
    for (DWORD i = 0; i < context.moduleCount; ++i)
        context.selected[i] = i == module;
    ModuleRow& row = context.modules[module];
    row.installPath = DuplicateString(installPath);
    row.madeFolderLevels = ReadEntryFolderLevels(module);
    DeleteDesktopLink(module, row);
    RollBack(context);
}

UninstallOutcome RunUninstall(DWORD module, const char* commandLine) {
    SetErrorMode(SEM_FAILCRITICALERRORS);
    LimitLibrarySearch();
    if (module >= kCatalogueRowCount)
        return UninstallOutcome::NotInstalled;
    bool silent = false;
    commandLine = TakeSilentSwitch(commandLine, silent);
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    const char* product = kProductCatalogue[module].productName;
    char caption[64];
    ConcatStrings(caption, sizeof caption, product, " Uninstall");
    // A setup cut off before it ended is undone before anything is removed, so that what the
    // uninstaller finds is an install as it was.
    if (const char* repaired = RepairMessage(RepairCutOffRun(context))) {
        if (!silent)
            MessageBoxA(nullptr, repaired, caption, MB_OK | MB_ICONINFORMATION);
    }
    char installPath[MAX_PATH];
    char text[1024];
    UninstallOutcome outcome = CheckUninstall(module, commandLine, installPath);
    switch (outcome) {
    case UninstallOutcome::MissingPath:
        Compose(text, {caption, " was started without the folder that ", product,
                       " is installed in. Start it from the list of installed programs.",
                       kNothingChanged});
        break;
    case UninstallOutcome::RelativePath:
        Compose(text, {"The folder given to ", caption,
                       " is not a full path (such as C:\\Program Files\\QuilloSoft\\", product,
                       ").", kNothingChanged});
        break;
    case UninstallOutcome::NotInstallFolder:
        Compose(text, {product, " is installed in ", installPath,
                       ", not in the folder given to its uninstaller.", kNothingChanged});
        break;
    case UninstallOutcome::NotInstalled:
        Compose(text, {product, " is not installed on this computer.", kNothingChanged});
        break;
    case UninstallOutcome::Removed:
    case UninstallOutcome::Declined:
        break;
    }
    if (outcome != UninstallOutcome::Removed) {
        if (!silent)
            MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONEXCLAMATION);
        return outcome;
    }

    Compose(text, {"Remove ", product, " from this computer?"});
    if (!silent && MessageBoxA(nullptr, text, caption, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return UninstallOutcome::Declined;

    RemoveModule(context, module, installPath);
    if (silent)
        return UninstallOutcome::Removed;
    bool lastModule = IsFindGroupEmpty();
    bool libraryLeft = lastModule && FileExists(context.findMenuLibraryPath.get());
    Compose(text, {product, " has been removed from this computer.",
                   lastModule ? " It was the last module of the suite, so the settings and the "
                                "Find menu extension that the modules share are gone as well."
                              : "",
                   "\n\nThe uninstaller itself",
                   libraryLeft ? " and the Find menu library, which is in use," : "",
                   " will be deleted when Windows next starts."});
    MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONINFORMATION);
    return UninstallOutcome::Removed;
}

int StartUninstall(DWORD module, const char* commandLine) {
    LimitLibrarySearch();
    InstanceLock lock;
    if (lock.HeldElsewhere()) {
        bool silent = false;
        TakeSilentSwitch(commandLine, silent);
        if (!silent && module < kCatalogueRowCount) {
            char caption[64];
            ConcatStrings(caption, sizeof caption, kProductCatalogue[module].productName,
                          " Uninstall");
            MessageBoxA(nullptr,
                        "NetQuillo setup or another uninstaller is running. Nothing was "
                        "removed.\n\nWait until it has finished, then start the uninstaller "
                        "again.",
                        caption, MB_OK | MB_ICONERROR);
        }
        return kExitAnotherSetup;
    }
    UninstallOutcome outcome = RunUninstall(module, commandLine);
    return outcome == UninstallOutcome::Removed || outcome == UninstallOutcome::Declined ? 0 : 1;
}
