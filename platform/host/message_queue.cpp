// The thread's message queue: posted messages and timers.
#include "platform/host/window_manager.h"

BOOL PostMessageA(HWND, UINT, WPARAM, LPARAM) {
    return FALSE;
}
BOOL GetMessageA(LPMSG, HWND, UINT, UINT) {
    return FALSE;
}
BOOL PeekMessageA(LPMSG, HWND, UINT, UINT, UINT) {
    return FALSE;
}
BOOL TranslateMessage(const MSG*) {
    return FALSE;
}
LRESULT DispatchMessageA(const MSG*) {
    return 0;
}
BOOL IsDialogMessageA(HWND, LPMSG) {
    return FALSE;
}
void PostQuitMessage(int) {}
UINT_PTR SetTimer(HWND, UINT_PTR, UINT, TIMERPROC) {
    return 0;
}
BOOL KillTimer(HWND, UINT_PTR) {
    return FALSE;
}
