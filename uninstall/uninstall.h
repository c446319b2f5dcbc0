// A module's uninstaller: the install path from its command line, checked against the
// module's uninstall entry, then the same removal that undoes a failed install of that one
// module, and one message that says what happened.
#pragma once

#include "platform/win32.h"

class SetupContext;

enum class UninstallOutcome {
    Removed,          // the module is gone; its uninstaller goes at the next restart
    Declined,         // the user answered No: nothing changed
    MissingPath,      // the command line names no folder
    RelativePath,     // not a full path (drive and backslash, or a network path)
    NotInstallFolder, // not the folder that the module's uninstall entry names
    NotInstalled,     // the module has no uninstall entry
};

// A leading "/S" word (any letter case), which asks for a run without a question or a
// message: `silent` says whether it was there, and the answer is the rest of the command line
// after it, or the whole line when it was not there.
const char* TakeSilentSwitch(const char* commandLine, bool& silent);

// The install path from the rest of the command line, which is the path itself, unquoted and
// possibly with blanks: blanks around it and one pair of enclosing quotes are dropped. False
// when nothing is left or the path does not fit `path` with its zero.
bool TakeInstallPath(const char* commandLine, char (&path)[MAX_PATH]);

// Checks the command line of module `module`'s uninstaller against the module's uninstall
// entry; on Removed (the path is sound and names the module's install folder) `installPath`
// holds the path as the command line gave it.
UninstallOutcome CheckUninstall(DWORD module, const char* commandLine,
                                char (&installPath)[MAX_PATH]);

// Removes module `module`, installed in `installPath`: the context's selection is set to that
// module alone. What the removal leaves at once and what at the next restart is what undoing
// a failed install of that module leaves; of its folders, only the levels setup made.
void RemoveModule(SetupContext& context, DWORD module, const char* installPath);

// The whole run of module `module`'s uninstaller: check, ask, remove, report; with "/S" before
// the path, check and remove alone, without any window. Builds its own context from the
// catalogue, so there must be no other current context.
UninstallOutcome RunUninstall(DWORD module, const char* commandLine);

// The uninstaller's process: RunUninstall while it holds the lock that lets one setup or
// uninstaller run at a time. Answers its exit code: 0 removed or declined, 1 refused, and
// kExitAnotherSetup, after one message unless silent, when another setup or uninstaller runs.
int StartUninstall(DWORD module, const char* commandLine);
