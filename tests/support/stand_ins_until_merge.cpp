// Stand-ins for what the branch building the Find-menu and platform-family code provides; this
// file goes when that branch is merged.
#include "driver/shell_helpers.h"
#include "install/rollback.h"
#include "tests/support/test_world.h"

bool IsWin9xPlatform() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS;
}

bool IsFindGroupEmpty() {
    HKEY key;
    if (RegOpenKeyExA(
            HKEY_LOCAL_MACHINE,
            "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Quillos", 0,
            KEY_READ, &key) != ERROR_SUCCESS)
        return true;
    char name[1024];
    DWORD length = sizeof name;
    bool empty = RegEnumKeyExA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) ==
                 ERROR_NO_MORE_ITEMS;
    RegCloseKey(key);
    return empty;
}

bool UseWin9xFamily() {
    return IsWin9xPlatform();
}
