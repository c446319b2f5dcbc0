// The install sequence: everything one run does between the process entry's set-up and
// tear-down, in order.
#pragma once

class SetupContext;
struct SetupOptions;

// The wizard and its install. Answers what a package manager that started it would want to
// hear: kExitDiskSpace when it stopped for the temporary drive's space, kExitCancelled when
// the wizard did not finish or the user cancelled over files that other programs hold, else
// kExitInstalled or kExitFailed, the outcome having been shown. A run without arguments
// answers 0 whatever this says.
int RunInstallSequence(SetupContext& context);

// The install with no window at all, every answer the one the wizard would propose on this
// machine but for the modules and the folder that `options` name, through the same checks and
// the same install phase. `sound` is what reading the options answered. Answers kExitInstalled,
// kExitFailed (rolled back), kExitDiskSpace, kExitFilesInUse or kExitRefused (these three:
// nothing written but the log).
int RunSilentInstall(SetupContext& context, const char* arguments, const SetupOptions& options,
                     bool sound);
