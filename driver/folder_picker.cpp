#include "driver/shell_helpers.h"

bool BrowseForFolder(char* buffer, HWND owner) {
    BROWSEINFOA browse = {};
    browse.hwndOwner = owner;
    browse.pidlRoot = nullptr; // the desktop
    browse.pszDisplayName = buffer;
    browse.lpszTitle = nullptr;
    browse.ulFlags = BIF_RETURNONLYFSDIRS;
    browse.lpfn = nullptr;
    browse.lParam = 0;
    LPITEMIDLIST items = SHBrowseForFolderA(&browse);
    if (items == nullptr)
        return false;
    // The picker filled in the display name; only a file-system path is an answer.
    BOOL found = SHGetPathFromIDListA(items, buffer);
    CoTaskMemFree(items);
    return found != FALSE;
}
