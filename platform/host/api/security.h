// Security descriptors, as far as the program makes them: from their text form (SDDL), for
// the folders it creates.
#pragma once

#include "platform/host/win32_types.h"

#define FILE_ATTRIBUTE_REPARSE_POINT 0x00000400
#define SDDL_REVISION_1 1

typedef void* PSECURITY_DESCRIPTOR;
typedef ULONG* PULONG;
typedef void* HLOCAL;

BOOL ConvertStringSecurityDescriptorToSecurityDescriptorA(LPCSTR text, DWORD revision,
                                                          PSECURITY_DESCRIPTOR* descriptor,
                                                          PULONG size);
HLOCAL LocalFree(HLOCAL memory);
