#include "wizard/install_path.h"

#include <cstring>

#include "driver/drive_space.h"
#include "driver/install_folder.h"
#include "driver/setup_context.h"
#include "driver/string_helpers.h"
#include "install/folder_safety.h"
#include "registry/reg_key.h"

namespace {

const char kProbeFile[] = "test.tmp";

bool IsLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// Where the folder names of `path` begin: after "X:\", or after the server of a UNC path so
// that the share is the first level; 0 for any other path.
size_t FirstLevel(const char* path) {
    if (path[0] == '\\' && path[1] == '\\') {
        const char* serverEnd = std::strchr(path + 2, '\\');
        return serverEnd ? static_cast<size_t>(serverEnd - path) + 1 : 0;
    }
    if (IsLetter(path[0]) && path[1] == ':' && path[2] == '\\')
        return 3;
    return 0;
}

// A level that cannot be created may still be there: an NTFS-backed share answers
// ERROR_ACCESS_DENIED, not ERROR_ALREADY_EXISTS, for a folder that exists.
bool IsFolder(const char* path) {
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CanWriteProbe(const char* folder) {
    char probe[MAX_PATH];
    if (!CopyString(probe, folder, sizeof probe) || !JoinPath(probe, kProbeFile))
        return false;
    HANDLE file = CreateFileA(probe, GENERIC_READ, FILE_SHARE_READ, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    DeleteFileA(probe);
    return true;
}

} // namespace

void DefaultInstallPath(char (&path)[MAX_PATH]) {
    ProgramFilesFolder(path);
    JoinPath(path, "QuilloSoft\\");
}

bool TestInstallPath(const char* path) {
    // Every module file must fit below the folder later; refusing here creates nothing.
    if (path[0] == '\0' || !InstallFolderFits(path) || PassesThroughReparsePoint(path))
        return false;
    char folder[MAX_PATH];
    if (!CopyString(folder, path, sizeof folder))
        return false;
    size_t length = std::strlen(folder);
    if (folder[length - 1] != '\\') {
        if (length + 2 > sizeof folder)
            return false;
        folder[length++] = '\\';
        folder[length] = '\0';
    }
    // Judged on the path as typed: "C:" names the current folder of drive C, not its root,
    // and is refused like any other relative path.
    size_t start = FirstLevel(path);
    if (start == 0)
        return false;

    size_t firstCreated = 0; // the backslash after the first level this test created
    bool ok = true;
    for (size_t i = start; i < length && ok; ++i) {
        if (folder[i] != '\\')
            continue;
        folder[i] = '\0';
        if (CreateDirectoryA(folder, nullptr)) {
            if (firstCreated == 0)
                firstCreated = i;
        } else if (GetLastError() != ERROR_ALREADY_EXISTS && !IsFolder(folder)) {
            ok = false;
        }
        folder[i] = '\\';
    }
    if (ok)
        ok = CanWriteProbe(folder);

    // Leave the disk as it was: the created levels go, deepest first.
    if (firstCreated != 0) {
        for (size_t i = length; i-- > firstCreated;) {
            if (folder[i] != '\\')
                continue;
            folder[i] = '\0';
            RemoveDirectoryA(folder);
        }
    }
    return ok;
}

FolderCheck CheckInstallFolder(const char* path, bool checkSpace) {
    if (!TestInstallPath(path))
        return FolderCheck::Refused;
    if (checkSpace && GetDriveFreeSpace(path) < GetRequiredSpace(false))
        return FolderCheck::TooLittleSpace;
    return FolderCheck::Accepted;
}
