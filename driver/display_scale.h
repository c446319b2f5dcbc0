// Pictures keep their own size on a display of the usual 96 dots an inch. On a denser one the
// dialogs have grown with their font (the program tells Windows that it knows the system's DPI,
// so Windows does not enlarge its windows as blurred bitmaps), and the pictures grow in the
// same measure, so that they fill the same share of the window as at 96.
#pragma once

#include "platform/win32.h"

// `pixels` of a picture as drawn on `dc`.
LONG ScaledForDisplay(HDC dc, LONG pixels);

// Readies `dc` for drawing a picture larger than its own size: averaged colours, not dropped
// rows and columns. The 95 family knows no such mode and keeps its own.
void PrepareToEnlarge(HDC dc);
