// The second way to run setup: with arguments, for administrators and package managers, who
// install without anybody at the machine. Without arguments setup is the wizard alone.
#pragma once

#include "platform/win32.h"

// The exit codes of a run with arguments; the wizard's run always answers 0.
constexpr int kExitInstalled = 0;
constexpr int kExitFailed = 1; // the install failed and was rolled back
constexpr int kExitRefused = 2; // nothing was written: the arguments or the folder
// What a package manager must tell apart; nothing was written for any of them.
constexpr int kExitAnotherSetup = 3; // another setup or uninstaller runs: try again later
constexpr int kExitDiskSpace = 4;    // too little space on the temporary or the install drive
constexpr int kExitDamaged = 5;      // the program's own file is damaged: download it again
constexpr int kExitCancelled = 6;    // the wizard was cancelled
constexpr int kExitFilesInUse = 7;   // other programs hold files to replace: close them first

struct SetupOptions {
    bool silent = false; // /S: no window at all, every answer the one setup proposes
    bool help = false;   // /?
    // /FORCE: install even over an earlier version, which the wizard's notice asks the user to
    // remove first and which a silent run otherwise refuses.
    bool force = false;
    // /CLOSEAPPLICATIONS: ask the programs that hold files to be replaced to close, and wait
    // for them a bounded time, instead of ending with kExitFilesInUse.
    bool closeApplications = false;
    // /MODULES=Web,News: bit i for catalogue row i; 0 when the option is absent (all modules).
    DWORD modules = 0;
    char logPath[MAX_PATH] = {}; // /LOG=path; empty: no log
    char folder[MAX_PATH] = {};  // /D=folder; empty: the proposed install folder
};

// True when the arguments are nothing but blanks: the run of the wizard.
bool HasNoArguments(const char* arguments);

// Reads the arguments, the command line after the program's name: options in any order and
// letter case, separated by blanks, `/D=` last and taking the rest of the line as it stands.
// False for an unknown option or module, an option given twice, an empty value or one that
// does not fit its buffer. `silent` is set whenever "/S" is among the words, also on false, so
// that a silent run refused for its arguments still shows nothing.
bool ReadSetupOptions(const char* arguments, SetupOptions& options);
