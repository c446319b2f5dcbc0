// A stand-in for what the branch building the Find-menu registration provides; this file goes
// when that branch's rollback code is merged.
#include "install/rollback.h"
#include "platform/win32.h"

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
