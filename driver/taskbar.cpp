// Asks the taskbar to rebuild its menus, so that the Find menu shows the suite's entries as
// they now stand in the registry.
#include "driver/shell_helpers.h"

namespace {
// The taskbar's own command for refreshing its menus: low word 41061, high word 1.
const WPARAM kRefreshMenusCommand = 0x1A065;
} // namespace

void NotifyTaskbar() {
    HWND taskbar = FindWindowExA(nullptr, nullptr, "Shell_TrayWnd", nullptr);
    if (taskbar)
        SendMessageA(taskbar, WM_COMMAND, kRefreshMenusCommand, 0);
}
