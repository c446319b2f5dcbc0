// Windows image files written byte by byte, so they come out the same on any build machine.
#pragma once

#include <vector>

#include "picture.h"

// A bitmap file: 8 bits a pixel, 40-byte info header, the full 256-colour table (colours used
// 0), pixel bits at offset 1078, rows bottom up.
bool WriteBitmapFile(const IndexedImage& image, const char* path);

// An icon file holding each image (8 bits a pixel with a transparency mask).
bool WriteIconFile(const std::vector<IndexedImage>& images, const char* path);
