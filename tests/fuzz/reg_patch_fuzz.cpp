// Any text through the registry patch applier: it must answer true or false, never read or
// write outside the text and its buffers, and tell a place inside the text when it stops.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/host/emulation.h"
#include "registry/reg_patch.h"
#include "tests/fuzz/fresh_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FreshMachine machine;
    // The applier sees a zero-terminated text, as setup hands it over; an exact-size heap copy
    // lets the sanitizer catch any read past its zero.
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t length = text.find('\0');
    if (length == std::string::npos)
        length = size;
    RegPatch patch;
    PatchStop stop;
    if (!patch.Apply("Web", text.c_str(), &stop)) {
        if (stop.expected == nullptr || stop.offset > length || stop.line == 0 ||
            stop.column == 0 || stop.column > stop.offset + 1)
            std::abort();
    }
    return 0;
}
