// The install sequence: everything one run does between the process entry's set-up and
// tear-down, in order. Answers 0 whatever the outcome.
#pragma once

class SetupContext;

int RunInstallSequence(SetupContext& context);
