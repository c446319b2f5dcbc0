// What the install phase finds in place before it changes anything: the suite's keys and
// values as they were, and the files it writes over, kept beside themselves. A failed run puts
// all of it back, so that a failed reinstall leaves the earlier install as it was; a run that
// succeeds drops what it kept.
#pragma once

#include "platform/win32.h"
#include "registry/reg_key.h"

class RunJournal;
class SetupContext;

class PriorState {
  public:
    PriorState() = default;
    ~PriorState();
    PriorState(const PriorState&) = delete;
    PriorState& operator=(const PriorState&) = delete;

    // Reads every key and value of the suite's that the install phase or the rollback may write
    // or delete for the selected modules. False when any could not be read whole: nothing has
    // been changed yet, and the install must not begin, since it could not be undone.
    bool KeepRegistry(const SetupContext& context);
    // Whether the key was there before the run; false for a key outside what was kept.
    bool KeyExisted(KeyBase base, const char* shortName, const char* subPath) const;
    // Whether the shell's approval of the Find-menu extension was there before the run.
    bool ApprovalExisted() const;
    // Every kept key that was there made again as it was: its values and its subkeys, and
    // nothing else below it.
    void RestoreRegistry() const;

    // Before a payload is written to `path`: a file already there is renamed beside itself,
    // so that no failing disk can lose both copies. False when the file is there but cannot
    // be kept, or when it cannot be told whether it is there.
    bool KeepFile(const char* path);
    // For the rollback: true when `path` is a file this run made where there was none, which
    // the caller removes. A file the run wrote over gets its earlier copy back; one the run
    // never wrote is left alone.
    // Each file is put back once: asked again, it is left alone.
    bool UndoFile(const char* path);
    // Before `folder` is created: a folder not there yet is journalled as the run's. False
    // when the journal could not take it, or it cannot be told whether the folder is there.
    bool NoteFolderToMake(const char* folder);
    // Folders the run created, for the rollback and the uninstall entry. False when the note
    // could not be kept.
    bool NoteFolderMade(const char* folder);
    bool FolderMade(const char* folder) const;
    // How many levels of `folder`, from itself upward, this run created.
    DWORD MadeLevels(const char* folder) const;
    // The run succeeded: the kept copies go, at the next restart where they cannot go now.
    void Drop();

    // From here on each file kept and each folder to make reaches the journal, on disk, before
    // the change it covers; null: memory alone.
    void SetJournal(RunJournal* journal) { journal_ = journal; }
    // The state a cut-off run journalled, taken as this run's own: false when any record is not
    // whole, not of its kind's place, or names a kept copy otherwise than setup names them.
    bool Load(const BYTE* registry, DWORD registrySize, const BYTE* files, DWORD filesSize);

    // A growing run of bytes; once an allocation fails it stays failed.
    struct Buffer {
        BYTE* data = nullptr;
        DWORD size = 0;
        DWORD capacity = 0;
        bool failed = false;
        BYTE* Reserve(DWORD bytes);
        bool Add(const void* bytes, DWORD count);
        bool AddText(const char* text);
    };

    // The kept registry, which the journal's first frame carries.
    const Buffer& KeptRegistry() const { return registry_; }

  private:
    // One file record to the journal: 'F' with `kept`, or 'D'.
    bool Note(char kind, const char* path, const char* kept);
    bool AddFileRecord(char kind, const char* path, const char* kept);

    Buffer registry_;
    Buffer files_;
    RunJournal* journal_ = nullptr;
};
