// The applier of a module's registry patch text: reads the text once and writes each line's
// effect into the registry as soon as the line is read.
#pragma once

#include <cstddef>

#include "platform/win32.h"

// Limits of the patch text, each with room for a terminating zero where it is a string.
constexpr DWORD kPatchNameCapacity = 1024;         // section and value names: 1,023 characters
constexpr DWORD kPatchListCapacity = 2048;         // numbers, bytes, index and indices entries
constexpr DWORD kPatchMultiStringCapacity = 65536; // a stored strings value, final zero included

// Where and why `Apply` stopped: the 1-based line and column of the offending character (lines
// counted as an editor counts them) and a static text naming what the format expected there.
struct PatchStop {
    DWORD line = 0;
    DWORD column = 0;
    size_t offset = 0; // bytes from the start of the text
    const char* expected = nullptr;
};

class RegPatch {
  public:
    // Applies `text` (zero-terminated) as the patch of the module `shortName`. Values before
    // the first section line go to that module's key. Stops at the first error, keeping what
    // the lines before it wrote; a wrong header writes nothing. `stop`, when given, tells
    // where and why a false answer stopped.
    bool Apply(const char* shortName, const char* text, PatchStop* stop = nullptr);
};
