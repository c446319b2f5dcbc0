// Undoing a failed install: registry first, then files.
#pragma once

#include "registry/reg_key.h"

class SetupContext;

// Removes a key that the suite's install may have made. During a run, a key that was there
// before is left for the restore, and one the run made goes with everything below it; with no
// run to undo (the uninstaller), `ownTree` says whether what lies below is the module's own.
void RemoveSuiteKey(const char* shortName, KeyBase base, const char* subPath, bool ownTree);

// True when no module of the suite is left registered in the Find-menu group.
bool IsFindGroupEmpty();
void RollBackRegistry(SetupContext& context);
void RollBackFiles(SetupContext& context);
// Both, registry first: the file half asks the Find-menu group whether the shared files go.
void RollBack(SetupContext& context);
