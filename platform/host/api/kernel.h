// Kernel: the thread's error code and the system's folders.
#pragma once

#include "platform/host/win32_types.h"

DWORD GetLastError();
void SetLastError(DWORD error);
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
DWORD GetTickCount();
// Waits: the machine's clock moves on by that many milliseconds at once.
void Sleep(DWORD milliseconds);
#define SEM_FAILCRITICALERRORS 0x0001
#define SEM_NOGPFAULTERRORBOX 0x0002
#define SEM_NOOPENFILEERRORBOX 0x8000
// The process's error mode: which system boxes its failing calls may show.
UINT SetErrorMode(UINT mode);
UINT GetErrorMode();
