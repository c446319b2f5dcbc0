// One setup or uninstaller at a time on the whole machine: two installs, or an install and a
// removal, that interleave their files and keys leave neither whole. docs/security.md says why
// the lock is made as it is.
#pragma once

#include "platform/win32.h"

class InstanceLock {
  public:
    // Takes the lock; it is held until the object goes, or the process ends.
    InstanceLock();
    ~InstanceLock();
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // True when another setup or uninstaller holds the lock. An object of the lock's name
    // that a program without administrator rights made first does not count.
    bool HeldElsewhere() const { return heldElsewhere_; }

  private:
    HANDLE handle_ = nullptr;
    bool heldElsewhere_ = false;
};
