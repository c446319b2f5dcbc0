// Icons and cursors: what a window class names for its look. The emulation draws neither; it
// answers handles for what exists, so a program that names an icon its image lacks fails as
// it would on Windows.
#pragma once

#include "platform/host/win32_types.h"

#define IDC_ARROW MAKEINTRESOURCEA(32512)
#define IDI_APPLICATION MAKEINTRESOURCEA(32512)

// An icon group of the module's image, or with no module one of the system's stock icons.
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
// With no module, one of the system's stock cursors; the program carries no cursors.
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
