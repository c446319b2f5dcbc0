// The install sequence: everything one run does between the process entry's set-up and
// tear-down, in order.
#pragma once

class SetupContext;
struct SetupOptions;

// The wizard and its install. Answers 0 whatever the outcome.
int RunInstallSequence(SetupContext& context);

// The install with no window at all, every answer the one the wizard would propose on this
// machine but for the modules and the folder that `options` name, through the same checks and
// the same install phase. `sound` is what reading the options answered. Answers kExitInstalled,
// kExitFailed (rolled back) or kExitRefused (nothing written but the log).
int RunSilentInstall(SetupContext& context, const char* arguments, const SetupOptions& options,
                     bool sound);
