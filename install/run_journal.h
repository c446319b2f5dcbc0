// The install phase's journal: what the rollback keeps, on disk, so that a run cut off where no
// rollback runs (the power goes, the process is ended, it crashes) is undone by the next start.
//
// The file is a run of frames after an eight-byte tag, each its payload's length, a CRC-32 of
// length and payload, and the payload, written and flushed before the change it covers:
//   'H' module count, selected modules (a bit each), each selected module's install folder,
//       then the kept registry as the rollback keeps it
//   'F' / 'D' one file or folder record as the rollback keeps it
//   'C' the install is whole: a cut-off run is finished, not undone
// A frame that does not lie whole within the file, or whose sum differs, is where the run was
// cut off while writing: it and what follows are not taken. The journal lives in the Windows
// folder, where on the NT family only administrators may write, and is the last thing a run
// removes.
#pragma once

#include "install/prior_state.h"
#include "platform/win32.h"

class SetupContext;

class RunJournal {
  public:
    RunJournal() = default;
    // Closes the file and leaves it: only Remove ends a journal.
    ~RunJournal();
    RunJournal(const RunJournal&) = delete;
    RunJournal& operator=(const RunJournal&) = delete;

    // Creates the journal with its first frame, before the install phase changes anything.
    // False when it could not be written whole, or a journal is there already: the install
    // must not begin.
    bool Begin(const SetupContext& context, const PriorState& prior);
    // One record, on disk when this answers true.
    bool Add(const void* record, DWORD size);
    // The install is whole: from here a cut-off run is finished rather than undone.
    bool Commit();
    // The run has ended, either way: the journal goes, last of all.
    void Remove();

  private:
    bool WriteAll(const PriorState::Buffer& bytes);
    bool WriteFrame(char kind, const void* body, DWORD size);
    HANDLE file_ = INVALID_HANDLE_VALUE;
    // Named once, at the start: its end needs no call that could fail to name it.
    char path_[MAX_PATH] = "";
};

// What a journal's bytes hold, pointing into them.
struct JournalContents {
    DWORD moduleCount = 0;
    DWORD selected = 0; // bit i: module i
    const char* installPaths[32] = {};
    const BYTE* registry = nullptr;
    DWORD registrySize = 0;
    PriorState::Buffer files; // the file records, gathered from their frames
    bool committed = false;
    ~JournalContents();
};

enum class JournalRead {
    Whole,    // a first frame whole, with whatever records followed it whole
    Unbegun,  // cut off in its first frame: nothing had been changed
    Refused,  // not setup's journal, or a frame whole but not well formed
};

// The journal's tag, and one frame of `kind` around `body`, appended to `out`; false when there
// is no memory for them. The writer and the tests build journals alike through these.
bool AppendJournalTag(PriorState::Buffer& out);
bool AppendJournalFrame(PriorState::Buffer& out, char kind, const void* body, DWORD size);

// Reads a journal's bytes; `moduleCount` is this program's. The records themselves are checked
// when the rollback takes them (PriorState::Load).
JournalRead ReadJournal(const BYTE* data, DWORD size, DWORD moduleCount, JournalContents& out);

enum class JournalRepair {
    None,       // no journal, or one cut off before the run changed anything
    RolledBack, // a cut-off run undone: the machine as it was before it
    Completed,  // a cut-off run that was whole: its kept copies gone
    Refused,    // a file there that is not setup's own journal: deleted unread
};

// The first thing setup and each uninstaller do after the checks before the backdrop: finds the
// journal of a run that was cut off and puts the machine back with the rollback a failed run
// uses, then removes the journal. Cut off itself, the repair is done again by the next start.
JournalRepair RepairCutOffRun(SetupContext& context);
// The one line that tells the user, or null for None.
const char* RepairMessage(JournalRepair repair);
