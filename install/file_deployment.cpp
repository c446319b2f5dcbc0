#include "install/file_deployment.h"

#include <cstring>
#include <initializer_list>

#include "driver/progress_box.h"
#include "driver/setup_context.h"
#include "driver/string_helpers.h"
#include "install/folder_safety.h"
#include "install/payload_extractor.h"
#include "install/prior_state.h"

namespace {

const WORD kFindMenuLibraryPayload = 998;

// One folder whose parent exists. A level that was there when the install folder was checked
// (`wasPresent`) is taken as it is, whatever error its creation answered. Any other must be
// made now, or have been made by this run for an earlier module: a folder that someone else
// made since the check is refused, since it would hold the programs under that one's access
// list instead of the protected one that setup gives the levels it makes.
bool MakeFolder(PriorState* prior, const char* folder, LPSECURITY_ATTRIBUTES security,
                bool wasPresent) {
    if (prior != nullptr && !prior->NoteFolderToMake(folder))
        return false;
    if (!CreateDirectoryA(folder, security)) {
        if (!wasPresent)
            return prior != nullptr && GetLastError() == ERROR_ALREADY_EXISTS &&
                   prior->FolderMade(folder);
        DWORD attributes = GetFileAttributesA(folder);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    }
    if (prior == nullptr || prior->NoteFolderMade(folder))
        return true;
    // Not noted, nothing would remove it again.
    RemoveDirectoryA(folder);
    return false;
}

// Creates every missing folder of the install path, its parents first, noting each one made so
// that the rollback and the uninstaller remove those and no other. The levels of the path
// that end within its first `presentLength` characters were there when the folder was checked.
bool CreateInstallFolders(PriorState* prior, const char* installPath, size_t presentLength) {
    char folder[MAX_PATH];
    if (!installPath || !CopyString(folder, installPath, MAX_PATH))
        return false;
    size_t length = std::strlen(folder);
    if (length == 0 || !IsPathSeparator(folder[length - 1])) {
        if (length + 2 > MAX_PATH)
            return false;
        folder[length++] = '\\';
        folder[length] = '\0';
    }
    size_t start = PathRootLength(folder);
    if (start == 0 || PassesThroughReparsePoint(folder))
        return false;
    FolderSecurity security(folder);
    for (size_t i = start; i < length; ++i) {
        if (!IsPathSeparator(folder[i]))
            continue;
        const char separator = folder[i];
        folder[i] = '\0';
        bool present = MakeFolder(prior, folder, security.Attributes(), i <= presentLength);
        folder[i] = separator;
        if (!present)
            return false;
    }
    return true;
}

void ShowFile(ProgressBox& progress, const char* fileName) {
    char status[1024];
    if (!ConcatStrings(status, sizeof status, "Decompressing ", fileName) ||
        !AppendString(status, sizeof status, "..."))
        status[0] = '\0';
    progress.Step();
    progress.SetStatus(status);
}

// The shared library is written only when it is not there: a copy that the shell has loaded
// must never stop an install, and a newer one is never replaced.
// Writes payload `id` to `path`, keeping a file already there for the rollback.
bool WritePayload(PayloadExtractor& extractor, PriorState* prior, WORD id, const char* path) {
    return path[0] != '\0' && (prior == nullptr || prior->KeepFile(path)) &&
           extractor.ExtractPayload(id, path);
}

bool EnsureFindMenuLibrary(PayloadExtractor& extractor, PriorState* prior, const char* libraryPath,
                           bool& alreadyThere) {
    HANDLE existing = CreateFileA(libraryPath, GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    alreadyThere = existing != INVALID_HANDLE_VALUE;
    if (alreadyThere) {
        CloseHandle(existing);
        return true;
    }
    // Unknown whether one is there: a newer copy must not be written over, and none written is
    // no whole install.
    const DWORD error = GetLastError();
    if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
        return false;
    return WritePayload(extractor, prior, kFindMenuLibraryPayload, libraryPath);
}

// Whether every file of the module fits below its install folder; checked before any folder
// is made, so that a folder too long for its names leaves nothing behind.
bool ModuleFilesFit(DWORD module, const ModuleRow& row) {
    for (const char* fileName :
         {row.programFile.get(), row.helpFile.get(), row.contentsFile.get()}) {
        if (fileName == nullptr || ModuleFilePath(module, fileName)[0] == '\0')
            return false;
    }
    return true;
}

// Extracts payload `id` to the module's file `fileName`; an install path too long to hold the
// file's name fails rather than writing elsewhere.
bool ExtractModuleFile(PayloadExtractor& extractor, PriorState* prior, WORD id, DWORD module,
                       const char* fileName) {
    return WritePayload(extractor, prior, id, ModuleFilePath(module, fileName));
}

bool DeployModule(SetupContext& context, ProgressBox& progress, DWORD module) {
    const ModuleRow& row = context.modules[module];
    PriorState* prior = context.prior;
    // A path the system could not give whole is absent: the install fails before it writes.
    if (!context.findMenuLibraryPath || !row.uninstallerPath || !ModuleFilesFit(module, row) ||
        !CreateInstallFolders(prior, row.installPath.get(), row.presentLength))
        return false;
    PayloadExtractor extractor;
    const WORD base = static_cast<WORD>((module + 1) * 1000);

    progress.Step();
    progress.SetStatus("Decompressing NetQuillo.dll...");
    bool alreadyThere = false;
    if (!EnsureFindMenuLibrary(extractor, prior, context.findMenuLibraryPath.get(), alreadyThere))
        return false;
    // The log tells an administrator that a library already in place, an earlier install's
    // perhaps, was kept as it was.
    if (alreadyThere)
        progress.EndStep("already there");

    ShowFile(progress, row.programFile.get());
    if (!ExtractModuleFile(extractor, prior, base, module, row.programFile.get()))
        return false;
    ShowFile(progress, row.helpFile.get());
    if (!ExtractModuleFile(extractor, prior, static_cast<WORD>(base + 1), module,
                           row.helpFile.get()))
        return false;
    ShowFile(progress, row.contentsFile.get());
    if (!ExtractModuleFile(extractor, prior, static_cast<WORD>(base + 2), module,
                           row.contentsFile.get()))
        return false;
    progress.Step();
    progress.SetStatus("Decompressing uninstall...");
    return WritePayload(extractor, prior, static_cast<WORD>(base + 3), row.uninstallerPath.get());
}

} // namespace

bool DeployFiles(SetupContext& context, ProgressBox& progress) {
    for (DWORD module = 0; module < context.moduleCount; ++module) {
        if (context.selected[module] && !DeployModule(context, progress, module))
            return false;
    }
    return true;
}
