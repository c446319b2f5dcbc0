#include "driver/user_folders.h"

#include <cstring>

#include "driver/shell_helpers.h"

namespace {

enum class Reach { Whole, ByShortName, Unreachable };

// The wide name in the process code page, only when every character has its own byte there:
// no '?', no look-alike letter.
bool WritesWhole(const WCHAR* wide, char (&path)[MAX_PATH]) {
    BOOL lacking = FALSE;
    return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, path, MAX_PATH, nullptr,
                               &lacking) > 0 &&
           !lacking;
}

// Checks the 8-bit answer `path` against the folder's wide name: where the code page cannot
// write that name, `path` becomes its short name when that one it can write. The 95 family
// (no wide calls, names in its own code page) and UTF-8 (every name fits) need no check, nor
// can a system that does not give the wide name be second-guessed.
Reach CheckReach(const WCHAR* wide, bool wideKnown, char (&path)[MAX_PATH]) {
    if (!wideKnown || IsWin9xPlatform() || GetACP() == CP_UTF8)
        return Reach::Whole;
    char whole[MAX_PATH];
    if (WritesWhole(wide, whole))
        return Reach::Whole;
    WCHAR shortName[MAX_PATH];
    DWORD length = GetShortPathNameW(wide, shortName, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !WritesWhole(shortName, path))
        return Reach::Unreachable;
    return Reach::ByShortName;
}

Reach TemporaryReach(char (&path)[MAX_PATH]) {
    DWORD length = GetTempPathA(MAX_PATH, path);
    if (length == 0 || length >= MAX_PATH) {
        path[0] = '\0';
        return Reach::Whole; // nothing to judge: the callers fail as before
    }
    WCHAR wide[MAX_PATH];
    DWORD wideLength = GetTempPathW(MAX_PATH, wide);
    return CheckReach(wide, wideLength > 0 && wideLength < MAX_PATH, path);
}

BOOL PathFromItems(LPITEMIDLIST items, char* path) {
    return SHGetPathFromIDListA(items, path);
}
BOOL PathFromItems(LPITEMIDLIST items, WCHAR* path) {
    return SHGetPathFromIDListW(items, path);
}

// The desktop's 8-bit or wide name; false when the shell cannot name it as a file-system
// folder.
template <typename Char> bool DesktopPath(HWND owner, Char (&path)[MAX_PATH]) {
    LPITEMIDLIST items = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(owner, CSIDL_DESKTOP, &items)) || items == nullptr)
        return false;
    bool found = PathFromItems(items, path) != FALSE;
    CoTaskMemFree(items);
    return found;
}

} // namespace

DWORD TemporaryFolder(char (&path)[MAX_PATH]) {
    if (TemporaryReach(path) == Reach::Unreachable)
        return 0;
    DWORD length = static_cast<DWORD>(strnlen(path, MAX_PATH));
    // A short name without its trailing backslash still names the folder.
    if (length > 0 && length < MAX_PATH - 1 && path[length - 1] != '\\') {
        path[length++] = '\\';
        path[length] = '\0';
    }
    return length < MAX_PATH ? length : 0;
}

bool DesktopFolder(HWND owner, char (&path)[MAX_PATH]) {
    WCHAR wide[MAX_PATH];
    return DesktopPath(owner, path) &&
           CheckReach(wide, DesktopPath(owner, wide), path) != Reach::Unreachable;
}

const char* UnreachableUserFolder() {
    char path[MAX_PATH];
    if (TemporaryReach(path) == Reach::Unreachable)
        return "The temporary folder";
    // Judged by the wide name alone: naming the desktop through the 8-bit call may make it.
    WCHAR wide[MAX_PATH];
    if (CheckReach(wide, DesktopPath(nullptr, wide), path) == Reach::Unreachable)
        return "The desktop folder";
    return nullptr;
}
