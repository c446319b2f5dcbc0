// Who owns an object that setup finds already there: an elevated setup must not take another
// user's file or lock for its own.
#pragma once

#include "platform/win32.h"

enum class Owners {
    Administrators,      // the Administrators group or SYSTEM: nobody without those rights
    AdministratorsOrCaller // those, or the user setup runs as (Wine gives an administrator's
                           // files to the user, not to the group)
};

// Whether the object open as `handle` (a file or a kernel object, as `type` says) belongs to
// one of `owners`. Where the calls to ask are missing (the 95 family, which has no owners) the
// answer is yes: there is nobody else to tell apart.
bool OwnedBy(HANDLE handle, SE_OBJECT_TYPE type, Owners owners);
