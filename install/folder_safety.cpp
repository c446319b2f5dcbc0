#include "install/folder_safety.h"

#include <cstring>

#include "driver/install_folder.h"
#include "driver/shell_helpers.h"
#include "driver/string_helpers.h"
#include "driver/system_libraries.h"
#include "platform/ascii_case.h"

namespace {

const DWORD kReparsePoint = 0x00000400; // FILE_ATTRIBUTE_REPARSE_POINT
// Protected (inheriting nothing from above); SYSTEM and the Administrators group full control,
// the Users group read and execute; for the folder, its subfolders and its files.
const char kProtectedList[] = "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

// Whether `path` is `folder` or lies below it, ignoring letter case and a trailing backslash.
bool IsWithin(const char* path, const char* folder) {
    size_t length = std::strlen(folder);
    if (length > 0 && IsPathSeparator(folder[length - 1]))
        --length;
    if (length == 0 || std::strlen(path) < length)
        return false;
    for (size_t i = 0; i < length; ++i) {
        if (AsciiUpper(path[i]) != AsciiUpper(folder[i]))
            return false;
    }
    return path[length] == '\0' || IsPathSeparator(path[length]);
}

} // namespace

bool PassesThroughReparsePoint(const char* path) {
    char level[MAX_PATH];
    size_t root = PathRootLength(path);
    if (root == 0 || !CopyString(level, path, sizeof level))
        return false;
    size_t length = std::strlen(level);
    for (size_t i = root; i <= length; ++i) {
        if (!IsPathSeparator(level[i]) && level[i] != '\0')
            continue;
        if (i == root)
            continue;
        char kept = level[i];
        level[i] = '\0';
        DWORD attributes = GetFileAttributesA(level);
        level[i] = kept;
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kReparsePoint))
            return true;
    }
    return false;
}

FolderSecurity::FolderSecurity(const char* installPath) {
    attributes_.nLength = sizeof attributes_;
    attributes_.lpSecurityDescriptor = nullptr;
    attributes_.bInheritHandle = FALSE;
    char programFiles[MAX_PATH];
    if (IsWin9xPlatform() ||
        (ProgramFilesFolder(programFiles) && IsWithin(installPath, programFiles)))
        return;
    // Windows 2000 and later; NT 4 makes the folders as before.
    attributes_.lpSecurityDescriptor = DescriptorFromText(kProtectedList);
}

FolderSecurity::~FolderSecurity() {
    if (attributes_.lpSecurityDescriptor)
        LocalFree(attributes_.lpSecurityDescriptor);
}
