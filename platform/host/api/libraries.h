// Loading libraries and finding their entry points by name.
#pragma once

#include "platform/host/win32_types.h"

#define ERROR_PROC_NOT_FOUND 127L
#define LOAD_LIBRARY_SEARCH_SYSTEM32 0x00000800

typedef INT_PTR(WINAPI* FARPROC)();

HMODULE LoadLibraryA(LPCSTR fileName);
BOOL FreeLibrary(HMODULE module);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL SetDefaultDllDirectories(DWORD directoryFlags);
BOOL SetDllDirectoryA(LPCSTR path);
