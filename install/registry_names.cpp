#include "install/registry_names.h"

#include "install/find_menu.h"

#define NQ_FIND_MENU_CLASS_ID "{fe7634c0-f7b3-11cf-b9b4-444553540000}"

const char kFindMenuClassId[] = NQ_FIND_MENU_CLASS_ID;
const char kFindGroupKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\explorer\\FindExtensions\\Quillos";
const char kUninstallKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const char kApprovedExtensionsKey[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\Approved";
const char kFindMenuClassKey[] = "CLSID\\" NQ_FIND_MENU_CLASS_ID;
const char kFindMenuServerKey[] = "CLSID\\" NQ_FIND_MENU_CLASS_ID "\\InProcServer32";
const char kMadeFolderLevelsValue[] = "CreatedFolderLevels";
const char kMadeKeyLevelsValue[] = "CreatedKeyLevels";
