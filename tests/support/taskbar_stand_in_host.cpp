// The host emulation has no window manager yet, so no taskbar window to find: the
// notification has nothing to do there. Goes when the emulated windows arrive.
#include "driver/shell_helpers.h"

void NotifyTaskbar() {}
