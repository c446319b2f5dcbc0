// Which family of Windows the program runs on.
#include "driver/shell_helpers.h"

bool IsWin9xPlatform() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    // A failed call leaves the platform identifier 0, which reads as the NT family.
    GetVersionExA(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}
