// Key paths and short names of any length and content through the registry key wrapper: it
// must refuse what does not fit and never read or write outside its buffers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/host/emulation.h"
#include "registry/reg_key.h"
#include "tests/fuzz/fresh_machine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FreshMachine machine;
    std::string input(reinterpret_cast<const char*>(data), size);
    size_t split = input.find('\n');
    std::string shortName = input.substr(0, split);
    std::string subPath = split == std::string::npos ? std::string() : input.substr(split + 1);
    shortName = shortName.c_str(); // the wrapper sees zero-terminated strings
    subPath = subPath.c_str();
    RegKey key(shortName.c_str());
    int base = size > 0 ? data[0] % 8 : 0;
    if (key.Open(static_cast<KeyBase>(base), subPath.c_str(), false)) {
        key.WriteString(subPath.c_str(), shortName.c_str());
        char text[16];
        key.ReadString(subPath.c_str(), text, sizeof text);
        key.HasSubkeys();
    }
    key.DeleteKey(static_cast<KeyBase>(base), subPath.c_str());
    return 0;
}
