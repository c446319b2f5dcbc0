#include "driver/entry.h"

#include "driver/catalogue.h"
#include "driver/install_sequence.h"
#include "driver/setup_context.h"
#include "driver/setup_options.h"
#include "platform/win32.h"

namespace {

const char kUsage[] =
    "NetQuilloSetup.exe installs the NetQuillo suite. Started without options it leads you "
    "through the installation. The options install without any window:\n\n"
    "/S\tinstall silently, taking every answer that setup proposes\n"
    "/MODULES=Web,News\tonly these modules, by short name: Web, Email, Phone, File, News, "
    "IRC (all when absent)\n"
    "/LOG=path\twrite a log of every step (a path with blanks in double quotes)\n"
    "/D=folder\tthe install folder; the last option, the rest of the line, no quotes\n"
    "/?\tthis message\n\n"
    "Exit codes: 0 installed, 1 failed and rolled back, 2 refused with nothing changed.";

} // namespace

int RunSetup(const char* arguments) {
    InitCommonControls();
    SetupContext context(kSuiteName, kProductCatalogue, kCatalogueRowCount);
    if (HasNoArguments(arguments))
        return RunInstallSequence(context);
    SetupOptions options;
    const bool sound = ReadSetupOptions(arguments, options);
    if (!options.silent || options.help) {
        MessageBoxA(nullptr, kUsage, "NetQuillo Installation", MB_OK | MB_ICONINFORMATION);
        return kExitRefused;
    }
    return RunSilentInstall(context, arguments, options, sound);
}
