// The registry half of undoing a failed install: the selected modules' keys, their document
// types and, once no module of the suite is left in the Find-menu group, the keys they share.
#include "install/rollback.h"

#include "driver/setup_context.h"
#include "driver/shell_helpers.h"
#include "install/document_types.h"
#include "install/find_menu.h"
#include "driver/string_helpers.h"
#include "install/registry_names.h"
#include "registry/reg_key.h"

namespace {

// Deletes `parent` + "\" + `name` under the base code's root.
void DeleteSubkey(RegKey& key, KeyBase base, const char* parent, const char* name) {
    char path[MAX_PATH];
    if (ConcatStrings(path, sizeof path, parent, "\\") && AppendString(path, sizeof path, name))
        key.DeleteKey(base, path);
}

// The suite's settings and the Find-menu extension's registration, children before parents.
void DeleteSharedKeys(RegKey& key) {
    key.DeleteKey(Updates, nullptr);
    key.DeleteKey(Suite, nullptr);
    key.DeleteKey(CurrentUser, "Software\\QuilloSoft\\NetQuillo");
    // The maker's key may hold other products of the maker's.
    if (key.Open(CurrentUser, "Software\\QuilloSoft", true) && !key.HasSubkeys())
        key.DeleteKey(CurrentUser, "Software\\QuilloSoft");
    key.Close();
    key.DeleteKey(LocalMachine, kFindGroupKey);
    key.DeleteKey(ClassesRoot, kFindMenuServerKey);
    key.DeleteKey(ClassesRoot, kFindMenuClassKey);
    if (!IsWin9xPlatform()) {
        // A standing key of the system, opened for writing to take out our one value.
        RegKey approved(GetModuleShortName(0));
        if (approved.Open(LocalMachine, kApprovedExtensionsKey, false))
            approved.DeleteValue(kFindMenuClassId);
    }
}

} // namespace

void RollBackRegistry(SetupContext& context) {
    bool sharedDone = false;
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        if (!context.selected[i])
            continue;
        const ModuleRow& row = context.modules[i];
        RegKey key(row.shortName ? row.shortName.get() : "");
        // A module with no short name would address the suite key as its own: leave it.
        if (row.shortName && row.shortName[0] != '\0')
            key.DeleteKey(Module, nullptr);
        if (row.productName && row.productName[0] != '\0') {
            DeleteSubkey(key, LocalMachine, kUninstallKey, row.productName.get());
            DeleteSubkey(key, LocalMachine, kFindGroupKey, row.productName.get());
        }
        if (!sharedDone && IsFindGroupEmpty()) {
            sharedDone = true;
            DeleteSharedKeys(key);
        }
        char typeName[MAX_PATH];
        if (row.productName && row.productName[0] != '\0' &&
            ConcatStrings(typeName, sizeof typeName, row.productName.get(), "Search"))
            UnregisterDocumentType(typeName);
    }
    // The Find menu drops the entries that are gone.
    NotifyTaskbar();
}
