// The maximised window behind the wizard: a blue gradient from top to bottom with the optional
// backdrop picture in its top-left corner.
#pragma once

#include "platform/win32.h"

// The window procedure of the class "QUILLOSETUPWNDCLASS". It keeps no state: the picture is
// the current context's backdrop bitmap, read again on every paint.
LRESULT CALLBACK BackdropWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// 255 bands from pure blue at the top down to blue 1, each client height / 255 + 1 pixels high,
// so that they always reach the bottom edge.
void PaintGradient(HDC dc, const RECT& client);
