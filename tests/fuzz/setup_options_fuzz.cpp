// Any bytes as setup's arguments: reading them must answer, leave both paths terminated within
// their buffers, name only modules of the catalogue, and never take a log path with a quote.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "driver/catalogue.h"
#include "driver/setup_options.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string line(reinterpret_cast<const char*>(data), size);
    line = line.substr(0, line.find('\0'));
    SetupOptions options;
    std::memset(options.logPath, 'x', sizeof options.logPath);
    std::memset(options.folder, 'x', sizeof options.folder);
    const bool sound = ReadSetupOptions(line.c_str(), options);
    if (std::memchr(options.logPath, '\0', sizeof options.logPath) == nullptr ||
        std::memchr(options.folder, '\0', sizeof options.folder) == nullptr)
        std::abort();
    if (options.modules >> kCatalogueRowCount != 0)
        std::abort();
    if (sound && std::strchr(options.logPath, '"') != nullptr)
        std::abort();
    // Nothing but blanks is the wizard's run, never a refusal.
    if (HasNoArguments(line.c_str()) && !sound)
        std::abort();
    return 0;
}
