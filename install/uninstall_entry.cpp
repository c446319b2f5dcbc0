#include "install/uninstall_entry.h"

#include <cstring>

#include "driver/string_helpers.h"
#include "install/registry_names.h"
#include "platform/ascii_case.h"
#include "registry/reg_key.h"

namespace {

// Where `text` has `word` followed by a blank, ignoring letter case; null when nowhere.
const char* FindWordAndBlank(const char* text, const char* word) {
    size_t length = std::strlen(word);
    for (const char* at = text; *at != '\0'; ++at) {
        size_t i = 0;
        while (i < length && at[i] != '\0' && AsciiUpper(at[i]) == AsciiUpper(word[i]))
            ++i;
        if (i == length && at[length] == ' ')
            return at;
    }
    return nullptr;
}

} // namespace

bool ComposeUninstallCommand(char* command, size_t capacity, const char* uninstaller,
                             const char* installPath, bool quiet) {
    bool fits = quiet ? ConcatStrings(command, capacity, "\"", uninstaller) &&
                            AppendString(command, capacity, "\" /S ")
                      : ConcatStrings(command, capacity, uninstaller, " ");
    if (fits && AppendString(command, capacity, installPath))
        return true;
    if (capacity > 0)
        command[0] = '\0';
    return false;
}

bool ReadUninstallFolder(const char* command, const char* uninstallerFile,
                         char (&folder)[MAX_PATH]) {
    const char* at = FindWordAndBlank(command, uninstallerFile);
    return at != nullptr &&
           CopyString(folder, at + std::strlen(uninstallerFile) + 1, sizeof folder) &&
           folder[0] != '\0';
}

DWORD ReadMadeFolderLevels(RegKey& key) {
    DWORD levels = 1;
    if (!key.IsOpen() || !key.ReadDword(kMadeFolderLevelsValue, levels))
        levels = 1;
    return levels;
}
