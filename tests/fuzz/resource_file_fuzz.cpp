// Any bytes as a compiled resource file and as a dialog template: the readers must refuse
// what is malformed and never read outside the input.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/host/dialog_template.h"
#include "platform/host/resource_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly the input's size, so that any read past it is caught.
    std::vector<uint8_t> bytes(data, data + size);
    std::vector<hostemu::ResourceEntry> entries;
    if (hostemu::ParseResourceFile(bytes.data(), bytes.size(), entries)) {
        for (const hostemu::ResourceEntry& entry : entries) {
            hostemu::DialogTemplate dialog;
            hostemu::ParseDialogTemplate(entry.data, entry.size, dialog);
        }
    }
    hostemu::DialogTemplate dialog;
    hostemu::ParseDialogTemplate(bytes.data(), bytes.size(), dialog);
    return 0;
}
