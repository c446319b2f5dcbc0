// The values of a module's uninstall entry that setup writes and the module's uninstaller reads
// back: both sides of each are here, so that they cannot drift apart.
#pragma once

#include <cstddef>

#include "platform/win32.h"

class RegKey;

// The command line that starts the uninstaller `uninstaller` for the module installed in
// `installPath`. The plain one, "UninstallString", is the uninstaller's path, one blank and the
// folder, unquoted, as the module programs read it; the quiet one, "QuietUninstallString",
// quotes the uninstaller's path, since the Windows folder may hold blanks, and puts "/S" before
// the folder. False, and `command` empty, when it does not fit `capacity` bytes.
bool ComposeUninstallCommand(char* command, size_t capacity, const char* uninstaller,
                             const char* installPath, bool quiet);

// The install folder of a plain command line as `ComposeUninstallCommand` writes it, found after
// the uninstaller's file name `uninstallerFile`, so that a Windows folder with blanks or another
// letter case still leaves the folder as the rest. False when there is none.
bool ReadUninstallFolder(const char* command, const char* uninstallerFile,
                         char (&folder)[MAX_PATH]);

// How many levels of the install folder, from the folder itself upward, setup made, as the open
// entry `key` records them; an entry written before setup kept the count names the module's
// own folder alone.
DWORD ReadMadeFolderLevels(RegKey& key);
