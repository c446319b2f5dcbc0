// Each module's document type, so that its search files open in the module, and its entry in
// the system's list of removable programs.
#include "install/document_types.h"

#include <cstring>

#include "driver/setup_context.h"
#include "driver/string_helpers.h"
#include "install/prior_state.h"
#include "install/registry_names.h"
#include "install/rollback.h"
#include "registry/reg_key.h"

bool DocumentTypeKeys(const char* typeName, char (&extensionKey)[MAX_PATH],
                      char (&classKey)[MAX_PATH]) {
    return typeName != nullptr && ConcatStrings(extensionKey, MAX_PATH, ".", typeName) &&
           ConcatStrings(classKey, MAX_PATH, typeName, "File");
}

namespace {

// Creates the class key's subkey `subKey` and sets its default value to `text`.
void WriteClassDefault(RegKey& key, const char* classKey, const char* subKey, const char* text) {
    char path[MAX_PATH];
    if (ConcatStrings(path, sizeof path, classKey, subKey) && key.Open(ClassesRoot, path, false))
        key.WriteString(nullptr, text);
}

} // namespace

void RegisterDocumentType(const char* typeName, const char* typeDescription, const char* iconSource,
                          const char* openCommand) {
    char extensionKey[MAX_PATH];
    char classKey[MAX_PATH];
    if (!DocumentTypeKeys(typeName, extensionKey, classKey) || typeDescription == nullptr ||
        iconSource == nullptr || openCommand == nullptr)
        return;
    RegKey key(GetModuleShortName(0));
    if (!key.Open(ClassesRoot, extensionKey, false))
        return;
    key.WriteString(nullptr, classKey);
    // Each of the class's keys stands on its own: one that fails does not stop the others.
    WriteClassDefault(key, classKey, "", typeDescription);
    WriteClassDefault(key, classKey, "\\DefaultIcon", iconSource);
    WriteClassDefault(key, classKey, "\\shell\\open\\command", openCommand);
}

void UnregisterDocumentType(const char* typeName) {
    char extensionKey[MAX_PATH];
    char classKey[MAX_PATH];
    if (!DocumentTypeKeys(typeName, extensionKey, classKey))
        return;
    // A type whose extension is not there was never registered: its names are someone else's.
    RegKey key("");
    bool present = false;
    if (!key.Probe(ClassesRoot, extensionKey, present) || !present)
        return;
    key.Close();
    // Only the type's own class, by its own name: the class that the extension names now is
    // whatever any program of the user's last wrote there.
    RemoveSuiteKey(nullptr, ClassesRoot, classKey, true);
    RemoveSuiteKey(nullptr, ClassesRoot, extensionKey, true);
}

void RegisterUninstallEntries(SetupContext& context) {
    RegKey key(context.moduleCount > 0 && context.modules[0].shortName
                   ? context.modules[0].shortName.get()
                   : "");
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        if (!context.selected[i])
            continue;
        const ModuleRow& row = context.modules[i];
        // The uninstaller takes the install folder as its one argument, as the rest of its
        // command line, unquoted; without either path there is nothing it could remove, and
        // without a name the entry would be written into the list's own key.
        char path[MAX_PATH];
        char command[2 * MAX_PATH];
        if (!row.productName || row.productName[0] == '\0' ||
            !ConcatStrings(path, sizeof path, kUninstallKey, "\\") ||
            !AppendString(path, sizeof path, row.productName.get()) || !row.uninstallerPath ||
            !row.installPath ||
            !ConcatStrings(command, sizeof command, row.uninstallerPath.get(), " ") ||
            !AppendString(command, sizeof command, row.installPath.get()))
            continue;
        if (!key.Open(LocalMachine, path, false))
            continue;
        // The folder levels this run made; a run into the folder an earlier one made keeps
        // that one's count, and any other folder that was there already is the user's.
        DWORD levels = context.prior ? context.prior->MadeLevels(row.installPath.get()) : 0;
        char earlier[2 * MAX_PATH];
        if (levels == 0 && key.ReadString("UninstallString", earlier, sizeof earlier) &&
            std::strcmp(earlier, command) == 0)
            key.ReadDword(kMadeFolderLevelsValue, levels);
        key.WriteString("DisplayName", row.productName.get());
        key.WriteString("UninstallString", command);
        if (context.prior)
            key.WriteDword(kMadeFolderLevelsValue, levels);
    }
}
