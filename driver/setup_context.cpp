#include "driver/setup_context.h"

#include <cstring>

#include "driver/string_helpers.h"

SetupContext* g_currentContext = nullptr;

namespace {

// `fileName` in the directory that `read` answers; absent when the system cannot give the
// directory or the name does not fit after it. A relative name would land in whatever folder
// is current, and the folder alone would be taken for the file.
std::unique_ptr<char[]> FileInDirectory(UINT (*read)(LPSTR, UINT), const char* fileName) {
    char path[MAX_PATH];
    UINT length = read(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || fileName == nullptr || fileName[0] == '\0' ||
        !JoinPath(path, fileName))
        return nullptr;
    return DuplicateString(path);
}

UINT ReadSystemDirectory(LPSTR buffer, UINT size) { return GetSystemDirectoryA(buffer, size); }
UINT ReadWindowsDirectory(LPSTR buffer, UINT size) { return GetWindowsDirectoryA(buffer, size); }

} // namespace

SetupContext::SetupContext(const char* suite, const CatalogueRow* rows, DWORD rowCount)
    : moduleCount(rowCount) {
    g_currentContext = this;

    findMenuLibraryPath = FileInDirectory(ReadSystemDirectory, kFindMenuLibraryFile);

    modules.reset(new ModuleRow[rowCount]);
    selected.reset(new BYTE[rowCount]);
    for (DWORD i = 0; i < rowCount; ++i) {
        const CatalogueRow& row = rows[i];
        ModuleRow& module = modules[i];
        module.productName = DuplicateString(row.productName);
        module.shortName = DuplicateString(row.shortName);
        module.programFile = DuplicateString(row.programFile);
        module.helpFile = DuplicateString(row.helpFile);
        module.contentsFile = DuplicateString(row.contentsFile);
        // Read for every row: the uninstallers go where Windows is at this moment.
        module.uninstallerPath = FileInDirectory(ReadWindowsDirectory, row.uninstallerFile);
        module.findMenuCaption = DuplicateString(row.findMenuCaption);
        module.description = DuplicateString(row.description);
        selected[i] = 1;
    }
    suiteName = DuplicateString(suite);
}

SetupContext::~SetupContext() {
    if (g_currentContext == this)
        g_currentContext = nullptr;
}

namespace {

const char* TextOrEmpty(const std::unique_ptr<char[]>& text) { return text ? text.get() : ""; }

} // namespace

const char* GetSuiteName() {
    return g_currentContext ? TextOrEmpty(g_currentContext->suiteName) : "";
}

const char* GetModuleProductName(DWORD module) {
    return g_currentContext ? TextOrEmpty(g_currentContext->modules[module].productName) : "";
}

const char* GetModuleShortName(DWORD module) {
    return g_currentContext ? TextOrEmpty(g_currentContext->modules[module].shortName) : "";
}

namespace {

// The index of the first row whose short name matches ignoring case, or moduleCount.
DWORD FindModule(const char* shortName) {
    DWORD i = 0;
    for (; i < g_currentContext->moduleCount; ++i) {
        if (EqualIgnoringCase(TextOrEmpty(g_currentContext->modules[i].shortName), shortName))
            break;
    }
    return i;
}

} // namespace

const char* FindModuleShortName(const char* shortName) {
    if (!g_currentContext)
        return "";
    DWORD i = FindModule(shortName);
    return i < g_currentContext->moduleCount ? TextOrEmpty(g_currentContext->modules[i].shortName)
                                             : "";
}

bool IsModuleSelected(const char* shortName) {
    if (!g_currentContext)
        return true;
    DWORD i = FindModule(shortName);
    return i < g_currentContext->moduleCount ? g_currentContext->selected[i] != 0 : true;
}

DWORD CountSelectedModules() {
    if (!g_currentContext)
        return 0;
    DWORD count = 0;
    for (DWORD i = 0; i < g_currentContext->moduleCount; ++i) {
        if (g_currentContext->selected[i])
            ++count;
    }
    return count;
}

const char* ModuleFilePath(DWORD module, const char* fileName) {
    static char result[MAX_PATH];
    result[0] = '\0';
    if (!g_currentContext)
        return result;
    const char* installPath = g_currentContext->modules[module].installPath.get();
    if (installPath && CopyString(result, installPath, sizeof result) &&
        !JoinPath(result, fileName, sizeof result))
        result[0] = '\0';
    return result;
}
