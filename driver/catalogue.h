// The fixed product catalogue of the suite: six modules, in the order that gives each its index.
#pragma once

#include "platform/win32.h"

struct CatalogueRow {
    const char* productName;
    const char* shortName;
    const char* programFile;
    const char* helpFile;
    const char* contentsFile;
    const char* uninstallerFile;
    const char* findMenuCaption;
    const char* description;
};

extern const char kSuiteName[];
extern const char kFindMenuLibraryFile[];
constexpr DWORD kCatalogueRowCount = 6;
extern const CatalogueRow kProductCatalogue[kCatalogueRowCount];
