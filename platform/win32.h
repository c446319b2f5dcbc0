// The one header product code includes for the Win32 API. On Windows it is the SDK; on any
// other host it is our emulation, which declares exactly the same names with the same types,
// constants and meanings.
#pragma once

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <aclapi.h>
#include <commctrl.h>
#include <lzexpand.h>
#include <restartmanager.h>
#include <sddl.h>
#include <shlobj.h>
#else
#include "platform/host/win32_api.h"
#endif
