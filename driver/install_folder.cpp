#include "driver/install_folder.h"

#include <algorithm>
#include <cstring>

#include "driver/catalogue.h"
#include "driver/setup_context.h"
#include "driver/string_helpers.h"
#include "registry/reg_key.h"

bool InstallFolderFits(const char* folder) {
    size_t longestProduct = 0;
    size_t longestFile = 0;
    for (const CatalogueRow& row : kProductCatalogue) {
        longestProduct = std::max(longestProduct, std::strlen(row.productName));
        for (const char* file : {row.programFile, row.helpFile, row.contentsFile})
            longestFile = std::max(longestFile, std::strlen(file));
    }
    size_t length = std::strlen(folder);
    if (length > 0 && IsPathSeparator(folder[length - 1]))
        --length;
    return length + 1 + longestProduct + 1 + longestFile < MAX_PATH;
}

bool ProgramFilesFolder(char (&path)[MAX_PATH]) {
    path[0] = '\0';
    RegKey key(GetModuleShortName(0));
    if (key.Open(LocalMachine, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", true) &&
        key.ValueExists("ProgramFilesDir"))
        key.ReadString("ProgramFilesDir", path, MAX_PATH);
    if (path[0] != '\0')
        return true;
    std::strcpy(path, "C:");
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA("C:\\Program Files", &found);
    bool there = false;
    if (search != INVALID_HANDLE_VALUE) {
        there = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (there)
            JoinPath(path, "Program Files");
        FindClose(search);
    }
    return there;
}
