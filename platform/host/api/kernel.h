// Kernel: the thread's error code and the system's folders.
#pragma once

#include "platform/host/win32_types.h"

DWORD GetLastError();
void SetLastError(DWORD error);
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
DWORD GetTickCount();
