// Small services of the Windows shell and system: desktop links, the folder picker, the
// taskbar's refresh and the platform family.
#pragma once

#include "platform/win32.h"

class SetupContext;

// One link per selected module on the desktop, named after the product with ".LNK".
void CreateDesktopShortcuts(SetupContext& context);
// Where the module's desktop link goes; false when the desktop or the name cannot be had.
bool DesktopLinkPath(HWND owner, const char* productName, char (&path)[MAX_PATH]);
// True when the link file was saved.
bool CreateShortcut(const char* targetPath, const char* linkPath, const char* description);
// True and the chosen folder in `buffer` (MAX_PATH bytes); false when the user cancelled.
bool BrowseForFolder(char* buffer, HWND owner);
// Asks the taskbar to refresh its Find menu; nothing when there is no taskbar.
void NotifyTaskbar();
// True on the Windows 95 family.
bool IsWin9xPlatform();
