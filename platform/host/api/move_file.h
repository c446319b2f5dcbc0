// Moving files, and the moves and deletions the system makes at the next restart.
#pragma once

#include "platform/host/win32_types.h"

#define MOVEFILE_REPLACE_EXISTING 0x00000001
#define MOVEFILE_COPY_ALLOWED 0x00000002
#define MOVEFILE_DELAY_UNTIL_REBOOT 0x00000004
#define MOVEFILE_WRITE_THROUGH 0x00000008
#define ERROR_CALL_NOT_IMPLEMENTED 120L

BOOL MoveFileExA(LPCSTR existingFileName, LPCSTR newFileName, DWORD flags);
