#include "driver/entry.h"

#include "driver/catalogue.h"
#include "driver/install_sequence.h"
#include "driver/setup_context.h"
#include "platform/win32.h"

int RunSetup() {
    InitCommonControls();
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    return RunInstallSequence(context);
}
