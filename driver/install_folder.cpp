#include "driver/install_folder.h"

#include <algorithm>
#include <cstring>

#include "driver/catalogue.h"

bool InstallFolderFits(const char* folder) {
    size_t longestProduct = 0;
    size_t longestFile = 0;
    for (const CatalogueRow& row : kProductCatalogue) {
        longestProduct = std::max(longestProduct, std::strlen(row.productName));
        for (const char* file : {row.programFile, row.helpFile, row.contentsFile})
            longestFile = std::max(longestFile, std::strlen(file));
    }
    size_t length = std::strlen(folder);
    if (length > 0 && folder[length - 1] == '\\')
        --length;
    return length + 1 + longestProduct + 1 + longestFile < MAX_PATH;
}
