// Deletions that the platform carries out at the next restart: scheduled by the rollback,
// withdrawn again for files that a later successful install put back.
#pragma once

class SetupContext;

// Key numbers are single hexadecimal digits, 1 to 15, so that "NQn" becomes "NUL" in place. The
// rollback takes 1 (the library) and 2 up to 7 (the uninstallers), a run's kept copies 10.
//
// On the 95 family writes a "wininit.ini" entry under the key "NQ<keyNumber in hex>" and sets
// `wininitWritten`; on the NT family asks MoveFileExA for the deletion. False when the deletion
// could not be scheduled.
bool ScheduleDeleteAtRestart(const char* path, unsigned keyNumber, bool& wininitWritten);
// Flushes the profile cache, then turns the "NQn" keys into "NUL". False when the file could not
// be edited to its end: an entry left under its own key would not delete its file at restart but
// rename it, so the caller withdraws such entries (WithdrawWininitEntry) and deletes at once.
bool FinishWininitEntries();
bool RewriteWininitKeys();
// Removes the "wininit.ini" entry written under the key "NQ<keyNumber in hex>", if it is there.
void WithdrawWininitEntry(unsigned keyNumber);
// Deletes a file of ours now, or, when the system refuses, at the next restart; on the 95 family
// the entry is finished at once, so the key number is free again afterwards.
void DeleteNowOrAtRestart(const char* path, unsigned keyNumber);
const unsigned kKeptCopyKey = 10;
const unsigned kJournalKey = 11;
// Has the system move `from` over `to` at the next restart, replacing what is there; on the NT
// family only: the 95 family's "wininit.ini" renames go unscheduled, and `from` stays beside.
bool ScheduleReplaceAtRestart(const char* from, const char* to);
// Withdraws pending deletions of the selected modules' uninstallers and of the library.
void CancelPendingDeletes(SetupContext& context);
// Whether a pending-deletion entry names one of the installed files of the current context:
// by short path prefix (95 family), or as the whole path, with or without the "\??\" prefix
// and ignoring the case of ASCII letters (NT family). On the NT family only deletions of such
// paths are withdrawn; every other entry of the pending list stays as it was, character for
// character.
bool MatchesInstalledFile(const char* entry, bool shortForm);
