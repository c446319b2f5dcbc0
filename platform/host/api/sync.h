// Named kernel objects, as far as the program uses them: a mutex whose name says that a setup
// runs, and the owner of one that already existed.
#pragma once

#include "platform/host/api/security.h"

#define SE_KERNEL_OBJECT_VALUE 6
enum SE_OBJECT_TYPE {
    SE_UNKNOWN_OBJECT_TYPE = 0,
    SE_FILE_OBJECT = 1,
    SE_KERNEL_OBJECT = SE_KERNEL_OBJECT_VALUE
};
typedef DWORD SECURITY_INFORMATION;
#define OWNER_SECURITY_INFORMATION 0x00000001L
typedef void* PSID;
typedef void* PACL;

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES attributes, BOOL initialOwner, LPCSTR name);
DWORD GetSecurityInfo(HANDLE handle, SE_OBJECT_TYPE type, SECURITY_INFORMATION information,
                      PSID* owner, PSID* group, PACL* dacl, PACL* sacl,
                      PSECURITY_DESCRIPTOR* descriptor);
BOOL ConvertSidToStringSidA(PSID sid, LPSTR* text);
