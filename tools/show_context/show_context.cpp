// Prints the setup context that a run builds on this machine: the suite, the library path and
// each module's row, in catalogue order.
#include <cstdio>

#include "driver/setup_context.h"

int main() {
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    std::printf("%s: %u modules\n", GetSuiteName(), static_cast<unsigned>(context.moduleCount));
    std::printf("Find-menu library: %s\n", context.findMenuLibraryPath.get());
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        const ModuleRow& row = context.modules[i];
        std::printf("\n[%u] %s (%s)%s\n", static_cast<unsigned>(i), row.productName.get(),
                    row.shortName.get(), context.selected[i] ? ", selected" : "");
        std::printf("    files:       %s, %s, %s\n", row.programFile.get(), row.helpFile.get(),
                    row.contentsFile.get());
        std::printf("    uninstaller: %s\n", row.uninstallerPath.get());
        std::printf("    Find menu:   \"%s\" - %s\n", row.findMenuCaption.get(),
                    row.description.get());
        std::printf("    payloads:    %u..%u\n", static_cast<unsigned>((i + 1) * 1000),
                    static_cast<unsigned>((i + 1) * 1000 + 3));
    }
    return 0;
}
