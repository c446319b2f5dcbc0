// Registers the shared Find-menu extension library as a COM server, the suite's Find-menu
// group and one entry per selected module; the library reads the entries to build its menu.
#include "install/find_menu.h"

#include <cstring>

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

// How many keys above the group, from its parent upward, are not there yet: creating the group
// makes them. 0 when that cannot be told.
DWORD MissingParentKeys() {
    char path[MAX_PATH];
    if (!CopyString(path, kFindGroupKey, sizeof path))
        return 0;
    DWORD missing = 0;
    for (char* separator; (separator = std::strrchr(path, '\\')) != nullptr; ++missing) {
        *separator = '\0';
        RegKey key("");
        bool present = false;
        if (!key.Probe(LocalMachine, path, present))
            return 0;
        if (present)
            break;
    }
    return missing;
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
    // Without the group the entries and the approval would point at nothing. The keys above it
    // that its creation makes are recorded in it, as the uninstall entries record the folders.
    const DWORD madeParents = MissingParentKeys();
    if (!key.Open(LocalMachine, kFindGroupKey, false))
        return;
    key.WriteString(nullptr, kFindMenuClassId);
    if (madeParents > 0)
        key.WriteDword(kMadeKeyLevelsValue, madeParents);
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
