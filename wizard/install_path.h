// The install folder: its default, and the probe that proves it can be created and written.
#pragma once

#include "platform/win32.h"

// The system's program-files folder, else "C:\Program Files" when that folder exists, else
// "C:", each with "QuilloSoft\" joined on.
void DefaultInstallPath(char (&path)[MAX_PATH]);

// Whether the folder can be installed to: every level that is there is a folder and no link,
// the missing ones could be made, and "test.tmp" can be written in the deepest level there
// (and goes with its handle). Nothing else is created. A path that is not absolute on a drive
// or a share, or too long for the module files to fit below it, fails. `presentLength`, when
// given, receives the length of the deepest level that is there, 0 for none but the root, and
// the most a size holds when the whole folder is there.
bool TestInstallPath(const char* path, size_t* presentLength = nullptr);

enum class FolderCheck { Accepted, Refused, TooLittleSpace };

// What leaving the options page checks of an install folder: `TestInstallPath`, then, when
// `checkSpace`, that the folder's drive has room for the selected modules.
FolderCheck CheckInstallFolder(const char* path, bool checkSpace, size_t* presentLength = nullptr);
