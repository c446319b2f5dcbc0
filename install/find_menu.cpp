// Registers the shared Find-menu extension library as a COM server, the suite's Find-menu
// group and one entry per selected module; the library reads the entries to build its menu.
#include "install/find_menu.h"

#include "driver/setup_context.h"
#include "driver/shell_helpers.h"
#include "driver/string_helpers.h"
#include "install/registry_names.h"
#include "registry/reg_key.h"

namespace {

const char* TextOrEmpty(const std::unique_ptr<char[]>& text) {
    return text ? text.get() : "";
}

// An entry the library could not start from is left out: no path, or no name, which would
// address the group key itself.
void RegisterModuleEntry(RegKey& key, DWORD module, const ModuleRow& row) {
    const char* productName = TextOrEmpty(row.productName);
    const char* programPath = ModuleFilePath(module, TextOrEmpty(row.programFile));
    char path[MAX_PATH];
    if (productName[0] == '\0' || programPath[0] == '\0' ||
        !CopyString(path, kFindGroupKey, sizeof path) ||
        !JoinPath(path, productName, sizeof path) || !key.Open(LocalMachine, path, false))
        return;
    key.WriteString("Path", programPath);
    key.WriteString("MenuText", TextOrEmpty(row.findMenuCaption));
    key.WriteString("HelpText", TextOrEmpty(row.description));
}

} // namespace

void RegisterFindMenu(SetupContext& context) {
    RegKey key(context.moduleCount > 0 ? TextOrEmpty(context.modules[0].shortName) : "");
    if (!key.Open(ClassesRoot, kFindMenuClassKey, false))
        return;
    key.WriteString(nullptr, "NetQuillo Find Menu Extension");
    if (!key.Open(ClassesRoot, kFindMenuServerKey, false))
        return;
    key.WriteString("ThreadingModel", "Apartment");
    key.WriteString(nullptr, TextOrEmpty(context.findMenuLibraryPath));
    // Without the group the entries and the approval would point at nothing.
    if (!key.Open(LocalMachine, kFindGroupKey, false))
        return;
    key.WriteString(nullptr, kFindMenuClassId);
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        if (context.selected[i])
            RegisterModuleEntry(key, i, context.modules[i]);
    }
    key.Close();
    // Only the NT family's shell asks whether an extension is approved.
    if (!IsWin9xPlatform()) {
        RegKey approved(context.moduleCount > 0 ? TextOrEmpty(context.modules[0].shortName) : "");
        if (approved.Open(LocalMachine, kApprovedExtensionsKey, false))
            approved.WriteString(kFindMenuClassId, "NetQuillo");
    }
}
