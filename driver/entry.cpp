#include "driver/entry.h"

#include "driver/catalogue.h"
#include "driver/image_resource.h"
#include "driver/install_sequence.h"
#include "driver/setup_context.h"
#include "driver/setup_options.h"
#include "driver/system_libraries.h"
#include "platform/win32.h"

int RunSetup(const char* arguments) {
    LimitLibrarySearch();
    // Loading comctl32 registers the classes of its controls; the call asks for them.
    if (auto init = EntryPoint<decltype(&InitCommonControls)>(LoadSystemLibrary("comctl32.dll"),
                                                              "InitCommonControls"))
        init();
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    if (HasNoArguments(arguments))
        return RunInstallSequence(context);
    SetupOptions options;
    const bool sound = ReadSetupOptions(arguments, options);
    if (!options.silent || options.help) {
        MessageBoxA(nullptr, ImageText(kUsageText), "NetQuillo Installation",
                    MB_OK | MB_ICONINFORMATION);
        return kExitRefused;
    }
    return RunSilentInstall(context, arguments, options, sound);
}
