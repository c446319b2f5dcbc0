#include <cstdint>

#include "platform/host/emulation.h"
#include "platform/host/win32_api.h"

namespace {

// Stock icons and cursors are shared handles that are never destroyed.
const uintptr_t kStockBase = 0x7F000;

bool IsStockName(LPCSTR name) {
    const uintptr_t id = reinterpret_cast<uintptr_t>(name);
    return IS_INTRESOURCE(name) && id >= 32512 && id <= 32650;
}

HANDLE StockHandle(LPCSTR name) {
    return reinterpret_cast<HANDLE>(kStockBase + reinterpret_cast<uintptr_t>(name));
}

} // namespace

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
    if (DWORD error = hostemu::detail::CheckFault("LoadIconA")) {
        SetLastError(error);
        return nullptr;
    }
    if (!instance) {
        if (IsStockName(name))
            return reinterpret_cast<HICON>(StockHandle(name));
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    HRSRC group = FindResourceA(instance, name, RT_GROUP_ICON);
    if (!group)
        return nullptr;
    // The group's resource handle stands for the icon: unique, and alive as long as the image.
    return reinterpret_cast<HICON>(group);
}

HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name) {
    if (DWORD error = hostemu::detail::CheckFault("LoadCursorA")) {
        SetLastError(error);
        return nullptr;
    }
    if (!instance && IsStockName(name))
        return reinterpret_cast<HCURSOR>(StockHandle(name));
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
}
