// The registry patch texts the program carries, compiled in as data by the build from the same
// files the resource script names, so that tests, tools and benchmarks have them on every
// platform.
#pragma once

#include <cstddef>

#include "platform/win32.h"

struct CarriedPatchText {
    const char* shortName; // the module the patch belongs to
    WORD resourceId;       // its "CUSTOM" resource in the image
    const char* fileName;  // its file in resources/patches/
    const char* text;      // zero-terminated
    size_t size;           // bytes of the file, without the added zero
};

constexpr size_t kCarriedPatchCount = 5;

// In catalogue order: Web, Email, Phone, File, IRC (News carries none).
extern const CarriedPatchText kCarriedPatchTexts[kCarriedPatchCount];
