// The install folder: its default, and the probe that proves it can be created and written.
#pragma once

#include "platform/win32.h"

// The system's program-files folder, else "C:\Program Files" when that folder exists, else
// "C:", each with "QuilloSoft\" joined on.
void DefaultInstallPath(char (&path)[MAX_PATH]);

// Creates the folder's missing levels, writes and deletes "test.tmp" in it, and removes again
// the levels it created. True when all of that worked. A path that is not absolute on a drive
// or a share, or too long for the module files to fit below it, fails before anything is
// created.
bool TestInstallPath(const char* path);

enum class FolderCheck { Accepted, Refused, TooLittleSpace };

// What leaving the options page checks of an install folder: `TestInstallPath`, then, when
// `checkSpace`, that the folder's drive has room for the selected modules.
FolderCheck CheckInstallFolder(const char* path, bool checkSpace);
