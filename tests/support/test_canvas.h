// A picture to paint into and read back pixel by pixel, the same on Windows and the emulation.
#pragma once

#include "platform/win32.h"

// A 32-bit, top-down DIB section of `width` by `height` pixels; `bits` points at its first row.
// Null when it cannot be made.
inline HBITMAP CreateTestCanvas(LONG width, LONG height, void** bits) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}
