#include <cstring>

#include "driver/setup_context.h"
#include "driver/shell_helpers.h"
#include "driver/string_helpers.h"
#include "install/folder_safety.h"
#include "install/restart_deletions.h"
#include "install/rollback.h"
#include "platform/win32.h"

namespace {

// The files the suite's modules keep in the temporary directory.
const char kModuleTempPattern[] = "*.nqa";
const char kModuleTempExtension[] = ".nqa";

// Whether the long name `name` ends in `extension`, in any letter case.
bool HasExtension(const char* name, const char* extension) {
    size_t length = std::strlen(name);
    size_t extensionLength = std::strlen(extension);
    return length > extensionLength &&
           EqualIgnoringCase(name + length - extensionLength, extension);
}

void DeleteModuleFiles(DWORD module, const ModuleRow& row) {
    DeleteFileA(ModuleFilePath(module, row.programFile.get()));
    DeleteFileA(ModuleFilePath(module, row.helpFile.get()));
    DeleteFileA(ModuleFilePath(module, row.contentsFile.get()));
}

// The install folder and every parent it leaves empty; the first folder that stays ends it. A
// folder that is not there (its creation failed) is passed over: its parents may have been
// made for it.
void RemoveEmptyFolders(const char* installPath) {
    char folder[MAX_PATH];
    if (!CopyString(folder, installPath, sizeof folder))
        return;
    size_t length = std::strlen(folder);
    if (length > 0 && folder[length - 1] == '\\')
        folder[length - 1] = '\0';
    while (RemoveDirectoryA(folder) || GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES) {
        char* separator = std::strrchr(folder, '\\');
        // "C:" alone names the drive's current directory, not its root: never remove that.
        if (separator == nullptr || separator == folder || separator[-1] == ':')
            break;
        *separator = '\0';
    }
}

void DeleteModuleTempFiles() {
    char directory[MAX_PATH];
    DWORD length = GetTempPathA(MAX_PATH, directory);
    if (length == 0 || length >= MAX_PATH)
        return;
    char pattern[MAX_PATH];
    std::memcpy(pattern, directory, length + 1);
    if (!JoinPath(pattern, kModuleTempPattern))
        return;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern, &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        // The pattern matches short names too: "notes.nqabak" is found as NOTES~1.NQA.
        if (!HasExtension(found.cFileName, kModuleTempExtension))
            continue;
        char path[MAX_PATH];
        std::memcpy(path, directory, length + 1);
        if (JoinPath(path, found.cFileName))
            DeleteFileA(path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

} // namespace

void RollBackFiles(SetupContext& context) {
    bool sharedItemsDone = false;
    bool wininitWritten = false;
    const char* libraryScheduled = nullptr;
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        if (!context.selected[i])
            continue;
        const ModuleRow& row = context.modules[i];
        // Never through a junction or link: what lies behind it is not what setup made.
        if (row.installPath && !PassesThroughReparsePoint(row.installPath.get())) {
            DeleteModuleFiles(i, row);
            RemoveEmptyFolders(row.installPath.get());
        }
        if (!sharedItemsDone && IsFindGroupEmpty()) {
            sharedItemsDone = true;
            DeleteModuleTempFiles();
            const char* library = context.findMenuLibraryPath.get();
            if (library != nullptr && !DeleteFileA(library) &&
                ScheduleDeleteAtRestart(library, 1, wininitWritten))
                libraryScheduled = library;
        }
        // Another program may still run the uninstaller; it goes only at the next restart, or
        // at once when the system will not take the deletion.
        const char* uninstaller = row.uninstallerPath.get();
        if (uninstaller != nullptr && !ScheduleDeleteAtRestart(uninstaller, i + 2, wininitWritten))
            DeleteFileA(uninstaller);
    }
    if (!wininitWritten || !IsWin9xPlatform() || FinishWininitEntries())
        return;
    // Entries left under their own keys would rename the files at restart instead of deleting
    // them: they are withdrawn, and the files deleted now where the system lets us.
    if (libraryScheduled != nullptr) {
        WithdrawWininitEntry(1);
        DeleteFileA(libraryScheduled);
    }
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        if (context.selected[i] && context.modules[i].uninstallerPath) {
            WithdrawWininitEntry(i + 2);
            DeleteFileA(context.modules[i].uninstallerPath.get());
        }
    }
}
