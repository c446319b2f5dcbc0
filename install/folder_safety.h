// Folders that setup makes, or deletes from, as administrator where users without rights may
// have had a say: a level of an install path that is a junction or symbolic link leads
// somewhere else than its name says, and a folder made outside the program-files folder
// inherits whatever its parent lets users do.
#pragma once

#include "platform/win32.h"

// Whether an existing level of `path` (a drive or network path, with or without a trailing
// backslash, the last level included) is a reparse point. Levels that do not exist do not
// count, nor does a volume's root.
bool PassesThroughReparsePoint(const char* path);

// The security attributes for the folder levels that setup creates for `installPath`: on the
// NT family, when the path lies outside the program-files folder, a protected access list
// (SYSTEM and Administrators full control, Users read and execute, for the folder and all it
// holds), so that no user without rights can replace a program that others start. Elsewhere
// none: a folder inherits its parent's list.
class FolderSecurity {
  public:
    explicit FolderSecurity(const char* installPath);
    ~FolderSecurity();
    FolderSecurity(const FolderSecurity&) = delete;
    FolderSecurity& operator=(const FolderSecurity&) = delete;

    // Null when the folders take their parent's list.
    LPSECURITY_ATTRIBUTES Attributes() {
        return attributes_.lpSecurityDescriptor ? &attributes_ : nullptr;
    }

  private:
    SECURITY_ATTRIBUTES attributes_;
};
