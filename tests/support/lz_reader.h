// The one LZ read loop of the tests: a file expanded through LZOpenFileA, LZRead and LZClose
// in the 1024-byte reads the payload extractor makes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

// The expanded bytes go to `out`; the answer is their count, or the negative LZ code of the
// open or of the first read that failed.
INT ReadThroughLz(const std::string& path, std::vector<uint8_t>& out);
