#include "wizard/install_path.h"

#include <cstring>

#include "driver/drive_space.h"
#include "driver/install_folder.h"
#include "driver/setup_context.h"
#include "driver/shell_helpers.h"
#include "driver/string_helpers.h"
#include "install/folder_safety.h"
#include "registry/reg_key.h"

namespace {

const char kProbeFile[] = "test.tmp";

// Whether setup can write in `folder`: a new file is made there and goes with its handle, so
// that nothing is ever deleted by name in a folder that a user may control. Windows 95 has no
// links for a name to lead elsewhere; its deletion on close is not to be relied on.
bool CanWriteProbe(const char* folder) {
    char probe[MAX_PATH];
    if (!CopyString(probe, folder, sizeof probe) || !JoinPath(probe, kProbeFile))
        return false;
    HANDLE file = CreateFileA(probe, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    if (IsWin9xPlatform())
        DeleteFileA(probe);
    return true;
}

} // namespace

void DefaultInstallPath(char (&path)[MAX_PATH]) {
    ProgramFilesFolder(path);
    JoinPath(path, "QuilloSoft\\");
}

bool TestInstallPath(const char* path, size_t* presentLength) {
    if (presentLength)
        *presentLength = 0;
    // Every module file must fit below the folder later.
    if (path[0] == '\0' || !InstallFolderFits(path) || PassesThroughReparsePoint(path))
        return false;
    char folder[MAX_PATH];
    if (!CopyString(folder, path, sizeof folder))
        return false;
    size_t length = std::strlen(folder);
    if (!IsPathSeparator(folder[length - 1])) {
        if (length + 2 > sizeof folder)
            return false;
        folder[length++] = '\\';
        folder[length] = '\0';
    }
    // Judged on the path as typed: "C:" names the current folder of drive C, not its root,
    // and is refused like any other relative path.
    const size_t start = PathRootLength(path);
    if (start == 0)
        return false;

    // The file system is asked about each level, and nothing is made: a level made and removed
    // again would show a watcher which folder to make first. Levels from the first missing one
    // on must be missing too, each with a name that could be made.
    size_t present = 0; // the end of the deepest level that is there
    bool missing = false;
    for (size_t i = start; i < length; ++i) {
        if (!IsPathSeparator(folder[i]))
            continue;
        const char separator = folder[i];
        folder[i] = '\0';
        const DWORD attributes = GetFileAttributesA(folder);
        const DWORD error = GetLastError();
        folder[i] = separator;
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
                return false;
            missing = true;
        } else if (missing || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return false;
        } else {
            present = i;
        }
    }
    // The root itself must be there; the probe goes into the deepest level that is.
    folder[present == 0 ? start : present] = '\0';
    const DWORD rootAttributes = present == 0 ? GetFileAttributesA(folder) : FILE_ATTRIBUTE_DIRECTORY;
    if (rootAttributes == INVALID_FILE_ATTRIBUTES || !(rootAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
        !CanWriteProbe(folder))
        return false;
    if (presentLength)
        *presentLength = missing ? present : static_cast<size_t>(-1);
    return true;
}

FolderCheck CheckInstallFolder(const char* path, bool checkSpace, size_t* presentLength) {
    if (!TestInstallPath(path, presentLength))
        return FolderCheck::Refused;
    if (checkSpace && GetDriveFreeSpace(path) < GetRequiredSpace(false))
        return FolderCheck::TooLittleSpace;
    return FolderCheck::Accepted;
}
