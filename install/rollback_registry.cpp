// The registry half of undoing a failed install: the selected modules' keys, their document
// types and, once no module of the suite is left in the Find-menu group, the keys they share.
#include "install/rollback.h"

#include <cstring>

#include "driver/setup_context.h"
#include "driver/shell_helpers.h"
#include "install/document_types.h"
#include "install/find_menu.h"
#include "driver/string_helpers.h"
#include "install/prior_state.h"
#include "install/registry_names.h"
#include "registry/reg_key.h"

namespace {

const PriorState* RunRecord() {
    return g_currentContext != nullptr ? g_currentContext->prior : nullptr;
}

// Removes `parent` + "\\" + `name` under the base code's root, with what lies below it.
void RemoveSubkey(KeyBase base, const char* parent, const char* name) {
    char path[MAX_PATH];
    if (ConcatStrings(path, sizeof path, parent, "\\") && AppendString(path, sizeof path, name))
        RemoveSuiteKey(nullptr, base, path, true);
}

// The keys above the Find-menu group that setup made for it, once the group is gone, from its
// parent upward while each is empty; a key that holds anything of anyone else's stays, and so do
// those above it.
void RemoveMadeParentKeys(DWORD levels) {
    char path[MAX_PATH];
    RegKey key("");
    bool present = true;
    if (levels == 0 || !CopyString(path, kFindGroupKey, sizeof path) ||
        !key.Probe(LocalMachine, path, present) || present)
        return;
    for (DWORD level = 0; level < levels; ++level) {
        char* separator = std::strrchr(path, '\\');
        if (separator == nullptr)
            return;
        *separator = '\0';
        bool more = true;
        char name[4];
        DWORD type;
        DWORD size;
        if (!key.Open(LocalMachine, path, true) || key.HasSubkeys() ||
            !key.EnumValue(0, name, sizeof name, type, size, more) || more)
            return;
        key.Close();
        if (!key.DeleteKey(LocalMachine, path))
            return;
    }
}

// The suite's settings and the Find-menu extension's registration, children before parents.
// Without a run to undo, the shared keys go one by one: another module's key below them
// keeps them.
void DeleteSharedKeys() {
    RemoveSuiteKey(nullptr, Updates, nullptr, false);
    RemoveSuiteKey(nullptr, Suite, nullptr, false);
    RemoveSuiteKey(nullptr, CurrentUser, "Software\\QuilloSoft\\NetQuillo", false);
    // The maker's key may hold other products of the maker's.
    RegKey key("");
    if (key.Open(CurrentUser, "Software\\QuilloSoft", true) && !key.HasSubkeys())
        RemoveSuiteKey(nullptr, CurrentUser, "Software\\QuilloSoft", false);
    key.Close();
    DWORD madeParents = 0;
    RegKey group("");
    if (!group.Open(LocalMachine, kFindGroupKey, true) ||
        !group.ReadDword(kMadeKeyLevelsValue, madeParents))
        madeParents = 0;
    group.Close();
    RemoveSuiteKey(nullptr, LocalMachine, kFindGroupKey, false);
    RemoveMadeParentKeys(madeParents);
    RemoveSuiteKey(nullptr, ClassesRoot, kFindMenuClassKey, true);
    const PriorState* prior = RunRecord();
    if (!IsWin9xPlatform() && !(prior && prior->ApprovalExisted())) {
        // A standing key of the system, opened for writing to take out our one value.
        RegKey approved("");
        if (approved.Open(LocalMachine, kApprovedExtensionsKey, false))
            approved.DeleteValue(kFindMenuClassId);
    }
}

} // namespace

void RemoveSuiteKey(const char* shortName, KeyBase base, const char* subPath, bool ownTree) {
    const PriorState* prior = RunRecord();
    if (prior && prior->KeyExisted(base, shortName, subPath))
        return;
    RegKey key(shortName ? shortName : "");
    if (prior || ownTree)
        key.DeleteTree(base, subPath);
    else
        key.DeleteKey(base, subPath);
}

void RollBackRegistry(SetupContext& context) {
    bool sharedDone = false;
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        if (!context.selected[i])
            continue;
        const ModuleRow& row = context.modules[i];
        // A module with no short name would address the suite key as its own: leave it.
        if (row.shortName && row.shortName[0] != '\0')
            RemoveSuiteKey(row.shortName.get(), Module, nullptr, true);
        if (row.productName && row.productName[0] != '\0') {
            RemoveSubkey(LocalMachine, kUninstallKey, row.productName.get());
            RemoveSubkey(LocalMachine, kFindGroupKey, row.productName.get());
        }
        if (!sharedDone && IsFindGroupEmpty()) {
            sharedDone = true;
            DeleteSharedKeys();
        }
        char typeName[MAX_PATH];
        if (row.productName && row.productName[0] != '\0' &&
            ConcatStrings(typeName, sizeof typeName, row.productName.get(), "Search"))
            UnregisterDocumentType(typeName);
    }
    // What the run found in place comes back as it was, whatever the steps above removed.
    if (const PriorState* prior = RunRecord())
        prior->RestoreRegistry();
    // The Find menu drops the entries that are gone.
    NotifyTaskbar();
}
