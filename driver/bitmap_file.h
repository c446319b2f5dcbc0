// Reading a .bmp file into a device-independent bitmap: the backdrop picture beside the program
// and the wizard's picture, which setup carries as a payload.
#pragma once

#include "platform/win32.h"

// A DIB section holding the picture of the file at `path`, or null when the file is missing,
// unreadable, not a bitmap, or of a layout the reader does not take. The caller deletes the
// bitmap with DeleteObject. A file that ends early leaves the rest of the picture blank.
HBITMAP LoadBitmapFile(const char* path);
// The same from the open file `file` (read access), read from its start; the handle stays open.
HBITMAP LoadBitmapHandle(HANDLE file);
