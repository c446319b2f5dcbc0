#include "driver/entry.h"

#include "driver/catalogue.h"
#include "driver/image_check.h"
#include "driver/image_resource.h"
#include "driver/instance_lock.h"
#include "driver/install_sequence.h"
#include "driver/setup_context.h"
#include "driver/setup_options.h"
#include "driver/system_libraries.h"
#include "install/run_journal.h"
#include "platform/win32.h"

namespace {

// A wizard run tells of a repair in a message before its backdrop.
void ShowRepair(JournalRepair repair) {
    if (const char* text = RepairMessage(repair))
        MessageBoxA(nullptr, text, "NetQuillo Installation", MB_OK | MB_ICONINFORMATION);
}

} // namespace

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
    // The wizard started without arguments answers 0, whatever its end: nobody waits for its code.
    // A run cut off before it ended is repaired first, whatever this one goes on to do.
    if (HasNoArguments(arguments)) {
        ShowRepair(RepairCutOffRun(context));
        RunInstallSequence(context);
        return kExitInstalled;
    }
    SetupOptions options;
    const bool sound = ReadSetupOptions(arguments, options);
    if (options.help) {
        MessageBoxA(nullptr, ImageText(kUsageText), "NetQuillo Installation",
                    MB_OK | MB_ICONINFORMATION);
        return kExitRefused;
    }
    const JournalRepair repair = RepairCutOffRun(context);
    // Without "/S" setup is the wizard, whatever a launcher put on its command line.
    if (!options.silent) {
        ShowRepair(repair);
        return RunInstallSequence(context);
    }
    context.repairNote = RepairMessage(repair);
    return RunSilentInstall(context, arguments, options, sound);
}

namespace {

// One message, unless the run is silent; the code either way.
int RefuseToStart(const SetupOptions& asked, const char* text, int code) {
    if (!asked.silent)
        MessageBoxA(nullptr, text, "NetQuillo Installation", MB_OK | MB_ICONERROR);
    return code;
}

} // namespace

int StartSetup(const char* arguments) {
    LimitLibrarySearch();
    SetupOptions asked;
    ReadSetupOptions(arguments, asked);
    if (!CheckOwnImage())
        return RefuseToStart(asked,
                             "This setup program is damaged: its file is incomplete or has "
                             "changed since it was made. Nothing was installed.\n\nDownload "
                             "NetQuilloSetup.exe again and start the new copy.",
                             kExitDamaged);
    InstanceLock lock;
    if (lock.HeldElsewhere())
        return RefuseToStart(asked,
                             "Another NetQuillo setup or uninstaller is running. Nothing was "
                             "installed.\n\nWait until it has finished, then start setup again.",
                             kExitAnotherSetup);
    return RunSetup(arguments);
}
