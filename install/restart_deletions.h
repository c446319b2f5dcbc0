// Deletions that the platform carries out at the next restart: scheduled by the rollback,
// withdrawn again for files that a later successful install put back.
#pragma once

class SetupContext;

// On the 95 family writes a "wininit.ini" entry under the key "NQ<keyNumber in hex>" and sets
// `wininitWritten`; on the NT family asks MoveFileExA for the deletion.
void ScheduleDeleteAtRestart(const char* path, unsigned keyNumber, bool& wininitWritten);
// Flushes the profile cache, then turns the "NQn" keys into "NUL".
void FinishWininitEntries();
void RewriteWininitKeys();
// Withdraws pending deletions of the selected modules' uninstallers and of the library.
void CancelPendingDeletes(SetupContext& context);
// Whether a pending-deletion entry names one of the installed files of the current context:
// by short path prefix (95 family) or full path anywhere in the entry (NT family).
bool MatchesInstalledFile(const char* entry, bool shortForm);
