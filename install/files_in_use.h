// Files that another program holds, found before the install phase writes anything, so that
// the user (or the administrator's options) can decide instead of the install failing on the
// first such file and rolling back.
#pragma once

#include "platform/win32.h"

class SetupContext;

class FilesInUse {
  public:
    // Most files one run writes over: four for each of the six modules.
    static const DWORD kMaxFiles = 24;

    FilesInUse() = default;
    FilesInUse(const FilesInUse&) = delete;
    FilesInUse& operator=(const FilesInUse&) = delete;

    // Looks at every file the install phase will write over for the selected modules, whose
    // install paths are formed. True when none is held so that the write would fail. On false,
    // the holders are named: the programs as the Restart Manager names them where it can, else
    // the files.
    bool Check(const SetupContext& context);
    // The names, one a line, each line ended by `separator`; as much as fits in `size`.
    void Names(char* text, size_t size, const char* separator) const;
    // Whether the names are programs rather than files.
    bool NamesPrograms() const { return programs_; }
    // Whether the Restart Manager may ask every program named to close.
    bool CanClose() const { return canClose_; }
    // Asks the programs that hold the files to close, as the Restart Manager asks them, never
    // forcing one; then looks again, `checks` times at most, waiting `wait` milliseconds
    // between two. True when the files are free.
    bool CloseHoldersAndWait(const SetupContext& context, DWORD checks, DWORD wait);

  private:
    void NameHolders();

    char held_[kMaxFiles][MAX_PATH] = {};
    DWORD heldCount_ = 0;
    char names_[kMaxFiles][MAX_PATH] = {};
    DWORD nameCount_ = 0;
    DWORD moreNames_ = 0; // programs named beyond those kept
    bool programs_ = false;
    bool canClose_ = false;
};
