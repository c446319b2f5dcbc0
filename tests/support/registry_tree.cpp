#include <vector>

#include "platform/regedit_export.h"
#include "tests/support/test_world.h"

const char kScratchKey[] = "Software\\NetQuilloTests";

bool DeleteRegistryTree(HKEY root, const char* path) {
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return true;
    std::vector<std::string> children;
    char name[1024];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumKeyExA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        children.push_back(name);
    }
    RegCloseKey(key);
    for (const std::string& child : children)
        DeleteRegistryTree(root, (std::string(path) + "\\" + child).c_str());
    return RegDeleteKeyA(root, path) == ERROR_SUCCESS;
}

std::string RegistryText(HKEY root, const char* path) {
    return ExportRegistryKey(root, path);
}
