// The message box, answered by the scripted user.
#include "platform/host/window_manager.h"

int MessageBoxA(HWND, LPCSTR, LPCSTR, UINT) {
    return IDCANCEL;
}
