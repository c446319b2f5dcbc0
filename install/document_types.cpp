// Each module's document type, so that its search files open in the module, and its entry in
// the system's list of removable programs.
#include "install/document_types.h"

#include "driver/setup_context.h"
#include "driver/string_helpers.h"
#include "install/registry_names.h"
#include "registry/reg_key.h"

namespace {

// The extension key ".<type>" and the class key "<type>File" of a document type; false when a
// name is missing or too long for its buffer, so that no other type's keys are touched.
bool DocumentTypeKeys(const char* typeName, char (&extensionKey)[MAX_PATH],
                      char (&classKey)[MAX_PATH]) {
    return typeName != nullptr && ConcatStrings(extensionKey, MAX_PATH, ".", typeName) &&
           ConcatStrings(classKey, MAX_PATH, typeName, "File");
}

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
    RegKey key(GetModuleShortName(0));
    if (!key.Open(ClassesRoot, extensionKey, true))
        return;
    // The extension may have been pointed at another class since: remove the one it names now.
    // An extension that names none (writing its class failed) leaves our own class by name.
    char currentClass[MAX_PATH];
    bool named = key.ReadString(nullptr, currentClass, sizeof currentClass) && currentClass[0];
    key.DeleteKey(ClassesRoot, named ? currentClass : classKey);
    key.DeleteKey(ClassesRoot, extensionKey);
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
        key.WriteString("DisplayName", row.productName.get());
        key.WriteString("UninstallString", command);
    }
}
