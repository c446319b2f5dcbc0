#include <cstring>
#include <initializer_list>

#include "driver/setup_context.h"
#include "driver/shell_helpers.h"
#include "driver/user_folders.h"
#include "driver/string_helpers.h"
#include "install/prior_state.h"
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

// Whether the file at `path` is to be removed: during a run, only one that the run made where
// there was none; a file it wrote over gets its earlier copy back instead.
bool Removable(PriorState* prior, const char* path) {
    return path != nullptr && (prior == nullptr || prior->UndoFile(path));
}

void DeleteModuleFiles(PriorState* prior, DWORD module, const ModuleRow& row) {
    for (const char* file : {row.programFile.get(), row.helpFile.get(), row.contentsFile.get()}) {
        const char* path = ModuleFilePath(module, file);
        if (Removable(prior, path))
            DeleteFileA(path);
    }
}

// The levels of the install folder that setup made, from the folder upward, while they are
// empty: during a run those it made itself, for the uninstaller as many as setup recorded. A
// level that is not there is passed over (its creation failed, but its parents may have been
// made for it). An empty folder that was the user's stays.
void RemoveMadeFolders(PriorState* prior, const char* installPath, DWORD levels) {
    char folder[MAX_PATH];
    if (!CopyString(folder, installPath, sizeof folder))
        return;
    size_t length = std::strlen(folder);
    if (length > 0 && IsPathSeparator(folder[length - 1]))
        folder[length - 1] = '\0';
    for (DWORD level = 0;; ++level) {
        bool made = prior ? prior->FolderMade(folder) : level < levels;
        bool gone = (made && RemoveDirectoryA(folder)) ||
                    ((made || prior) && GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES);
        if (!gone)
            break;
        char* separator = LastPathSeparator(folder);
        // "C:" alone names the drive's current directory, not its root: never remove that.
        if (separator == nullptr || separator == folder || separator[-1] == ':')
            break;
        *separator = '\0';
    }
}

// Deletes the file at `path` in a folder that its user controls with the handle that opens it:
// a link there is opened as itself and goes, never what it leads to, and a folder does not open.
// The 95 family has no links, nor a deletion on close to rely on: there the name goes.
void DeleteThroughHandle(const char* path) {
    if (IsWin9xPlatform()) {
        DeleteFileA(path);
        return;
    }
    HANDLE file = CreateFileA(path, DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING,
                              FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
}

void DeleteModuleTempFiles() {
    char directory[MAX_PATH];
    DWORD length = TemporaryFolder(directory);
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
            DeleteThroughHandle(path);
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

} // namespace

void RollBackFiles(SetupContext& context) {
    PriorState* prior = context.prior;
    bool sharedItemsDone = false;
    bool wininitWritten = false;
    // The uninstallers given to the system for deletion, by module.
    unsigned uninstallersScheduled = 0;
    const char* libraryScheduled = nullptr;
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        if (!context.selected[i])
            continue;
        const ModuleRow& row = context.modules[i];
        // Never through a junction or link: what lies behind it is not what setup made.
        if (row.installPath && !PassesThroughReparsePoint(row.installPath.get())) {
            DeleteModuleFiles(prior, i, row);
            RemoveMadeFolders(prior, row.installPath.get(), row.madeFolderLevels);
        }
        if (!sharedItemsDone && IsFindGroupEmpty()) {
            sharedItemsDone = true;
            // The modules' own files: a failed run made none of them.
            if (prior == nullptr)
                DeleteModuleTempFiles();
            const char* library = context.findMenuLibraryPath.get();
            if (Removable(prior, library) && !DeleteFileA(library) &&
                ScheduleDeleteAtRestart(library, 1, wininitWritten))
                libraryScheduled = library;
        }
        // Another program may still run the uninstaller; it goes only at the next restart, or
        // at once when the system will not take the deletion.
        const char* uninstaller = row.uninstallerPath.get();
        if (Removable(prior, uninstaller)) {
            if (ScheduleDeleteAtRestart(uninstaller, i + 2, wininitWritten))
                uninstallersScheduled |= 1u << i;
            else
                DeleteFileA(uninstaller);
        }
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
        if (uninstallersScheduled & (1u << i)) {
            WithdrawWininitEntry(i + 2);
            DeleteFileA(context.modules[i].uninstallerPath.get());
        }
    }
}

void RollBack(SetupContext& context) {
    RollBackRegistry(context);
    RollBackFiles(context);
}
