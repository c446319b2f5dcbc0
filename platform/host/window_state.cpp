// State of windows beyond their text and place: enabled, focus, relations, class names.
#include "platform/host/window_manager.h"

BOOL EnableWindow(HWND, BOOL) {
    return FALSE;
}
BOOL IsWindowEnabled(HWND) {
    return TRUE;
}
HWND SetFocus(HWND) {
    return nullptr;
}
HWND GetFocus() {
    return nullptr;
}
HWND GetWindow(HWND, UINT) {
    return nullptr;
}
int GetClassNameA(HWND, LPSTR, int) {
    return 0;
}
LONG GetWindowLongA(HWND window, int index) {
    return static_cast<LONG>(GetWindowLongPtrA(window, index));
}
LONG SetWindowLongA(HWND window, int index, LONG value) {
    return static_cast<LONG>(SetWindowLongPtrA(window, index, value));
}
BOOL SetDlgItemInt(HWND, int, UINT, BOOL) {
    return FALSE;
}
UINT GetDlgItemInt(HWND, int, BOOL* translated, BOOL) {
    if (translated)
        *translated = FALSE;
    return 0;
}
BOOL CheckDlgButton(HWND, int, UINT) {
    return FALSE;
}
UINT IsDlgButtonChecked(HWND, int) {
    return 0;
}
BOOL MapDialogRect(HWND, LPRECT) {
    return FALSE;
}
