// The longest install folder the program can work with.
#pragma once

#include "platform/win32.h"

// True when every module's files fit below `folder` in a MAX_PATH buffer: the folder, a
// backslash, the longest product name, a backslash and the longest file name of a module's
// folder. A trailing backslash on the folder does not count, as JoinPath reuses it.
bool InstallFolderFits(const char* folder);

// The system's program-files folder, else "C:\Program Files" when that folder exists; false,
// with `path` "C:", when there is neither.
bool ProgramFilesFolder(char (&path)[MAX_PATH]);
