// A file of setup's own in the temporary folder, which every program of the user can write
// in: made new under a name that nobody had taken (so never through a link someone left
// there), opened for setup alone, and gone when its handle closes. What setup puts in it can
// be neither read, changed, replaced nor deleted by anyone else while setup uses it, and is
// only ever reached through this handle, never by its name again.
#pragma once

#include "platform/win32.h"

class TemporaryFile {
  public:
    TemporaryFile();
    // Makes the file; false, and Handle() INVALID_HANDLE_VALUE, when none could be made.
    bool Create();
    // Closes the handle if it is still held. The NT family has deleted the file at the close;
    // on the 95 family, where no link can stand in for it, it is deleted by name. A file that
    // cannot be deleted stays where it is: a deletion at restart of a path in a folder the
    // user can write would delete whatever the user put there by then, with the system's
    // rights.
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    HANDLE Handle() const { return handle_; }
    const char* Path() const { return path_; }
    // For a call that closes the handle itself (LZClose does): the file no longer holds it.
    HANDLE HandOver();

  private:
    HANDLE handle_;
    char path_[MAX_PATH];
};
