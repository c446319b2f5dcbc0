// Undoing a failed install: registry first, then files.
#pragma once

class SetupContext;

// True when no module of the suite is left registered in the Find-menu group.
bool IsFindGroupEmpty();
void RollBackRegistry(SetupContext& context);
void RollBackFiles(SetupContext& context);
