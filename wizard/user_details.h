// The user's registration details: proposed from what an earlier run stored, else from the
// registered owner of Windows and the user's locale, and stored at the end.
#pragma once

#include "platform/win32.h"

constexpr DWORD kUserDetailCapacity = 1024;

struct UserDetails {
    char fullName[kUserDetailCapacity] = {};
    char email[kUserDetailCapacity] = {};
    char company[kUserDetailCapacity] = {};
    char country[kUserDetailCapacity] = {};
};

// A stored `username` value decides between the stored details and the system's.
void LoadUserDetails(UserDetails& details);

// The four values into the shared settings key, empty ones included; false when the key or a
// value could not be written.
bool StoreUserDetails(const UserDetails& details);
