// The host emulation's declarations of the Win32 calls the program makes: the same names,
// types and meanings as the Windows SDK, implemented over an in-memory model of Windows.
// One header per area of the API, as the SDK splits them.
#pragma once

#include "platform/host/win32_types.h"

#include "platform/host/api/code_pages.h"
#include "platform/host/api/com.h"
#include "platform/host/api/commctrl.h"
#include "platform/host/api/controls.h"
#include "platform/host/api/files.h"
#include "platform/host/api/gdi.h"
#include "platform/host/api/icons.h"
#include "platform/host/api/kernel.h"
#include "platform/host/api/libraries.h"
#include "platform/host/api/locale.h"
#include "platform/host/api/lz.h"
#include "platform/host/api/move_file.h"
#include "platform/host/api/profile.h"
#include "platform/host/api/registry.h"
#include "platform/host/api/resources.h"
#include "platform/host/api/restart_manager.h"
#include "platform/host/api/security.h"
#include "platform/host/api/shell.h"
#include "platform/host/api/sync.h"
#include "platform/host/api/user.h"
#include "platform/host/api/version.h"
#include "platform/host/api/windows.h"
