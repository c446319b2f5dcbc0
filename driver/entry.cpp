#include "driver/entry.h"

#include "driver/catalogue.h"
#include "driver/install_sequence.h"
#include "driver/setup_context.h"
#include "driver/system_libraries.h"
#include "platform/win32.h"

int RunSetup() {
    LimitLibrarySearch();
    // Loading comctl32 registers the classes of its controls; the call asks for them.
    if (auto init = EntryPoint<decltype(&InitCommonControls)>(LoadSystemLibrary("comctl32.dll"),
                                                              "InitCommonControls"))
        init();
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    return RunInstallSequence(context);
}
