#include "install/registry_names.h"

#include <cstring>

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

bool AppendString(char* buffer, size_t capacity, const char* text) {
    if (text == nullptr)
        return false;
    size_t length = 0;
    while (length < capacity && buffer[length] != '\0')
        ++length;
    size_t textLength = std::strlen(text);
    if (length + textLength + 1 > capacity)
        return false;
    std::memcpy(buffer + length, text, textLength + 1);
    return true;
}

bool ConcatStrings(char* buffer, size_t capacity, const char* first, const char* second) {
    if (capacity == 0)
        return false;
    buffer[0] = '\0';
    if (AppendString(buffer, capacity, first) && AppendString(buffer, capacity, second))
        return true;
    buffer[0] = '\0';
    return false;
}
