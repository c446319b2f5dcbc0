#include "driver/entry.h"

#include "driver/catalogue.h"
#include "driver/image_resource.h"
#include "driver/install_sequence.h"
#include "driver/setup_context.h"
#include "driver/setup_options.h"
#include "driver/system_libraries.h"
#include "platform/win32.h"

int RunSetup(const char* arguments) {
    // A drive without a disc answers its callers instead of stopping a silent run at a box
    // that nobody is there to close.
    SetErrorMode(SEM_FAILCRITICALERRORS);
    LimitLibrarySearch();
    // Loading comctl32 registers the classes of its controls; the call asks for them.
    if (auto init = EntryPoint<decltype(&InitCommonControls)>(LoadSystemLibrary("comctl32.dll"),
                                                              "InitCommonControls"))
        init();
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    SetupOptions options;
    const bool sound = !HasNoArguments(arguments) && ReadSetupOptions(arguments, options);
    if (options.help) {
        MessageBoxA(nullptr, ImageText(kUsageText), "NetQuillo Installation",
                    MB_OK | MB_ICONINFORMATION);
        return kExitRefused;
    }
    // Without "/S" setup is the wizard, whatever a launcher put on its command line.
    if (!options.silent)
        return RunInstallSequence(context);
    return RunSilentInstall(context, arguments, options, sound);
}
