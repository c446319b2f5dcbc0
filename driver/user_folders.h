// The user's temporary folder and desktop as the program's 8-bit calls can reach them.
//
// Where the process code page cannot write a folder's name (an NT system that keeps its ANSI
// code page, a user "Michał" on the Western one), the 8-bit calls answer the name with '?' or a
// look-alike letter, which names nothing. Such a folder is reached by its short name; without
// one it cannot be reached at all, and setup refuses before it writes anything.
#pragma once

#include "platform/win32.h"

// The temporary folder with its trailing backslash; answers its length, or 0 when it cannot be
// named (unknown, too long, or unreachable as above).
DWORD TemporaryFolder(char (&path)[MAX_PATH]);
// The desktop folder; false when the shell cannot name it or it is unreachable as above.
bool DesktopFolder(HWND owner, char (&path)[MAX_PATH]);
// What setup names when one of these folders exists but cannot be reached: "The temporary
// folder" or "The desktop folder"; null when both can be (or the system cannot tell).
const char* UnreachableUserFolder();
