// The compiled resource file (.res) that windres makes: the same resources the real image
// carries, read by the emulation's resource calls.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/host/win32_types.h"

namespace hostemu {

// A resource's type or name: a 16-bit number or an upper-cased string.
struct ResourceKey {
    bool isNumber = true;
    WORD number = 0;
    std::string text;
};

struct ResourceEntry {
    ResourceKey type;
    ResourceKey name;
    WORD language = 0;
    const BYTE* data = nullptr;
    DWORD size = 0;
};

// Reads every entry of a .res image; false, with `entries` cleared, when the image is
// malformed anywhere. The entries point into `image`.
bool ParseResourceFile(const BYTE* image, size_t size, std::vector<ResourceEntry>& entries);

// The program's own compiled resources, embedded at build time.
const std::vector<ResourceEntry>& ImageResources();

} // namespace hostemu
