// The shell: special folders, item lists as paths, and the folder picker.
#pragma once

#include "platform/host/api/com.h"
#include "platform/host/win32_types.h"

#define CSIDL_DESKTOP 0x0000
#define CSIDL_PROGRAMS 0x0002
#define CSIDL_DESKTOPDIRECTORY 0x0010

#define BIF_RETURNONLYFSDIRS 0x00000001
#define BIF_DONTGOBELOWDOMAIN 0x00000002
#define BIF_STATUSTEXT 0x00000004
#define BIF_RETURNFSANCESTORS 0x00000008
#define BIF_EDITBOX 0x00000010
#define BIF_VALIDATE 0x00000020
#define BIF_NEWDIALOGSTYLE 0x00000040

typedef int(CALLBACK* BFFCALLBACK)(HWND window, UINT message, LPARAM lParam, LPARAM data);

struct BROWSEINFOA {
    HWND hwndOwner;
    PCIDLIST_ABSOLUTE pidlRoot;
    LPSTR pszDisplayName;
    LPCSTR lpszTitle;
    UINT ulFlags;
    BFFCALLBACK lpfn;
    LPARAM lParam;
    int iImage;
};
typedef BROWSEINFOA* LPBROWSEINFOA;

HRESULT SHGetSpecialFolderLocation(HWND owner, int folder, PIDLIST_ABSOLUTE* items);
BOOL SHGetPathFromIDListA(PCIDLIST_ABSOLUTE items, LPSTR path);
BOOL SHGetPathFromIDListW(PCIDLIST_ABSOLUTE items, WCHAR* path);
PIDLIST_ABSOLUTE SHBrowseForFolderA(LPBROWSEINFOA browse);
