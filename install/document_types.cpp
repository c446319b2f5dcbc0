// Each module's document type, so that its search files open in the module, and its entry in
// the system's list of removable programs.
#include "install/document_types.h"

#include <cstring>

#include "driver/image_resource.h"
#include "driver/setup_context.h"
#include "driver/string_helpers.h"
#include "install/prior_state.h"
#include "install/registry_names.h"
#include "install/rollback.h"
#include "install/uninstall_entry.h"
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

// The version of the running image's version resource, "1.0.0.0": its fixed part, whose place
// in the resource is fixed too (after the key "VS_VERSION_INFO" and its padding).
bool ReadImageVersion(char (&version)[32]) {
    const size_t kFixedInfo = 40;
    const DWORD kSignature = 0xFEEF04BD;
    DWORD size;
    const BYTE* bytes = FindImageResource(MAKEINTRESOURCEA(1), RT_VERSION, size);
    DWORD fields[4];
    if (!bytes || size < kFixedInfo + sizeof fields)
        return false;
    std::memcpy(fields, bytes + kFixedInfo, sizeof fields);
    if (fields[0] != kSignature)
        return false;
    version[0] = '\0';
    const unsigned parts[] = {fields[2] >> 16, fields[2] & 0xFFFF, fields[3] >> 16,
                              fields[3] & 0xFFFF};
    for (unsigned part : parts) {
        if ((version[0] != '\0' && !AppendString(version, sizeof version, ".")) ||
            !AppendDecimalNumber(version, sizeof version, part))
            return false;
    }
    return true;
}

// The bytes a payload expands to: an SZDD container states them in its header, any other
// payload is stored as it is.
DWORD PayloadSize(WORD id) {
    const BYTE kMagic[] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
    DWORD size;
    const BYTE* bytes = FindImageResource(MAKEINTRESOURCEA(id), "CUSTOM", size);
    if (!bytes || size < 14 || std::memcmp(bytes, kMagic, sizeof kMagic) != 0)
        return size;
    return static_cast<DWORD>(bytes[10]) | static_cast<DWORD>(bytes[11]) << 8 |
           static_cast<DWORD>(bytes[12]) << 16 | static_cast<DWORD>(bytes[13]) << 24;
}

// What module `module` takes on the disk in kilobytes, rounded up: its program, help and
// contents files and its uninstaller, payloads (module + 1) * 1000 to 1003.
DWORD ModuleKilobytes(DWORD module) {
    unsigned long long bytes = 0;
    for (WORD file = 0; file < 4; ++file)
        bytes += PayloadSize(static_cast<WORD>((module + 1) * 1000 + file));
    return static_cast<DWORD>((bytes + 1023) / 1024);
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
    char version[32];
    if (!ReadImageVersion(version))
        version[0] = '\0';
    for (DWORD i = 0; i < context.moduleCount; ++i) {
        if (!context.selected[i])
            continue;
        const ModuleRow& row = context.modules[i];
        // The uninstaller takes the install folder as its one argument, as the rest of its
        // command line, unquoted; without either path there is nothing it could remove, and
        // without a name the entry would be written into the list's own key.
        char path[MAX_PATH];
        char command[2 * MAX_PATH];
        char quietCommand[2 * MAX_PATH];
        if (!row.productName || row.productName[0] == '\0' ||
            !ConcatStrings(path, sizeof path, kUninstallKey, "\\") ||
            !AppendString(path, sizeof path, row.productName.get()) || !row.uninstallerPath ||
            !row.installPath ||
            !ComposeUninstallCommand(command, sizeof command, row.uninstallerPath.get(),
                                     row.installPath.get(), false) ||
            !ComposeUninstallCommand(quietCommand, sizeof quietCommand,
                                     row.uninstallerPath.get(), row.installPath.get(), true))
            continue;
        if (!key.Open(LocalMachine, path, false))
            continue;
        // The folder levels this run made; a run into the folder an earlier one made keeps
        // that one's count (or, where its entry has none, what the uninstaller takes then), and
        // any other folder that was there already is the user's.
        DWORD levels = context.prior ? context.prior->MadeLevels(row.installPath.get()) : 0;
        char earlier[2 * MAX_PATH];
        if (levels == 0 && key.ReadString("UninstallString", earlier, sizeof earlier) &&
            std::strcmp(earlier, command) == 0)
            levels = ReadMadeFolderLevels(key);
        key.WriteString("DisplayName", row.productName.get());
        key.WriteString("UninstallString", command);
        if (context.prior)
            key.WriteDword(kMadeFolderLevelsValue, levels);
        // What the programs list and package managers show and use beside the name.
        key.WriteString("QuietUninstallString", quietCommand);
        key.WriteString("Publisher", "QuilloSoft");
        if (version[0] != '\0')
            key.WriteString("DisplayVersion", version);
        const char* program = ModuleFilePath(i, row.programFile.get());
        if (program[0] != '\0')
            key.WriteString("DisplayIcon", program);
        key.WriteString("InstallLocation", row.installPath.get());
        key.WriteDword("EstimatedSize", ModuleKilobytes(i));
        key.WriteDword("NoModify", 1);
        key.WriteDword("NoRepair", 1);
    }
}
